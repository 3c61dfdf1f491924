#include "platform/win32/win32_logon_task.h"

#include <windows.h>
#include <taskschd.h>
#include <wrl/client.h>

#include "platform/errors.h"

// Some mingw-w64 releases leave the log-on trigger out of <taskschd.h>.
#ifndef __ILogonTrigger_INTERFACE_DEFINED__
#define __ILogonTrigger_INTERFACE_DEFINED__
MIDL_INTERFACE("72dade38-fae4-4b3e-baf4-5d009af02b1c")
ILogonTrigger : public ITrigger {
 public:
  virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR* delay) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_UserId(BSTR* user) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(ILogonTrigger, 0x72dade38, 0xfae4, 0x4b3e, 0xba, 0xf4, 0x5d, 0x00, 0x9a, 0xf0, 0x2b, 0x1c)
#endif
#endif

namespace nv {

namespace {
using Microsoft::WRL::ComPtr;

// COM for the length of one call; a thread that has it already keeps it.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return b_; }

 private:
  BSTR b_;
};

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

[[noreturn]] void Fail(HRESULT hr, const char* what) {
  char* message = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPSTR>(&message), 0, nullptr);
  std::string text = std::string("The log-on task could not be ") + what;
  if (message) {
    std::string detail = message;
    while (!detail.empty() && (detail.back() == '\n' || detail.back() == '\r' || detail.back() == ' '))
      detail.pop_back();
    text += ": " + detail;
    LocalFree(message);
  }
  throw AppError(static_cast<int>(hr), text, "Task Scheduler");
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) Fail(hr, what);
}

bool IsNotFound(HRESULT hr) {
  return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

// The user this process runs as, "DOMAIN\name": the task starts at that user's log-on.
std::wstring CurrentUser() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) Fail(HRESULT_FROM_WIN32(GetLastError()), "registered");
  BYTE buffer[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)] = {};
  DWORD size = 0;
  const BOOL ok = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
  CloseHandle(token);
  if (!ok) Fail(HRESULT_FROM_WIN32(GetLastError()), "registered");
  WCHAR name[256] = {}, domain[256] = {};
  DWORD nameLen = 256, domainLen = 256;
  SID_NAME_USE use;
  if (!LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, name, &nameLen, domain,
                         &domainLen, &use))
    Fail(HRESULT_FROM_WIN32(GetLastError()), "registered");
  return std::wstring(domain) + L"\\" + name;
}

struct Library {
  ComPtr<ITaskService> service;
  ComPtr<ITaskFolder> root;
};

Library Connect(const char* what) {
  Library lib;
  Check(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                         reinterpret_cast<void**>(lib.service.GetAddressOf())),
        what);
  VARIANT none;
  VariantInit(&none);
  Check(lib.service->Connect(none, none, none, none), what);
  Check(lib.service->GetFolder(Bstr(L"\\"), lib.root.GetAddressOf()), what);
  return lib;
}

// Tasks run at below-normal priority, stop after 72 hours and on battery
// power unless told otherwise; a tray program must do none of that.
void KeepRunning(ITaskDefinition& task) {
  ComPtr<ITaskSettings> settings;
  Check(task.get_Settings(settings.GetAddressOf()), "registered");
  Check(settings->put_ExecutionTimeLimit(Bstr(L"PT0S")), "registered");
  Check(settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE), "registered");
  Check(settings->put_StopIfGoingOnBatteries(VARIANT_FALSE), "registered");
  Check(settings->put_Priority(4), "registered");
}

void AtLogonWithHighestRights(ITaskDefinition& task, const std::wstring& user) {
  ComPtr<IPrincipal> principal;
  Check(task.get_Principal(principal.GetAddressOf()), "registered");
  Check(principal->put_UserId(Bstr(user)), "registered");
  Check(principal->put_LogonType(TASK_LOGON_INTERACTIVE_TOKEN), "registered");
  Check(principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST), "registered");
  ComPtr<ITriggerCollection> triggers;
  Check(task.get_Triggers(triggers.GetAddressOf()), "registered");
  ComPtr<ITrigger> trigger;
  Check(triggers->Create(TASK_TRIGGER_LOGON, trigger.GetAddressOf()), "registered");
  ComPtr<ILogonTrigger> logon;
  Check(trigger.As(&logon), "registered");
  Check(logon->put_UserId(Bstr(user)), "registered");
}

void Starting(ITaskDefinition& task, const std::string& program, const std::string& arguments,
              const std::string& workingDir) {
  ComPtr<IActionCollection> actions;
  Check(task.get_Actions(actions.GetAddressOf()), "registered");
  ComPtr<IAction> action;
  Check(actions->Create(TASK_ACTION_EXEC, action.GetAddressOf()), "registered");
  ComPtr<IExecAction> exec;
  Check(action.As(&exec), "registered");
  Check(exec->put_Path(Bstr(Wide(program))), "registered");
  Check(exec->put_Arguments(Bstr(Wide(arguments))), "registered");
  Check(exec->put_WorkingDirectory(Bstr(Wide(workingDir))), "registered");
}
}  // namespace

void Win32LogonTask::Register(const std::string& name, const std::string& program,
                              const std::string& arguments, const std::string& workingDir) {
  ComScope com;
  Library lib = Connect("registered");
  ComPtr<ITaskDefinition> task;
  Check(lib.service->NewTask(0, task.GetAddressOf()), "registered");
  const std::wstring user = CurrentUser();
  KeepRunning(*task.Get());
  AtLogonWithHighestRights(*task.Get(), user);
  Starting(*task.Get(), program, arguments, workingDir);
  VARIANT none;
  VariantInit(&none);
  ComPtr<IRegisteredTask> registered;
  Check(lib.root->RegisterTaskDefinition(Bstr(Wide(name)), task.Get(), TASK_CREATE_OR_UPDATE, none, none,
                                         TASK_LOGON_INTERACTIVE_TOKEN, none, registered.GetAddressOf()),
        "registered");
}

void Win32LogonTask::Delete(const std::string& name) {
  ComScope com;
  Library lib = Connect("removed");
  const HRESULT hr = lib.root->DeleteTask(Bstr(Wide(name)), 0);
  if (!IsNotFound(hr)) Check(hr, "removed");
}

bool Win32LogonTask::Exists(const std::string& name) {
  ComScope com;
  Library lib = Connect("looked up");
  ComPtr<IRegisteredTask> task;
  const HRESULT hr = lib.root->GetTask(Bstr(Wide(name)), task.GetAddressOf());
  if (IsNotFound(hr)) return false;
  Check(hr, "looked up");
  return true;
}

}  // namespace nv
