#pragma once
#include <string>

namespace nv {

// Message box styles and answers, numbered as the platform numbers them.
enum BoxStyle : unsigned { kBoxOk = 0x0, kBoxCritical = 0x10, kBoxExclamation = 0x30, kBoxInformation = 0x40 };
// Yes and No buttons; task-modal: every window of the program waits for the answer.
inline constexpr unsigned kBoxYesNo = 0x4, kBoxTaskModal = 0x2000;
enum BoxAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// Modal message boxes.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual int Show(const std::string& text, const std::string& title, unsigned style) = 0;
};

}  // namespace nv
