#include "store/store.h"

#include <exception>

#include "platform/clock.h"
#include "platform/files.h"
#include "store/file_found.h"
#include "store/list_file.h"
#include "store/paths.h"

namespace nv {

Store::Store(Files& files, std::string programFolder, Clock* clock)
    : files_(files), folder_(std::move(programFolder)), clock_(clock) {}

// Waits of 2, 4 and 8 ms: most holders let go within the first.
void Store::ReplaceFile(const std::string& path, const std::string& bytes) {
  int waited = 0;
  for (int waitMs = 2;; waitMs *= 2) {
    try {
      files_.WriteAtomic(path, bytes);
      return;
    } catch (const FileInUseError&) {
      if (!clock_ || waited + waitMs > kReplaceBudgetMs) throw;
      clock_->Pause(waitMs);
      waited += waitMs;
    }
  }
}

bool Store::RunLogged(const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (const AppError& e) {
    LogError(e);
  } catch (const std::exception& e) {
    LogError(AppError(err::kPathFileAccess, e.what()));
  }
  return false;
}

void Store::ParseListFile(std::string_view bytes, ListBox& list, const std::string& prefix) {
  const auto lines = SplitListLines(bytes);
  list.Reserve(static_cast<size_t>(list.Count()) + lines.size());
  std::string entry;
  for (std::string_view raw : lines) {
    if (TrimSpaces(raw).empty()) continue;
    entry.assign(prefix);
    entry.append(raw);
    list.AddUnique(std::string(TrimSpaces(entry)));
  }
}

bool Store::LoadListFile(ListBox& list, const std::string& path, const std::string& prefix) {
  list.Clear();
  return RunLogged([&] { ParseListFile(files_.ReadAll(path), list, prefix); });
}

std::optional<std::string> Store::ReadFile(const std::string& path) {
  std::optional<std::string> bytes;
  RunLogged([&] { bytes = files_.ReadAll(path); });
  return bytes;
}

void Store::SaveListFile(ListBox& list, const std::string& path, bool clear) {
  ReplaceFile(path, FormatListFile(list.Items()));
  if (clear) list.Clear();
}

void Store::AppendListFile(ListBox& list, const std::string& path) {
  try {
    files_.Append(path, FormatListFile(list.Items()));
  } catch (const AppError& e) {
    LogError(e);
  }
  list.Clear();
}

void Store::EnsureFileExists(const std::string& path) {
  if (FileFound(files_, path, kAttrNormal)) return;
  lstFile.Clear();
  SaveListFile(lstFile, path, false);
}

void Store::CreateFileIfAbsent(const std::string& path) {
  if (files_.Exists(path)) return;
  lstFile.Clear();
  SaveListFile(lstFile, path, false);
}

void Store::LogError(const AppError& e) {
  if (loggingError_) return;
  loggingError_ = true;
  lstFile.Clear();
  try {
    const std::string entry = std::to_string(e.number) + ":" + e.description + ":" + e.source;
    EnsureFileExists(Path(paths::kErrLog));
    lstFile.Add(entry);
    AppendListFile(lstFile, Path(paths::kErrLog));
  } catch (...) {
    // Nowhere left to report a failure of the error log itself.
  }
  lstFile.Clear();
  loggingError_ = false;
}

}  // namespace nv
