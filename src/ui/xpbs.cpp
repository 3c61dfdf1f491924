#include "ui/xpbs.h"

#include "ui/access_key.h"
#include "ui/xp_paint.h"

namespace nv {

XpBs::XpBs(XpHost& host, Sound& sound, XpBsEvents& events) : host_(host), sound_(sound), events_(events) {}

// The window owns its region once set, and deletes it with itself.
XpBs::~XpBs() = default;

std::string XpBs::version() const { return "1.0"; }

void XpBs::Changed(const char* storedName) { host_.PropertyChanged(storedName); }

void XpBs::SetEnabled(bool v) {
  p_.Enabled = v;
  host_.SetWindowEnabled(v);
  Changed("Enabled");
  Refresh();
}

void XpBs::SetFont(const FontSpec& v) {
  p_.Font = v;
  Changed("Font");
  Refresh();
}

void XpBs::SetMousePointer(std::int16_t v) {
  p_.MousePointer = v;
  Changed("MousePointer");
  UpdatePointer();
}

void XpBs::SetMouseIcon(Picture v) {
  p_.MouseIcon = std::move(v);
  Changed("MouseIcon");
  UpdatePointer();
}

void XpBs::SetShowFocusRect(bool v) {
  p_.ShowFocusRect = v;
  Changed("ShowFocusRect");
  Refresh();
}

void XpBs::SetURL(const std::string& v) {
  p_.URL = v;
  Changed("URL");
}

void XpBs::SetCaption(const std::string& v) {
  p_.Caption = v;
  Changed("Caption");
  UpdateAccessKey();
  Refresh();
}

void XpBs::SetButtonStyle(std::int32_t v) {
  p_.ButtonStyle = v;
  if (v == kStyleRounded && p_.TransparentBG) {
    p_.TransparentBG = false;
    Changed("TransparentBG");
  }
  Changed("ButtonStyle");
  Resize(host_.BackBuffer().Width(), host_.BackBuffer().Height());
}

void XpBs::SetPicturePosition(std::int32_t v) {
  p_.PicturePosition = v;
  Changed("PicturePosition");
  Refresh();
}

void XpBs::SetPicture(Picture v) {
  p_.PictureNormal = v;
  displayed_ = v;
  p_.OriginalPicSizeW = v ? v->width : 32;
  p_.OriginalPicSizeH = v ? v->height : 32;
  if (p_.PictureSize == 2) ApplyPictureSize();
  Changed("Picture");
  Refresh();
}

void XpBs::SetPictureWidth(std::int32_t v) {
  p_.PictureWidth = v;
  Changed("PictureWidth");
  Refresh();
}

void XpBs::SetPictureHeight(std::int32_t v) {
  p_.PictureHeight = v;
  Changed("PictureHeight");
  Refresh();
}

void XpBs::ApplyPictureSize() {
  switch (p_.PictureSize) {
    case 0: p_.PictureWidth = p_.PictureHeight = 16; break;
    case 1: p_.PictureWidth = p_.PictureHeight = 32; break;
    case 2:
      p_.PictureWidth = p_.OriginalPicSizeW;
      p_.PictureHeight = p_.OriginalPicSizeH;
      break;
    default: break;  // other values leave the drawn size alone
  }
}

void XpBs::SetPictureSize(std::int32_t v) {
  p_.PictureSize = v;
  ApplyPictureSize();
  Changed("PictureSize");
  Refresh();
}

void XpBs::SetPictureHover(Picture v) {
  p_.PictureHover = std::move(v);
  Changed("PictureHover");
}

void XpBs::SetXPColor_Pressed(OleColor v) {
  p_.XPColor_Pressed = v;
  Changed("XPColor_Pressed");
}

void XpBs::SetXPColor_Hover(OleColor v) {
  p_.XPColor_Hover = v;
  Changed("XPColor_Hover");
}

void XpBs::SetXPDefaultColors(bool v) {
  p_.XPDefaultColors = v;
  Changed("XPDefaultColors");
}

void XpBs::SetBackColor(OleColor v) {
  p_.BackColor = v;
  Changed("BackColor");
  Refresh();
}

void XpBs::SetForeColor(OleColor v) {
  p_.ForeColor = v;
  Changed("ForeColor");
  Refresh();
}

void XpBs::SetSoundOver(const std::string& v) {
  p_.SoundOver = v;
  Changed("SoundOver");
}

void XpBs::SetSoundClick(const std::string& v) {
  p_.SoundClick = v;
  Changed("SoundClick");
}

void XpBs::SetDefCurHand(bool v) {
  p_.DefCurHand = v;
  Changed("DefCurHand");
  UpdatePointer();
}

void XpBs::SetXPShowBorderAlways(bool v) {
  p_.XPShowBorderAlways = v;
  Changed("XPShowBorderAlways");
}

void XpBs::SetMaskColor(OleColor v) {
  p_.MaskColor = v;
  Changed("MaskColor");
  Refresh();
}

void XpBs::SetTransparentBG(bool v) {
  p_.TransparentBG = v;
  Changed("TransparentBG");
  Refresh();
}

void XpBs::SetBEVEL(std::int16_t v) {
  p_.BEVEL = v;
  Changed("BEVEL");
  Refresh();
}

void XpBs::SetBEVELDEPTH(std::int16_t v) {
  p_.BEVELDEPTH = v;
  Changed("BEVELDEPTH");
  Refresh();
}

void XpBs::UpdateAccessKey() {
  accessKey_ = AccessKeyOf(p_.Caption);
  host_.DeclareAccessKey(accessKey_, MnemonicText(p_.Caption));
}

// `DefCurHand` shows the hand over the button unless a pointer was chosen.
void XpBs::UpdatePointer() { host_.SetPointer(p_.MousePointer, p_.MouseIcon, p_.DefCurHand); }

}  // namespace nv
