#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/folder_watch.h"
#include "platform/timers.h"
#include "platform/url_cache.h"

namespace nv::test {

// One-shot timers on a virtual clock: nothing fires until the test advances it.
class FakeTimers : public Timers {
 public:
  Id StartOnce(unsigned milliseconds, std::function<void()> callback) override;
  void Cancel(Id id) override;
  // Moves the clock on, firing every timer that falls due, in due order.
  void Advance(unsigned milliseconds);
  size_t Pending() const { return timers_.size(); }

  std::uint64_t now = 0;
  std::vector<unsigned> started;  // the interval of every timer started

 private:
  struct Entry {
    Id id;
    std::uint64_t due;
    std::function<void()> callback;
  };
  std::vector<Entry> timers_;
  Id next_ = 1;
};

// Records the cache entries the program asked to delete.
class FakeUrlCache : public UrlCache {
 public:
  bool DeleteEntry(const std::string& key) override {
    deleted.push_back(key);
    return true;
  }
  std::vector<std::string> deleted;
};

// Reports name changes as the test says; by default every call sees one, so
// a sweep lists the folder on every tick.
class FakeFolderWatch : public FolderWatch {
 public:
  bool NamesChanged(const std::string&) override {
    ++calls;
    const bool answer = changed;
    changed = always;
    return answer;
  }
  bool FilesChanged(const std::string&) override {
    const bool answer = filesChanged;
    filesChanged = filesAlways;
    return answer;
  }
  bool filesAlways = true;   // the same two for FilesChanged
  bool filesChanged = true;
  bool always = true;   // the answer after the next one
  bool changed = true;  // the next answer
  int calls = 0;
};

}  // namespace nv::test
