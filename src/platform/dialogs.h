#pragma once
#include <string>

#include "platform/desktop.h"

namespace nv {

// Message box styles and answers, numbered as the platform numbers them.
enum BoxStyle : unsigned { kBoxOk = 0x0, kBoxCritical = 0x10, kBoxExclamation = 0x30, kBoxInformation = 0x40 };
// Yes and No buttons; task-modal: every window of the program waits for the answer.
inline constexpr unsigned kBoxYesNo = 0x4, kBoxTaskModal = 0x2000;
enum BoxAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// Modal message boxes. A box with an owner window is modal to it and stays
// in front of it (the owner takes no input until the answer); task-modal adds
// every other window of the program. A box without an owner belongs to the
// program's window that is active, if any.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual int Show(const std::string& text, const std::string& title, unsigned style, WindowHandle owner) = 0;
  int Show(const std::string& text, const std::string& title, unsigned style) { return Show(text, title, style, 0); }
};

}  // namespace nv
