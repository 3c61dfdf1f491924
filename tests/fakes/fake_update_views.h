#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "update/update_views.h"

namespace nv::test {

// What one update window shows; it outlives the window, so tests can look
// at a window that has closed.
struct FakeFormState {
  std::map<UpdateLabel, std::string> labels;
  std::vector<int> pointers;  // every pointer set, in order
  int shows = 0;          // shown active, as the user asked for it
  int inactiveShows = 0;  // shown or brought forward without the keyboard
  WindowHandle window = 0;
  bool closed = false;
  int Pointer() const { return pointers.empty() ? 0 : pointers.back(); }
};

class FakeFormView : public UpdateFormView {
 public:
  explicit FakeFormView(std::shared_ptr<FakeFormState> s) : s_(std::move(s)) {}
  void SetLabel(UpdateLabel label, const std::string& text) override { s_->labels[label] = text; }
  void SetMousePointer(int pointer) override { s_->pointers.push_back(pointer); }
  void Show() override { ++s_->shows; }
  void ShowInactive() override { ++s_->inactiveShows; }
  WindowHandle BoxOwner() override { return s_->window; }
  void Close() override { s_->closed = true; }

 private:
  std::shared_ptr<FakeFormState> s_;
};

class FakeCheckerView : public CheckerView {
 public:
  explicit FakeCheckerView(std::shared_ptr<FakeFormState> s) : s_(std::move(s)) {}
  void Hide() override {}
  void Close() override { s_->closed = true; }

 private:
  std::shared_ptr<FakeFormState> s_;
};

// Records every window made, newest last.
class FakeUpdateViews : public UpdateViews {
 public:
  std::unique_ptr<CheckerView> MakeChecker(Form5&) override {
    return std::make_unique<FakeCheckerView>(Add(checkers));
  }
  std::unique_ptr<UpdateFormView> MakePrompt(frmauto&) override {
    return std::make_unique<FakeFormView>(Add(prompts));
  }
  std::unique_ptr<UpdateFormView> MakeManual(xpUpdate&) override {
    return std::make_unique<FakeFormView>(Add(manuals));
  }
  std::vector<std::shared_ptr<FakeFormState>> checkers, prompts, manuals;

 private:
  static std::shared_ptr<FakeFormState> Add(std::vector<std::shared_ptr<FakeFormState>>& list) {
    static WindowHandle next = 0x1000;
    list.push_back(std::make_shared<FakeFormState>());
    list.back()->window = ++next;
    return list.back();
  }
};

}  // namespace nv::test
