#pragma once
#include <windows.h>

#include <string>

namespace nv {

class Files;

// frmHelp: the help text in a rich-text box, the site line and "Close".
// Created on first use; asking again brings the same window forward.
class HelpWindow {
 public:
  static void Show(HINSTANCE inst, Files& files, const std::string& helpPath);

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
  static HWND window_;
};

}  // namespace nv
