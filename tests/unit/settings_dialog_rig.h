#pragma once
// One settings dialog over the fake seam, with the main window and start-up
// registration faked too, for the dialog's test files.
#include <algorithm>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_settings_view.h"
#include "settings/frm_settings.h"
#include "store/list_file.h"

namespace nv::test {

inline constexpr char kSettingsFolder[] = "C:\\Program Files\\Norvane";

// Files and a settings store that note every completed write in the journal.
struct JournalFiles : FakeFiles {
  explicit JournalFiles(std::vector<std::string>& j) : journal(j) {}
  void WriteAtomic(const std::string& path, const std::string& bytes) override {
    FakeFiles::WriteAtomic(path, bytes);
    journal.push_back("write " + path.substr(path.rfind('\\') + 1));
  }
  std::vector<std::string>& journal;
};
struct JournalSettings : FakeSettingsStore {
  explicit JournalSettings(std::vector<std::string>& j) : journal(j) {}
  void Set(const std::string& app, const std::string& section, const std::string& key,
           const std::string& value) override {
    if (fail) throw AppError(err::kPermissionDenied, "Permission denied");
    FakeSettingsStore::Set(app, section, key, value);
    journal.push_back("set " + key + "=" + value);
  }
  std::vector<std::string>& journal;
  bool fail = false;
};

// One dialog over the fakes, with the main window and start-up registration
// faked too.
struct DialogRig {
  DialogRig() {
    fp.platform.files = &files;
    fp.platform.settings = &stored;
    for (const char* list : kListFiles) Put(list, "");
  }
  static std::string Path(const std::string& rel) { return kSettingsFolder + rel; }
  void Put(const std::string& rel, const std::string& bytes) { files.Put(Path(rel), bytes); }
  std::string File(const std::string& rel) { return files.Get(Path(rel)); }
  frmSettings& Open() {
    dialog.Form_Load();
    journal.clear();
    return dialog;
  }
  void Type(SettingsList list, const std::string& text) { dialog.txt_Change(list, text); }
  // The last step that completed, leaving aside the error log's own writes.
  std::string LastDone() {
    for (auto it = journal.rbegin(); it != journal.rend(); ++it)
      if (*it != "write err.log") return *it;
    return "";
  }
  bool Journaled(const std::string& entry) {
    return std::find(journal.begin(), journal.end(), entry) != journal.end();
  }
  std::vector<std::string> ErrLog() {
    std::vector<std::string> lines;
    const std::string bytes = File("\\err.log");
    for (std::string_view l : SplitListLines(bytes))
      if (!l.empty()) lines.emplace_back(l);
    return lines;
  }

  FakePlatform fp;
  std::vector<std::string> journal;
  JournalFiles files{journal};
  JournalSettings stored{journal};
  Store store{files, kSettingsFolder};
  Settings settings{stored};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  FakeSettingsView view{journal};
  FakeConfirmView confirmView{journal};
  FakeStartup startup{journal};
  FakeMainLink mainLink{journal};
  frmSettings dialog{services, startup, mainLink, view, confirmView};
};
}  // namespace nv::test
