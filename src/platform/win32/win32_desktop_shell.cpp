// The desktop's shell opening a document or address for its own user: an
// elevated program must not start the user's browser itself, since the
// browser would inherit its administrator's token. The desktop window's
// shell view leads to the shell's dispatch object, whose ShellExecute runs
// inside the desktop's (unelevated) process.
#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "platform/win32/win32_com.h"
#include "platform/win32/win32_services.h"

namespace nv {

namespace {
using Microsoft::WRL::ComPtr;

// ShellWindows → the desktop's window → its top-level browser → the active
// shell view → the view's dispatch object → its Application.
HRESULT DesktopShellDispatch(ComPtr<IShellDispatch2>& out) {
  ComPtr<IShellWindows> windows;
  HRESULT hr = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&windows));
  if (FAILED(hr)) return hr;
  VARIANT location{}, root{};
  location.vt = VT_I4;
  location.lVal = CSIDL_DESKTOP;
  long hwnd = 0;
  ComPtr<IDispatch> desktop;
  hr = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &desktop);
  if (hr != S_OK || !desktop) return FAILED(hr) ? hr : E_FAIL;
  ComPtr<IServiceProvider> services;
  ComPtr<IShellBrowser> browser;
  ComPtr<IShellView> view;
  ComPtr<IDispatch> background;
  ComPtr<IShellFolderViewDual> folderView;
  ComPtr<IDispatch> application;
  if (FAILED(hr = desktop.As(&services)) ||
      FAILED(hr = services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))) ||
      FAILED(hr = browser->QueryActiveShellView(&view)) ||
      FAILED(hr = view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) ||
      FAILED(hr = background.As(&folderView)) || FAILED(hr = folderView->get_Application(&application)))
    return hr;
  return application.As(&out);
}

VARIANT Text(BSTR text) {
  VARIANT v{};
  v.vt = VT_BSTR;
  v.bstrVal = text;
  return v;
}
}  // namespace

bool Win32Shell::Elevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = sizeof elevation;
  const BOOL ok = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  CloseHandle(token);
  return ok && elevation.TokenIsElevated != 0;
}

bool Win32Shell::ExecuteAsDesktopUser(const std::string& verb, const std::string& file, const std::string& params,
                                      const std::string& dir, int show) {
  com::Scope scope;
  ComPtr<IShellDispatch2> shell;
  if (FAILED(DesktopShellDispatch(shell))) return false;
  // The desktop's process may bring the window it starts to the front.
  DWORD desktopProcess = 0;
  GetWindowThreadProcessId(GetShellWindow(), &desktopProcess);
  if (desktopProcess) AllowSetForegroundWindow(desktopProcess);
  const com::Bstr bFile(com::Wide(file)), bParams(com::Wide(params)), bDir(com::Wide(dir)), bVerb(com::Wide(verb));
  VARIANT vShow{};
  vShow.vt = VT_I4;
  vShow.lVal = show;
  return SUCCEEDED(shell->ShellExecute(bFile, Text(bParams), Text(bDir), Text(bVerb), vShow));
}

}  // namespace nv
