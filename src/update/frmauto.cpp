#include "update/frmauto.h"

#include "platform/dialogs.h"
#include "platform/platform.h"
#include "update/live_update.h"
#include "update/update_server.h"
#include "update/version_compare.h"

namespace nv {
namespace {
constexpr char kNoNotes[] = "No release notes were published for this version.";
}  // namespace

frmauto::frmauto(LiveUpdate& live) : live_(live), inet1_(live.platform.http, live.platform.timers) {}

frmauto::~frmauto() = default;

void frmauto::Form_Load() {
  view_ = live_.views.MakePrompt(*this);
  loaded_ = true;
  view_->SetLabel(UpdateLabel::Label4, LocalVersionString());
}

void frmauto::SetUpdateVersion(const std::string& text) {
  if (loaded_) view_->SetLabel(UpdateLabel::Label5, text);
}

void frmauto::Show() {
  if (loaded_) view_->ShowInactive();
}

void frmauto::XpBs1_Click() {
  live_.OpenInstaller();
  Unload();
  live_.LeaveProgram();
}

void frmauto::XpBs2_Click() {
  live_.StopChecker();
  Unload();
}

// A second click while the notes are on their way asks nothing new.
void frmauto::XpBs3_Click() {
  if (inet1_.Busy()) return;
  view_->SetMousePointer(11);
  inet1_.Start(live_.Url(kNewsPath), [this](const HttpAnswer& a) { OnNews(a); });
}

void frmauto::OnNews(const HttpAnswer& answer) {
  view_->SetMousePointer(0);
  if (!answer.ok) {
    live_.ReportFailure(*view_, answer);
    return;
  }
  const bool blank = answer.body.find_first_not_of(" \t\r\n") == std::string::npos;
  live_.Box(*view_, blank ? kNoNotes : answer.body, kBoxOk);
}

void frmauto::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  inet1_.Cancel();
  view_->Close();
}

}  // namespace nv
