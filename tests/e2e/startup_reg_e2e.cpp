// Start with Windows under Wine: the real registry and Task Scheduler calls
// behind StartWithWindows, and the start by the log-on task ("/logon").
#include <gtest/gtest.h>
#include <taskschd.h>
#include <wrl/client.h>

#include <cstdio>
#include <memory>

#include "harness/harness.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_logon_task.h"
#include "platform/win32/win32_registry.h"
#include "settings/start_with_windows.h"
#include "store/store.h"

using namespace e2e;

namespace {

constexpr char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kPolicy[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// The Run value as any other program reads it: type and raw bytes.
std::optional<std::pair<DWORD, std::string>> RunValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  char data[2048] = {};
  DWORD size = sizeof data, type = 0;
  const LONG rc = RegQueryValueExA(key, "Norvane.exe", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return std::pair{type, std::string(data, size)};
}

// UAC's switch in the native registry view; nothing removes the value.
void SetEnableLua(std::optional<DWORD> value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPolicy, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (value)
    RegSetValueExA(key, "EnableLUA", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value), sizeof(DWORD));
  else
    RegDeleteValueA(key, "EnableLUA");
  RegCloseKey(key);
}

std::optional<DWORD> EnableLua() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPolicy, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD value = 0, size = sizeof value, type = 0;
  const LONG rc = RegQueryValueExA(key, "EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value;
}

// The test's own way into the Task Scheduler library: a task of the program's
// name put there as another tool would, and a registered task's definition.
class Library {
 public:
  Library() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    VARIANT none;
    VariantInit(&none);
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                   reinterpret_cast<void**>(service_.GetAddressOf()))) &&
        SUCCEEDED(service_->Connect(none, none, none, none)))
      service_->GetFolder(Bstr(L"\\"), root_.GetAddressOf());
  }
  ~Library() {
    root_.Reset();
    service_.Reset();
    CoUninitialize();
  }
  bool PutStandIn(const wchar_t* name) {
    VARIANT none;
    VariantInit(&none);
    Microsoft::WRL::ComPtr<IRegisteredTask> task;
    const wchar_t* xml =
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Task version=\"1.2\" "
        L"xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\"><Triggers/>"
        L"<Actions Context=\"Author\"><Exec><Command>C:\\nvtest\\stand-in.exe</Command></Exec>"
        L"</Actions></Task>";
    return root_ && SUCCEEDED(root_->RegisterTask(Bstr(name), Bstr(xml), TASK_CREATE_OR_UPDATE, none, none,
                                                  TASK_LOGON_INTERACTIVE_TOKEN, none, task.GetAddressOf()));
  }
  std::wstring Xml(const wchar_t* name) {
    Microsoft::WRL::ComPtr<IRegisteredTask> task;
    BSTR xml = nullptr;
    if (!root_ || FAILED(root_->GetTask(Bstr(name), task.GetAddressOf())) || FAILED(task->get_Xml(&xml)))
      return {};
    std::wstring text = xml ? xml : L"";
    SysFreeString(xml);
    return text;
  }

 private:
  struct Bstr {
    explicit Bstr(const wchar_t* s) : b(SysAllocString(s)) {}
    ~Bstr() { SysFreeString(b); }
    operator BSTR() const { return b; }
    BSTR b;
  };
  Microsoft::WRL::ComPtr<ITaskService> service_;
  Microsoft::WRL::ComPtr<ITaskFolder> root_;
};

class StartupReg : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    lua_ = EnableLua();
    folder = InstallFresh(::testing::UnitTest::GetInstance()->current_test_info()->name());
    store = std::make_unique<nv::Store>(files, folder);
    startup = std::make_unique<nv::StartWithWindows>(*store, registry, tasks);
    RemoveRecords();
  }
  void TearDown() override {
    RemoveRecords();
    SetEnableLua(lua_);
  }
  void RemoveRecords() {
    nv::RegStuff(registry).DeleteRegistryValue(nv::kHkeyLocalMachine, kRun, "Norvane.exe");
    try {
      tasks.Delete("Norvane");
    } catch (const nv::AppError&) {
    }
  }
  std::string ErrLog() { return ReadFile(folder + "\\err.log"); }

  std::string folder;
  nv::Win32Files files;
  nv::Win32Registry registry;
  nv::Win32LogonTask tasks;
  std::unique_ptr<nv::Store> store;
  std::unique_ptr<nv::StartWithWindows> startup;

 private:
  std::optional<DWORD> lua_;
};

