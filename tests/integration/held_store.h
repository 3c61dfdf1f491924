#pragma once
// A stand-in for a running browser: another process that holds a cookie
// database as Chromium does while it runs (exclusive locking mode, a write
// transaction open), until it is let go.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace nv::test {

class HeldStore {
 public:
  explicit HeldStore(const std::string& db) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      sqlite3* h = nullptr;
      sqlite3_open(db.c_str(), &h);
      sqlite3_exec(h, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr);
      (void)!write(ready[1], "x", 1);
      pause();
      _exit(0);
    }
    char c;
    if (pid_ > 0) (void)!read(ready[0], &c, 1);
    close(ready[0]);
    close(ready[1]);
  }
  ~HeldStore() { Release(); }
  HeldStore(const HeldStore&) = delete;
  HeldStore& operator=(const HeldStore&) = delete;
  void Release() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

}  // namespace nv::test
