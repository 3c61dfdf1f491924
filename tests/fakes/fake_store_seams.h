#pragma once
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "fakes/fake_files.h"
#include "platform/background.h"
#include "platform/file_probe.h"

namespace nv::test {

// Stamps and holds by path (case-insensitive, as FakeFiles): a file not
// named has none and is missing; a named one is free unless held.
class FakeFileProbe : public FileProbe {
 public:
  FileStamp Stamp(const std::string& path) override {
    ++stamps;
    auto it = files.find(FakeFiles::Key(path));
    return it == files.end() ? FileStamp{} : it->second.stamp;
  }
  FileHold Hold(const std::string& path) override {
    ++holds;
    auto it = files.find(FakeFiles::Key(path));
    return it == files.end() ? FileHold::Missing : it->second.hold;
  }
  void Put(const std::string& path, std::int64_t size, std::uint64_t time, FileHold hold = FileHold::Free) {
    files[FakeFiles::Key(path)] = {{size, time}, hold};
  }
  void Set(const std::string& path, FileHold hold) { files[FakeFiles::Key(path)].hold = hold; }
  void Touch(const std::string& path) { ++files[FakeFiles::Key(path)].stamp.writeTime; }

  struct Entry {
    FileStamp stamp;
    FileHold hold = FileHold::Free;
  };
  std::map<std::string, Entry> files;
  int stamps = 0, holds = 0;
};

// Keeps the jobs until the test lets them run: the work, then its done, both
// on the test's thread, as the worker and the message loop would in turn.
class FakeBackground : public Background {
 public:
  void Run(std::function<void()> work, std::function<void()> done) override {
    jobs.emplace_back(std::move(work), std::move(done));
  }
  // Runs the jobs queued so far (not those their dones queue).
  int RunAll() {
    std::deque<std::pair<std::function<void()>, std::function<void()>>> now;
    now.swap(jobs);
    for (auto& [work, done] : now) {
      work();
      done();
    }
    return static_cast<int>(now.size());
  }
  std::deque<std::pair<std::function<void()>, std::function<void()>>> jobs;
};

}  // namespace nv::test
