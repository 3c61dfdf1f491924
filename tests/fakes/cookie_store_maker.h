#pragma once
// Cookie databases with the tables that Chromium and Firefox create, for the
// tests and benchmarks (native and under Wine). SQLite only, no fakes.
#include <sqlite3.h>

#include <cstdio>

#include <string>
#include <utility>
#include <vector>

namespace nv::test {

// Chromium's store as recent versions create it (schema version 23).
inline constexpr char kChromiumSchema[] =
    "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
    "INSERT INTO meta VALUES('version','23'),('last_compatible_version','23');"
    "CREATE TABLE cookies(creation_utc INTEGER NOT NULL,host_key TEXT NOT NULL,top_frame_site_key TEXT NOT NULL,"
    "name TEXT NOT NULL,value TEXT NOT NULL,encrypted_value BLOB NOT NULL,path TEXT NOT NULL,"
    "expires_utc INTEGER NOT NULL,is_secure INTEGER NOT NULL,is_httponly INTEGER NOT NULL,"
    "last_access_utc INTEGER NOT NULL,has_expires INTEGER NOT NULL,is_persistent INTEGER NOT NULL,"
    "priority INTEGER NOT NULL,samesite INTEGER NOT NULL,source_scheme INTEGER NOT NULL,"
    "source_port INTEGER NOT NULL,last_update_utc INTEGER NOT NULL,source_type INTEGER NOT NULL,"
    "has_cross_site_ancestor INTEGER NOT NULL);"
    "CREATE UNIQUE INDEX cookies_unique_index ON cookies(host_key, top_frame_site_key, "
    "has_cross_site_ancestor, name, path, source_scheme, source_port);";

// Firefox's moz_cookies (schema version 14), in WAL mode as Firefox keeps it.
inline constexpr char kFirefoxSchema[] =
    "PRAGMA journal_mode=WAL; PRAGMA user_version=14;"
    "CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT NOT NULL DEFAULT '', name TEXT, "
    "value TEXT, host TEXT, path TEXT, expiry INTEGER, lastAccessed INTEGER, creationTime INTEGER, "
    "isSecure INTEGER, isHttpOnly INTEGER, inBrowserElement INTEGER DEFAULT 0, sameSite INTEGER DEFAULT 0, "
    "rawSameSite INTEGER DEFAULT 0, schemeMap INTEGER DEFAULT 0, isPartitionedAttributeSet INTEGER DEFAULT 0, "
    "CONSTRAINT moz_uniqueid UNIQUE (name, host, path, originAttributes));";

struct TestCookie {
  std::string host, name;
};

// Makes the database anew with the cookies given; false on any failure.
inline bool MakeCookieStore(const std::string& utf8Path, bool firefox, const std::vector<TestCookie>& cookies) {
  std::remove(utf8Path.c_str());
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(utf8Path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK &&
            sqlite3_exec(db, firefox ? kFirefoxSchema : kChromiumSchema, nullptr, nullptr, nullptr) == SQLITE_OK &&
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
  const char* insert = firefox
      ? "INSERT INTO moz_cookies(name,value,host,path,expiry,lastAccessed,creationTime,isSecure,isHttpOnly) "
        "VALUES(?2,'secret',?1,'/',4102444800,1,1,0,0)"
      : "INSERT INTO cookies VALUES(13300000000000000,?1,'',?2,'',x'763130736563726574','/',"
        "13400000000000000,0,0,13300000000000000,1,1,1,0,1,80,13300000000000000,0,0)";
  sqlite3_stmt* st = nullptr;
  ok = ok && sqlite3_prepare_v2(db, insert, -1, &st, nullptr) == SQLITE_OK;
  for (size_t i = 0; ok && i < cookies.size(); ++i) {
    sqlite3_bind_text(st, 1, cookies[i].host.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, cookies[i].name.c_str(), -1, SQLITE_TRANSIENT);
    ok = sqlite3_step(st) == SQLITE_DONE && sqlite3_reset(st) == SQLITE_OK;
  }
  sqlite3_finalize(st);
  ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close_v2(db);
  return ok;
}

// The (host, name) pairs of the store, sorted; empty when it cannot be read.
inline std::vector<std::pair<std::string, std::string>> CookiesIn(const std::string& utf8Path, bool firefox) {
  std::vector<std::pair<std::string, std::string>> rows;
  sqlite3* db = nullptr;
  sqlite3_stmt* st = nullptr;
  const char* sql = firefox ? "SELECT host, name FROM moz_cookies ORDER BY host, name"
                            : "SELECT host_key, name FROM cookies ORDER BY host_key, name";
  if (sqlite3_open_v2(utf8Path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
      sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
    while (sqlite3_step(st) == SQLITE_ROW)
      rows.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                        reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
  }
  sqlite3_finalize(st);
  sqlite3_close_v2(db);
  return rows;
}

}  // namespace nv::test
