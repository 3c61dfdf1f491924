#pragma once
// Small COM helpers shared by the Win32 side of the seam.
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace nv::com {

// COM for the length of one call; a thread that has it already keeps it.
class Scope {
 public:
  Scope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~Scope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

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

// Text of the ANSI code page as UTF-16.
inline std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

}  // namespace nv::com
