#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/errors.h"
#include "store/list_box.h"

namespace nv {

class Clock;
class Files;

// The data store of the running program: the program folder, the shared
// scratch list lstFile, the list-file routines and the error log.
class Store {
 public:
  // Without a clock a file held open by another program is not tried again.
  Store(Files& files, std::string programFolder, Clock* clock = nullptr);

  // The program folder followed by a relative name such as "\data\hosts.svr".
  std::string Path(const std::string& relative) const { return folder_ + relative; }
  const std::string& ProgramFolder() const { return folder_; }
  Files& files() { return files_; }

  // The shared scratch list through which files are read and written.
  ListBox lstFile;

  // Replaces the file atomically (Files::WriteAtomic). A target another
  // program holds open is tried again a few times, for kReplaceBudgetMs in
  // all: long enough for a scanner's look, short enough that the tray never
  // stalls. Throws the last failure.
  void ReplaceFile(const std::string& path, const std::string& bytes);
  static constexpr int kReplaceBudgetMs = 14;

  // Replaces the list's content with the file's entries (prefix put in front
  // of each raw line). Failures are logged, never thrown; the result tells
  // whether the file was read, for callers that must not mistake a failed
  // read for an empty file.
  bool LoadListFile(ListBox& list, const std::string& path, const std::string& prefix = "");
  // Adds the entries of a list file's bytes as LoadListFile reads them: each
  // non-empty line, prefix in front, trimmed of spaces, repeats dropped.
  static void ParseListFile(std::string_view bytes, ListBox& list, const std::string& prefix = "");
  // A file's bytes; a failure is logged, never thrown, and gives nothing.
  std::optional<std::string> ReadFile(const std::string& path);
  // Replaces the file atomically with the list's entries. Throws on failure.
  void SaveListFile(ListBox& list, const std::string& path, bool clear);
  // Adds the list's entries at the end of the file, then empties the list.
  // Failures are logged, never thrown.
  void AppendListFile(ListBox& list, const std::string& path);
  // Creates the file as an empty list's file when a plain existence test does
  // not find it; that empties lstFile. Throws on failure.
  void EnsureFileExists(const std::string& path);
  // As EnsureFileExists, but only when there is truly nothing of that name: a
  // hidden, system or unreadable file stays as it is (the HOSTS file).
  void CreateFileIfAbsent(const std::string& path);
  static bool AddUnique(const std::string& entry, ListBox& list) { return list.AddUnique(entry); }

  // One "\err.log" entry: number, ":", description, ":", source. A failure
  // while writing it is dropped rather than logged again.
  void LogError(const AppError& e);

 private:
  // Runs the work; a failure is logged and gives false.
  bool RunLogged(const std::function<void()>& work);

  Files& files_;
  std::string folder_;
  Clock* clock_;
  bool loggingError_ = false;
};

}  // namespace nv
