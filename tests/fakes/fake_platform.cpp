#include "fakes/fake_platform.h"

#include <cstdio>

namespace nv::test {

std::optional<std::string> FakeSettingsStore::Get(const std::string& app, const std::string& section,
                                                  const std::string& key) {
  if (app != "Norvane") return std::nullopt;
  return Value(section, key);
}

void FakeSettingsStore::Set(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& value) {
  if (app == "Norvane") values[section + "\\" + key] = value;
}

std::optional<std::string> FakeSettingsStore::Value(const std::string& section,
                                                    const std::string& key) const {
  auto it = values.find(section + "\\" + key);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

std::string FakeClock::ShortDate(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", t.day, t.month, t.year);
  return buf;
}

std::string FakeClock::LongTime(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

int FakeDialogs::Show(const std::string& text, const std::string& title, unsigned style, WindowHandle owner) {
  shown.push_back({text, title, style, owner});
  if (whileOpen) whileOpen();
  if (answers.empty()) return kAnswerOk;
  int a = answers.front();
  answers.pop_front();
  return a;
}

std::optional<std::string> FakeSystem::SpecialFolder(int csidl) {
  auto it = specialFolders.find(csidl);
  if (it == specialFolders.end()) return std::nullopt;
  return it->second;
}

FakePlatform::FakePlatform() {
  platform.files = &files;
  platform.settings = &settings;
  platform.clock = &clock;
  platform.dialogs = &dialogs;
  platform.system = &system;
  platform.sound = &sound;
  platform.shell = &shell;
  platform.text = &text;
  platform.net = &net;
  platform.tray = &tray;
  platform.desktop = &desktop;
  platform.timers = &timers;
  platform.urlCache = &urlCache;
  platform.dnsCache = &dnsCache;
  platform.folderWatch = &folderWatch;
  platform.registry = &registry;
  platform.logonTask = &logonTask;
  platform.http = &http;
}

}  // namespace nv::test
