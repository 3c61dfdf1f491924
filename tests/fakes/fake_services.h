#pragma once
#include <string>

#include "fakes/fake_platform.h"
#include "store/services.h"

namespace nv::test {

// What frmMain shares with every feature, over the fakes, for a program
// folder of the test's choice.
struct FakeServices {
  explicit FakeServices(const std::string& programFolder) : store{fp.files, programFolder} {}
  FakePlatform fp;
  Store store;
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
};

}  // namespace nv::test
