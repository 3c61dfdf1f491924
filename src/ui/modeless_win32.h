#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace nv::ui {

// Tab, access keys, Enter and Escape reach a modeless window's controls only
// when the message loop hands its messages to IsDialogMessage. A window
// registers itself, with an optional filter that sees its keys first.
using KeyFilter = std::function<bool(MSG& msg)>;
void RegisterModeless(HWND window, KeyFilter filter = nullptr);
void UnregisterModeless(HWND window);
// The message loop's first stop: true when a registered window took the message.
bool RouteModelessMessage(MSG& msg);

// A modeless window of the system dialog class without controls, created
// hidden; the caller places its controls and sizes it in pixels.
HWND CreateEmptyDialog(HINSTANCE inst, HWND owner, DWORD style, DWORD exStyle, const std::string& caption,
                       DLGPROC proc, LPARAM param);

}  // namespace nv::ui
