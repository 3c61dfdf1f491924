#include "cookies/stores/store_cleaning.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <string_view>

#ifdef _WIN32
// Part of SQLite's Windows build, though not of its header: the program's
// paths are in the ANSI code page, SQLite's in UTF-8.
extern "C" char* sqlite3_win32_mbcs_to_utf8_v2(const char* text, int useAnsi);
#endif

namespace nv {

namespace {

constexpr int kBusyWaitMs = 250;

struct Schema {
  const char* table;
  const char* hostColumn;
};
Schema SchemaOf(StoreKind kind) {
  return kind == StoreKind::Firefox ? Schema{"moz_cookies", "host"} : Schema{"cookies", "host_key"};
}

// Paths are written the Windows way everywhere in the program; off Windows
// (the native tests) backslashes become slashes, as PosixFiles maps them.
std::string Utf8Path(std::string path) {
#ifdef _WIN32
  if (char* utf8 = sqlite3_win32_mbcs_to_utf8_v2(path.c_str(), 1)) {
    path = utf8;
    sqlite3_free(utf8);
  }
#else
  std::replace(path.begin(), path.end(), '\\', '/');
#endif
  return path;
}

bool IsBusy(int rc) {
  const int primary = rc & 0xff;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_CANTOPEN;
}

// A failed step: Busy when another program holds the database, else Failed.
struct Stop {
  StoreCleaning::Outcome outcome;
  std::string what;
};

class Connection {
 public:
  explicit Connection(const std::string& path) {
    rc_ = sqlite3_open_v2(Utf8Path(path).c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (db_) {
      sqlite3_extended_result_codes(db_, 1);
      sqlite3_busy_timeout(db_, kBusyWaitMs);
    }
  }
  ~Connection() {
    if (inTransaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  void CheckOpen() const {
    if (rc_ != SQLITE_OK) throw Failure(rc_);
  }
  void Exec(const char* sql) {
    if (const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK) throw Failure(rc);
  }
  void Begin() {
    Exec("BEGIN IMMEDIATE");
    inTransaction_ = true;
  }
  void Commit() {
    Exec("COMMIT");
    inTransaction_ = false;
  }
  sqlite3* db() const { return db_; }
  Stop Failure(int rc) const {
    const bool busy = IsBusy(rc);
    return {busy ? StoreCleaning::Outcome::Busy : StoreCleaning::Outcome::Failed,
            db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)};
  }

 private:
  sqlite3* db_ = nullptr;
  int rc_ = SQLITE_OK;
  bool inTransaction_ = false;
};

class Statement {
 public:
  Statement(Connection& c, const std::string& sql) : c_(c) {
    if (const int rc = sqlite3_prepare_v2(c.db(), sql.c_str(), -1, &st_, nullptr); rc != SQLITE_OK) throw c.Failure(rc);
  }
  ~Statement() { sqlite3_finalize(st_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  // True while there is a row.
  bool Step() {
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw c_.Failure(rc);
  }
  std::string_view Text(int column) {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
    return t ? std::string_view(t, static_cast<size_t>(sqlite3_column_bytes(st_, column))) : std::string_view();
  }
  int Int(int column) { return sqlite3_column_int(st_, column); }

 private:
  Connection& c_;
  sqlite3_stmt* st_ = nullptr;
};

void KeptFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const auto* rule = static_cast<const KeepRule*>(sqlite3_user_data(ctx));
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const std::string_view host = text ? std::string_view(text, static_cast<size_t>(sqlite3_value_bytes(argv[0])))
                                     : std::string_view();
  sqlite3_result_int(ctx, rule->Keeps(host) ? 1 : 0);
}

void CheckSchema(Connection& c, const Schema& schema) {
  Statement columns(c, std::string("SELECT count(*) FROM pragma_table_info('") + schema.table + "') WHERE name = '" +
                           schema.hostColumn + "'");
  if (!columns.Step() || columns.Int(0) != 1)
    throw Stop{StoreCleaning::Outcome::Failed,
               std::string("no table ") + schema.table + " with a column " + schema.hostColumn};
}

void CheckIntact(Connection& c) {
  Statement check(c, "PRAGMA quick_check");
  if (!check.Step() || check.Text(0) != "ok")
    throw Stop{StoreCleaning::Outcome::Failed, "the database is damaged (" + std::string(check.Text(0)) + ")"};
}

// The cookies that go, counted per site.
void CountDoomed(Connection& c, const Schema& s, StoreCleaning& result) {
  Statement doomed(c, std::string("SELECT ") + s.hostColumn + ", count(*) FROM " + s.table + " WHERE NOT nv_kept(" +
                          s.hostColumn + ") GROUP BY " + s.hostColumn);
  std::map<std::string, int> bySite;
  while (doomed.Step()) {
    bySite[SiteOfHost(doomed.Text(0))] += doomed.Int(1);
    result.deleted += doomed.Int(1);
  }
  result.sites.assign(bySite.begin(), bySite.end());
  std::stable_sort(result.sites.begin(), result.sites.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
}

void DeleteDoomed(Connection& c, const Schema& s, const StoreCleaning& result) {
  c.Exec((std::string("DELETE FROM ") + s.table + " WHERE NOT nv_kept(" + s.hostColumn + ")").c_str());
  if (sqlite3_changes(c.db()) != result.deleted)
    throw Stop{StoreCleaning::Outcome::Failed, "the cookies changed while they were deleted"};
}

}  // namespace

StoreCleaning CleanCookieStore(const std::string& path, StoreKind kind, const KeepRule& rule) {
  StoreCleaning result;
  const Schema schema = SchemaOf(kind);
  try {
    Connection c(path);
    c.CheckOpen();
    if (const int rc = sqlite3_create_function_v2(c.db(), "nv_kept", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                                  const_cast<KeepRule*>(&rule), KeptFunction, nullptr, nullptr,
                                                  nullptr);
        rc != SQLITE_OK)
      throw c.Failure(rc);
    c.Begin();
    CheckSchema(c, schema);
    CheckIntact(c);
    CountDoomed(c, schema, result);
    if (result.deleted > 0) DeleteDoomed(c, schema, result);
    c.Commit();
    result.outcome = StoreCleaning::Outcome::Cleaned;
  } catch (const Stop& stop) {
    result = StoreCleaning{};
    result.outcome = stop.outcome;
    result.failure = stop.what;
  }
  return result;
}

}  // namespace nv