TEST_F(StartupReg, RunValueAndMarkerFollowTheChoice) {
  startup->Update(true);
  EXPECT_EQ(ReadFile(folder + "\\start.ini"), "1\r\n");
  auto value = RunValue();
  ASSERT_TRUE(value) << "no Run value in HKEY_LOCAL_MACHINE";
  EXPECT_EQ(value->first, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value->second, folder + "\\Norvane.exe" + '\0');
  EXPECT_TRUE(startup->Registered());

  startup->Update(false);
  EXPECT_EQ(ReadFile(folder + "\\start.ini"), "0\r\n");
  EXPECT_FALSE(RunValue());
  EXPECT_FALSE(startup->Registered());
}

TEST_F(StartupReg, LogonTaskAsFarAsTheTaskSchedulerGoes) {
  startup->Update(true);
  startup->Update(true);
  if (tasks.Exists("Norvane")) {
    const std::wstring xml = Library().Xml(L"Norvane");
    EXPECT_NE(xml.find(L"<LogonTrigger>"), std::wstring::npos);
    EXPECT_NE(xml.find(L"<RunLevel>HighestAvailable</RunLevel>"), std::wstring::npos);
    EXPECT_NE(xml.find(L"<Arguments>/logon</Arguments>"), std::wstring::npos);
    EXPECT_NE(xml.find(L"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>"), std::wstring::npos);
  } else {
    // Wine has no log-on trigger: the failure is logged once, the Run value stands.
    const std::string log = ErrLog();
    const std::string entry =
        "-2147467263:The log-on task could not be registered: Not implemented.:Task Scheduler";
    EXPECT_NE(log.find(entry), std::string::npos) << log;
    EXPECT_EQ(log.find(entry), log.rfind(entry)) << "logged more than once:\n" << log;
    EXPECT_TRUE(RunValue());
    std::printf("[   NOTE   ] this Task Scheduler cannot register a log-on task (E_NOTIMPL)\n");
  }
  startup->Update(false);
  EXPECT_FALSE(tasks.Exists("Norvane"));
}

TEST_F(StartupReg, AnExistingTaskCountsAsRegisteredAndIsRemoved) {
  ASSERT_TRUE(Library().PutStandIn(L"Norvane"));
  ASSERT_TRUE(tasks.Exists("Norvane"));
  EXPECT_FALSE(RunValue());
  EXPECT_TRUE(startup->Registered());
  startup->Update(false);
  EXPECT_FALSE(tasks.Exists("Norvane"));
  EXPECT_FALSE(startup->Registered());
  startup->Update(false);  // nothing left to remove: silent
  EXPECT_EQ(ErrLog(), "");
}

TEST_F(StartupReg, LogonStartMeetingAnotherInstanceEndsWithoutTheBox) {
  SetEnableLua(1);  // UAC on: only the task starts the program, so it meets the single-instance rule
  Norvane first(folder);
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(first.WaitRunning());
  Norvane second(folder);
  ASSERT_TRUE(second.Start("/logon"));
  WaitUntil([&] { return !second.Running() || FindBox("Norvane!"); });
  EXPECT_FALSE(FindBox("Norvane!")) << "the \"Already running\" box was shown";
  EXPECT_TRUE(second.WaitExit(5000));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(first.Running());
  first.Close();
  EXPECT_TRUE(first.WaitExit());
}

TEST_F(StartupReg, LogonStartGivesWayToTheRunValueWhereUacIsOff) {
  SetEnableLua(0);
  startup->Update(true);
  const std::string hosts = ReadFile(HostsPath());
  Norvane app(folder);
  ASSERT_TRUE(app.Start("/logon"));
  EXPECT_TRUE(app.WaitExit(10000)) << "the task's start should give way to the Run value's";
  EXPECT_EQ(app.ExitCode(), 0u);
  EXPECT_EQ(ReadFile(HostsPath()), hosts);
  EXPECT_FALSE(Exists(folder + "\\data\\hosts.bak"));
  EXPECT_FALSE(GetSetting("Data", "Restore"));

  startup->Update(false);  // without the Run value nothing else starts it: the task's start goes on
  Norvane again(folder);
  ASSERT_TRUE(again.Start("/logon"));
  ASSERT_TRUE(again.WaitRunning());
  again.Close();
  EXPECT_TRUE(again.WaitExit());
}

}  // namespace
