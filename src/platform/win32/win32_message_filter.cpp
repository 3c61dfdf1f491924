#include "platform/win32/win32_message_filter.h"

namespace nv {

namespace {
constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD for the process-wide filter
using PerWindowFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
using ProcessFilter = BOOL(WINAPI*)(UINT, DWORD);

template <class F>
F Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
}  // namespace

MessageFilterRoute AllowMessageFromLowerIntegrity(HWND window, UINT message, HMODULE user32) {
  using Route = MessageFilterRoute;
  if (auto perWindow = Lookup<PerWindowFilter>(user32, "ChangeWindowMessageFilterEx"))
    return perWindow(window, message, kAllow, nullptr) ? Route::PerWindow : Route::Refused;
  if (auto processWide = Lookup<ProcessFilter>(user32, "ChangeWindowMessageFilter"))
    return processWide(message, kAllow) ? Route::ProcessWide : Route::Refused;
  return Route::NoFilter;
}

}  // namespace nv
