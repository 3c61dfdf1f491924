#pragma once
#include <windows.h>

namespace nv {

// A hidden message-only window of the calling thread, of a class registered
// here (once) with proc; its user data points at owner. Null on failure.
HWND CreateMessageWindow(const char* className, WNDPROC proc, void* owner);

}  // namespace nv
