// RegStuff over the in-memory registry: the key it opens, the bytes it writes,
// and that every key it opened is closed again.
#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "settings/reg_stuff.h"
#include "settings/start_with_windows.h"

namespace nv {
namespace {

using test::FakeRegistry;

struct RegStuffTest : ::testing::Test {
  std::optional<RegValue> RunValue() const {
    return registry.Get(kHkeyLocalMachine, kRunSubkey, kRunValueName);
  }
  FakeRegistry registry;
  RegStuff reg{registry};
};

TEST_F(RegStuffTest, SetOpensTheSubkeyAsWrittenWithMask63AndWritesNulTerminatedText) {
  reg.SetRegistryValue(kHkeyLocalMachine, kRunSubkey, kRunValueName, "C:\\N\\Norvane.exe", kRegSz);
  ASSERT_EQ(registry.opens.size(), 1u);
  EXPECT_EQ(registry.opens[0].root, kHkeyLocalMachine);
  EXPECT_EQ(registry.opens[0].subkey, "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\");
  EXPECT_EQ(registry.opens[0].access, 63u);
  EXPECT_EQ(registry.calls, (std::vector<std::string>{"open", "set Norvane.exe", "close"}));
  ASSERT_TRUE(RunValue());
  EXPECT_EQ(RunValue()->type, kRegSz);
  EXPECT_EQ(RunValue()->bytes, std::string("C:\\N\\Norvane.exe\0", 17));
  EXPECT_TRUE(registry.openKeys.empty());
}

TEST_F(RegStuffTest, DeleteRemovesTheValueAndAMissingValueIsHarmless) {
  registry.Put(kHkeyLocalMachine, kRunSubkey, kRunValueName, {kRegSz, std::string("x\0", 2)});
  reg.DeleteRegistryValue(kHkeyLocalMachine, kRunSubkey, kRunValueName);
  EXPECT_FALSE(RunValue());
  reg.DeleteRegistryValue(kHkeyLocalMachine, kRunSubkey, kRunValueName);
  EXPECT_EQ(registry.opens.back().access, 63u);
  EXPECT_EQ(registry.calls.back(), "close");
  EXPECT_TRUE(registry.openKeys.empty());
}

TEST_F(RegStuffTest, DwordIsFourLittleEndianBytesAndOtherTypesWriteNothing) {
  auto key = *registry.OpenKey(kHkeyLocalMachine, kRunSubkey, RegStuff::kAccess);
  EXPECT_EQ(reg.WriteRegistryValue(key, "n", kRegDword, "305419896"), kRegSuccess);
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kRunSubkey, "n")->bytes, "\x78\x56\x34\x12");
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kRunSubkey, "n")->type, kRegDword);
  EXPECT_EQ(reg.WriteRegistryValue(key, "m", kRegDword, "-1"), kRegSuccess);
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kRunSubkey, "m")->bytes, "\xFF\xFF\xFF\xFF");
  for (auto [type, data] : {std::pair{3u, "1"}, {2u, "x"}, {kRegDword, "12x"}, {kRegDword, ""},
                            {kRegDword, "4294967296"}}) {
    EXPECT_EQ(reg.WriteRegistryValue(key, "other", type, data), kRegInvalidParameter) << type << data;
    EXPECT_FALSE(registry.Get(kHkeyLocalMachine, kRunSubkey, "other")) << type << data;
  }
  registry.CloseKey(key);
}

TEST_F(RegStuffTest, FailuresPassSilentlyAndLeaveNoKeyOpen) {
  registry.failSet = true;
  reg.SetRegistryValue(kHkeyLocalMachine, kRunSubkey, kRunValueName, "C:\\Norvane.exe", kRegSz);
  reg.DeleteRegistryValue(kHkeyLocalMachine, kRunSubkey, kRunValueName);
  EXPECT_TRUE(registry.openKeys.empty());
  registry.failSet = false;
  registry.denyWrite = true;  // no administrator rights: the key does not open
  reg.SetRegistryValue(kHkeyLocalMachine, kRunSubkey, kRunValueName, "C:\\Norvane.exe", kRegSz);
  EXPECT_EQ(registry.calls.back(), "open");
  EXPECT_FALSE(RunValue());
  EXPECT_TRUE(registry.openKeys.empty());
}

}  // namespace
}  // namespace nv
