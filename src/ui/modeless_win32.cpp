#include "ui/modeless_win32.h"

#include <vector>

namespace nv::ui {

namespace {
struct Modeless {
  HWND window;
  KeyFilter filter;
};
std::vector<Modeless>& Windows() {
  static std::vector<Modeless> windows;
  return windows;
}
}  // namespace

void RegisterModeless(HWND window, KeyFilter filter) { Windows().push_back({window, std::move(filter)}); }

void UnregisterModeless(HWND window) {
  auto& w = Windows();
  for (auto it = w.begin(); it != w.end(); ++it)
    if (it->window == window) {
      w.erase(it);
      return;
    }
}

bool RouteModelessMessage(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  for (const Modeless& m : Windows()) {
    if (msg.hwnd != m.window && !IsChild(m.window, msg.hwnd)) continue;
    // The filter may close the window and unregister it: keep what we need.
    const HWND window = m.window;
    if (m.filter && KeyFilter(m.filter)(msg)) return true;
    return IsWindow(window) && IsDialogMessageA(window, &msg);
  }
  return false;
}

HWND CreateEmptyDialog(HINSTANCE inst, HWND owner, DWORD style, DWORD exStyle, const std::string& caption,
                       DLGPROC proc, LPARAM param) {
  static_assert(sizeof(DLGTEMPLATE) == 18, "the template header is packed");
  // DLGTEMPLATE, then no menu, the system class and the caption in UTF-16.
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD) + 2 + caption.size() + 1, 0);
  auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
  d->style = style;
  d->dwExtendedStyle = exStyle;
  d->cx = d->cy = 10;
  WCHAR* title = reinterpret_cast<WCHAR*>(t.data() + sizeof(DLGTEMPLATE) / sizeof(WORD) + 2);
  if (!caption.empty())
    MultiByteToWideChar(CP_ACP, 0, caption.c_str(), static_cast<int>(caption.size()), title,
                        static_cast<int>(caption.size()));
  return CreateDialogIndirectParamA(inst, d, owner, proc, param);
}

}  // namespace nv::ui
