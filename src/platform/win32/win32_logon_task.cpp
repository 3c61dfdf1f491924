#include "platform/win32/win32_logon_task.h"

#include <windows.h>
#include <taskschd.h>
#include <wrl/client.h>

#include "platform/errors.h"
#include "platform/win32/win32_com.h"

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

using com::Bstr;
using com::Wide;
using ComScope = com::Scope;

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

// Every step of building a task fails the same way.
void Build(HRESULT hr) { Check(hr, "registered"); }

[[noreturn]] void FailWin32() {
  const DWORD error = GetLastError();
  Fail(error ? HRESULT_FROM_WIN32(error) : E_FAIL, "registered");
}

bool IsNotFound(HRESULT hr) {
  return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

// The user this process runs as, "DOMAIN\name": the task starts at that user's log-on.
std::wstring CurrentUser() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) FailWin32();
  alignas(TOKEN_USER) BYTE buffer[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)] = {};
  DWORD size = 0;
  const BOOL ok = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
  CloseHandle(token);
  if (!ok) FailWin32();
  WCHAR name[256] = {}, domain[256] = {};
  DWORD nameLen = 256, domainLen = 256;
  SID_NAME_USE use;
  if (!LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, name, &nameLen, domain,
                         &domainLen, &use))
    FailWin32();
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
  Build(task.get_Settings(settings.GetAddressOf()));
  Build(settings->put_ExecutionTimeLimit(Bstr(L"PT0S")));
  Build(settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE));
  Build(settings->put_StopIfGoingOnBatteries(VARIANT_FALSE));
  Build(settings->put_Priority(4));
}

// A new member of a task's triggers or actions, as the interface of its kind.
template <class Wanted, class Member, class Collection, class Kind>
ComPtr<Wanted> NewMember(ITaskDefinition& task,
                         HRESULT (STDMETHODCALLTYPE ITaskDefinition::*get)(Collection**), Kind kind) {
  ComPtr<Collection> collection;
  Build((task.*get)(collection.GetAddressOf()));
  ComPtr<Member> member;
  Build(collection->Create(kind, member.GetAddressOf()));
  ComPtr<Wanted> wanted;
  Build(member.As(&wanted));
  return wanted;
}

// The trigger first and the principal last: Wine lacks both, and stops there.
void AtLogonWithHighestRights(ITaskDefinition& task, const std::wstring& user) {
  auto logon = NewMember<ILogonTrigger, ITrigger>(task, &ITaskDefinition::get_Triggers, TASK_TRIGGER_LOGON);
  Build(logon->put_UserId(Bstr(user)));
  ComPtr<IPrincipal> principal;
  Build(task.get_Principal(principal.GetAddressOf()));
  Build(principal->put_UserId(Bstr(user)));
  Build(principal->put_LogonType(TASK_LOGON_INTERACTIVE_TOKEN));
  Build(principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST));
}

void Starting(ITaskDefinition& task, const std::string& program, const std::string& arguments,
              const std::string& workingDir) {
  auto exec = NewMember<IExecAction, IAction>(task, &ITaskDefinition::get_Actions, TASK_ACTION_EXEC);
  Build(exec->put_Path(Bstr(Wide(program))));
  Build(exec->put_Arguments(Bstr(Wide(arguments))));
  Build(exec->put_WorkingDirectory(Bstr(Wide(workingDir))));
}
}  // namespace

void Win32LogonTask::Register(const std::string& name, const std::string& program,
                              const std::string& arguments, const std::string& workingDir) {
  ComScope com;
  Library lib = Connect("registered");
  ComPtr<ITaskDefinition> task;
  Build(lib.service->NewTask(0, task.GetAddressOf()));
  const std::wstring user = CurrentUser();
  KeepRunning(*task.Get());
  Starting(*task.Get(), program, arguments, workingDir);
  AtLogonWithHighestRights(*task.Get(), user);
  VARIANT none;
  VariantInit(&none);
  ComPtr<IRegisteredTask> registered;
  Build(lib.root->RegisterTaskDefinition(Bstr(Wide(name)), task.Get(), TASK_CREATE_OR_UPDATE, none, none,
                                         TASK_LOGON_INTERACTIVE_TOKEN, none, registered.GetAddressOf()));
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
