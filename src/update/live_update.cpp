#include "update/live_update.h"

#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "store/vendor.h"
#include "update/form5.h"
#include "update/frmauto.h"
#include "update/update_server.h"
#include "update/xp_update.h"

namespace nv {
namespace {

constexpr char kUnreachable[] = "The update server could not be reached.";

class NoFormView : public UpdateFormView {
 public:
  void SetLabel(UpdateLabel, const std::string&) override {}
  void SetMousePointer(int) override {}
  void Show() override {}
  void Close() override {}
};
class NoCheckerView : public CheckerView {
 public:
  void Hide() override {}
  void Close() override {}
};
class NoViews : public UpdateViews {
 public:
  std::unique_ptr<CheckerView> MakeChecker(Form5&) override { return std::make_unique<NoCheckerView>(); }
  std::unique_ptr<UpdateFormView> MakePrompt(frmauto&) override { return std::make_unique<NoFormView>(); }
  std::unique_ptr<UpdateFormView> MakeManual(xpUpdate&) override { return std::make_unique<NoFormView>(); }
};

UpdateViews& ViewsOr(UpdateViews* views, std::unique_ptr<UpdateViews>& fallback) {
  if (views) return *views;
  fallback = std::make_unique<NoViews>();
  return *fallback;
}

}  // namespace

LiveUpdate::LiveUpdate(Platform& p, Settings& settings, UpdateViews* v, std::function<void()> unloadMain)
    : platform(p), views(ViewsOr(v, noViews_)), settings_(settings), unloadMain_(std::move(unloadMain)) {}

LiveUpdate::~LiveUpdate() = default;

// Without timers or a fetcher (parts of the program tested on their own)
// there is nothing the checker could do.
void LiveUpdate::LoadChecker() {
  if (!platform.timers || !platform.http || checker()) return;
  checker_ = std::make_unique<Form5>(*this);
  checker_->Form_Load();
}

void LiveUpdate::ShowManualWindow() {
  if (!manual()) {
    manual_ = std::make_unique<xpUpdate>(*this);
    manual_->Form_Load();
  }
  manual_->Show();
}

Form5* LiveUpdate::checker() const { return checker_ && checker_->Loaded() ? checker_.get() : nullptr; }
frmauto* LiveUpdate::prompt() const { return prompt_ && prompt_->Loaded() ? prompt_.get() : nullptr; }
xpUpdate* LiveUpdate::manual() const { return manual_ && manual_->Loaded() ? manual_.get() : nullptr; }

frmauto& LiveUpdate::LoadPrompt() {
  if (!prompt()) {
    prompt_ = std::make_unique<frmauto>(*this);
    prompt_->Form_Load();
  }
  return *prompt_;
}

void LiveUpdate::StopChecker() {
  if (Form5* c = checker()) {
    c->StopTimer1();
    c->Unload();
  }
}

std::string LiveUpdate::Url(const char* path) const { return UpdateUrl(settings_, path); }

void LiveUpdate::OpenInstaller() {
  if (platform.shell) platform.shell->Execute("", Url(kInstallerPath), "", "", 1);
}

void LiveUpdate::LeaveProgram() {
  if (unloadMain_) unloadMain_();
}

int LiveUpdate::Box(const std::string& text, unsigned buttons) {
  return platform.dialogs->Show(text, kProductTitle, buttons | kBoxTaskModal);
}

void LiveUpdate::ReportUnreachable(const std::string& reason) {
  Box(reason.empty() ? kUnreachable : std::string(kUnreachable) + "\r\n\r\n" + reason, kBoxOk);
}

}  // namespace nv
