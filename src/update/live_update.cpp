#include "update/live_update.h"

#include "ui/open_for_user.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "store/settings.h"
#include "store/store.h"
#include "store/vendor.h"
#include "update/form5.h"
#include "update/frmauto.h"
#include "update/update_server.h"
#include "update/xp_update.h"

namespace nv {
namespace {

constexpr char kUnreachable[] = "The update server could not be reached.";
constexpr char kUnusable[] = "The update server answered, but not with the file that was asked for.";
constexpr int kInvalidPropertyValue = 380;

class NoFormView : public UpdateFormView {
 public:
  void SetLabel(UpdateLabel, const std::string&) override {}
  void SetMousePointer(int) override {}
  void Show() override {}
  void ShowInactive() override {}
  WindowHandle BoxOwner() override { return 0; }
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

LiveUpdate::LiveUpdate(Platform& p, Store& store, Settings& settings, UpdateViews* v,
                       std::function<void()> unloadMain)
    : platform(p),
      views(ViewsOr(v, noViews_)),
      store_(store),
      settings_(settings),
      unloadMain_(std::move(unloadMain)) {}

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

std::string LiveUpdate::Url(const char* path) {
  const UpdateServer server =
      ChooseUpdateServer(settings_.Get(keys::kSettings, kUpdateServerKey, kDefaultUpdateServer));
  if (!server.refused.empty() && server.refused != refusedServer_) {
    store_.LogError(AppError(kInvalidPropertyValue, "Settings\\" + std::string(kUpdateServerKey) + " is \"" +
                                                        server.refused + "\", which is neither https nor this computer; " +
                                                        server.address + " is asked instead"));
  }
  refusedServer_ = server.refused;
  return server.address + path;
}

void LiveUpdate::OpenInstaller() {
  if (platform.shell) OpenForUser(*platform.shell, platform.dialogs, "", Url(kInstallerPath), 1);
}

void LiveUpdate::LeaveProgram() {
  if (unloadMain_) unloadMain_();
}

int LiveUpdate::Box(UpdateFormView& owner, const std::string& text, unsigned buttons) {
  return platform.dialogs->Show(text, kProductTitle, buttons | kBoxTaskModal, owner.BoxOwner());
}

// A status other than 200 or an answer too large came from the server:
// it was reached, so it must not be said that it was not.
void LiveUpdate::ReportFailure(UpdateFormView& owner, const HttpAnswer& answer) {
  const std::string what = answer.status != 0 ? kUnusable : kUnreachable;
  Box(owner, answer.failure.empty() ? what : what + "\r\n\r\n" + answer.failure, kBoxOk);
}

}  // namespace nv
