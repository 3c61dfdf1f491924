#include "ui/list_find_win32.h"

#include <string>

#include "store/list_find.h"

namespace nv::ui {

namespace {
std::string Narrow(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return "";
  std::string text(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), n, nullptr, nullptr);
  text.resize(static_cast<std::size_t>(n - 1));
  return text;
}
}  // namespace

bool AnswerFindItem(const NMHDR& n, const ListBox& list, LRESULT& row) {
  std::string typed;
  UINT flags = 0;
  int start = 0;
  if (n.code == LVN_ODFINDITEMA) {
    const auto& f = reinterpret_cast<const NMLVFINDITEMA&>(n);
    flags = f.lvfi.flags;
    start = f.iStart;
    if ((flags & (LVFI_STRING | LVFI_PARTIAL)) && f.lvfi.psz) typed = f.lvfi.psz;
  } else if (n.code == LVN_ODFINDITEMW) {
    const auto& f = reinterpret_cast<const NMLVFINDITEMW&>(n);
    flags = f.lvfi.flags;
    start = f.iStart;
    if ((flags & (LVFI_STRING | LVFI_PARTIAL)) && f.lvfi.psz) typed = Narrow(f.lvfi.psz);
  } else {
    return false;
  }
  row = FindRow(
      list.Count(), [&](int i) -> const std::string& { return list[i]; }, typed, start,
      (flags & LVFI_PARTIAL) != 0, (flags & LVFI_WRAP) != 0);
  return true;
}

}  // namespace nv::ui
