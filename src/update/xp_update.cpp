#include "update/xp_update.h"

#include "platform/dialogs.h"
#include "platform/platform.h"
#include "update/live_update.h"
#include "update/update_server.h"
#include "update/version_compare.h"

namespace nv {
namespace {
constexpr char kNoNewer[] = "No newer version was released";
constexpr char kNotAVersion[] = "The update server answered, but its answer is not a version number.";
}  // namespace

xpUpdate::xpUpdate(LiveUpdate& live) : live_(live), inet1_(live.platform.http, live.platform.timers) {}

xpUpdate::~xpUpdate() = default;

void xpUpdate::Form_Load() {
  view_ = live_.views.MakeManual(*this);
  loaded_ = true;
  view_->SetLabel(UpdateLabel::Label7, LocalVersionString());
}

void xpUpdate::Show() {
  if (loaded_) view_->Show();
}

// One check at a time: a click while one runs (or while its question is
// open) is ignored.
void xpUpdate::command1_Click() {
  if (!loaded_ || checking_) return;
  checking_ = true;
  view_->SetMousePointer(11);
  inet1_.Start(live_.Url(kVersionPath), [this](const HttpAnswer& a) { OnVersion(a); });
}

// A version line, an empty answer (shown as it is: nothing) or a failure;
// text that is not a version counts as a failure, the labels stay as they were.
void xpUpdate::OnVersion(const HttpAnswer& answer) {
  if (!answer.ok) return Fail(answer);
  const VersionCheck check = TestVersion(answer.body);
  if (check.answer == VersionAnswer::kGarbage) {
    Finish();
    live_.Box(*view_, kNotAVersion, kBoxOk);
    return;
  }
  view_->SetLabel(UpdateLabel::Label8, check.text);
  if (check.answer == VersionAnswer::kEmpty) return Finish();
  if (check.answer == VersionAnswer::kNewer) {
    inet1_.Start(live_.Url(kNewsPath), [this, v = check.text](const HttpAnswer& a) { OnNews(v, a); });
    return;
  }
  view_->SetLabel(UpdateLabel::Label6, kNoNewer);
  view_->SetLabel(UpdateLabel::Label8, check.text);
  Finish();
}

// The release notes are the question; empty notes still get one.
void xpUpdate::OnNews(const std::string& version, const HttpAnswer& answer) {
  if (!answer.ok) return Fail(answer);
  const bool blank = answer.body.find_first_not_of(" \t\r\n") == std::string::npos;
  const std::string question =
      blank ? "Norvane! " + version + " was released. Would you like to download it now?" : answer.body;
  if (live_.Box(*view_, question, kBoxYesNo) == kAnswerYes) {
    live_.OpenInstaller();
    live_.LeaveProgram();
  }
  Finish();
}

void xpUpdate::Finish() {
  checking_ = false;
  if (loaded_) view_->SetMousePointer(0);
}

void xpUpdate::Fail(const HttpAnswer& answer) {
  Finish();
  live_.ReportFailure(*view_, answer);
}

void xpUpdate::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  checking_ = false;
  inet1_.Cancel();
  view_->Close();
}

}  // namespace nv
