// xp_gallery: places XP-style buttons of every style in every state, then
// compares what GDI drew with the raster rendering and prints the share of
// equal pixels outside text. Exit status 0 only at 100 %.
//   xp_gallery [--shot file.bmp] [--stay]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gallery_compare.h"
#include "gallery_scenes.h"
#include "ui/xpbs.h"
#include "ui/xpbs_win32.h"

using namespace nv;

namespace {

constexpr int kLabelWidth = 130, kCellW = 118, kCellH = 48, kButtonW = 110, kButtonH = 42, kTop = 24;
constexpr SceneState kStates[] = {SceneState::kNormal, SceneState::kHot, SceneState::kPressed, SceneState::kFocused,
                                  SceneState::kDisabled};

LRESULT CALLBACK FrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(w, msg, wp, lp);
}

HWND Label(HWND parent, HFONT font, const std::string& text, int x, int y, int w) {
  HWND s = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, x, y, w, 16, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return s;
}

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

HWND CreateFrame(HINSTANCE inst, int rows) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = inst;
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = "XpGalleryFrame";
  RegisterClassA(&wc);
  const int width = kLabelWidth + 5 * kCellW + 8, height = kTop + rows * kCellH + 8;
  return CreateWindowExA(0, wc.lpszClassName, "XP-style buttons", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                         width, height, nullptr, nullptr, inst, nullptr);
}

// One button per row and state, set up for its row; the states come last.
std::vector<HWND> PlaceButtons(HWND frame, HFONT font, const std::vector<GalleryRow>& rows) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  for (int c = 0; c < 5; ++c) Label(frame, font, StateName(kStates[c]), kLabelWidth + c * kCellW + 4, 4, kButtonW);
  std::vector<HWND> buttons;
  for (size_t r = 0; r < rows.size(); ++r) {
    const int y = kTop + static_cast<int>(r) * kCellH;
    Label(frame, font, rows[r].label, 6, y + 14, kLabelWidth - 8);
    for (int c = 0; c < 5; ++c) {
      HWND b = CreateWindowExA(0, kXpBsClassName, "XpBs", WS_CHILD | WS_VISIBLE, kLabelWidth + c * kCellW, y,
                               kButtonW, kButtonH, frame,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + r * 5 + c)), inst, nullptr);
      SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      ApplyRow(*XpBsOf(b), rows[r], c);
      buttons.push_back(b);
    }
  }
  Pump();
  // The pointer is not really over these buttons: stop the hover timers.
  for (size_t i = 0; i < buttons.size(); ++i) {
    EnterState(*XpBsOf(buttons[i]), kStates[i % 5]);
    KillTimer(buttons[i], kXpBsOverTimer);
  }
  GdiFlush();
  return buttons;
}

Agreement CompareAll(const std::vector<HWND>& buttons, const std::vector<GalleryRow>& rows) {
  Agreement total;
  for (size_t i = 0; i < buttons.size(); ++i) {
    std::string diff;
    Agreement a = CompareWithRaster(buttons[i], &diff);
    total.equal += a.equal;
    total.compared += a.compared;
    if (a.equal != a.compared) {
      std::printf("differs: %s, %s: %lld of %lld pixels, first at %s\n", rows[i / 5].label.c_str(),
                  StateName(kStates[i % 5]), a.compared - a.equal, a.compared, diff.c_str());
    }
  }
  const double share = total.compared ? 100.0 * static_cast<double>(total.equal) / static_cast<double>(total.compared) : 0;
  std::printf("gallery: %zu buttons, %lld of %lld pixels equal outside text (%.3f%%)\n", buttons.size(), total.equal,
              total.compared, share);
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  std::string shot;
  bool stay = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--shot") && i + 1 < argc) shot = argv[++i];
    if (!std::strcmp(argv[i], "--stay")) stay = true;
  }
  HINSTANCE inst = GetModuleHandleA(nullptr);
  RegisterXpBsClass(inst);
  // Keep the real pointer off the gallery, so that only the hot column hovers.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  const std::vector<GalleryRow> rows = GalleryRows();
  HWND frame = CreateFrame(inst, static_cast<int>(rows.size()));
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  const std::vector<HWND> buttons = PlaceButtons(frame, font, rows);
  const Agreement total = CompareAll(buttons, rows);
  if (!shot.empty() && !SaveWindowBitmap(frame, shot)) std::printf("could not save %s\n", shot.c_str());
  std::fflush(stdout);
  if (stay) {
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  }
  DestroyWindow(frame);
  DeleteObject(font);
  return total.compared > 0 && total.equal == total.compared ? 0 : 1;
}
