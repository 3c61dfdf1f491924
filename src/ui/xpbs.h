#pragma once
#include <cstdint>
#include <string>

#include "platform/sound.h"
#include "ui/property_bag.h"
#include "ui/xp_host.h"
#include "ui/xp_layout.h"
#include "ui/xp_props.h"
#include "ui/xpbs_events.h"

namespace nv {

// The XP-style push button: its properties, stored settings, state machine
// and events. Painting is in xp_paint; the window is in xpbs_win32.
class XpBs {
 public:
  XpBs(XpHost& host, Sound& sound, XpBsEvents& events);
  ~XpBs();
  XpBs(const XpBs&) = delete;
  XpBs& operator=(const XpBs&) = delete;

  // Life cycle: a new instance gets the defaults; a loaded one reads its
  // settings. Both end with the access key and the resize step.
  void InitProperties();
  void ReadProperties(PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // Properties.
  const XpProps& Props() const { return p_; }
  bool Enabled() const { return p_.Enabled; }
  void SetEnabled(bool v);
  const FontSpec& Font() const { return p_.Font; }
  void SetFont(const FontSpec& v);
  std::int16_t MousePointer() const { return p_.MousePointer; }
  void SetMousePointer(std::int16_t v);
  const Picture& MouseIcon() const { return p_.MouseIcon; }
  void SetMouseIcon(Picture v);
  bool ShowFocusRect() const { return p_.ShowFocusRect; }
  void SetShowFocusRect(bool v);
  const std::string& URL() const { return p_.URL; }
  void SetURL(const std::string& v);
  const std::string& Caption() const { return p_.Caption; }
  void SetCaption(const std::string& v);
  std::int32_t ButtonStyle() const { return p_.ButtonStyle; }
  void SetButtonStyle(std::int32_t v);
  std::int32_t PicturePosition() const { return p_.PicturePosition; }
  void SetPicturePosition(std::int32_t v);
  const Picture& GetPicture() const { return p_.PictureNormal; }
  void SetPicture(Picture v);
  std::int32_t PictureWidth() const { return p_.PictureWidth; }
  void SetPictureWidth(std::int32_t v);
  std::int32_t PictureHeight() const { return p_.PictureHeight; }
  void SetPictureHeight(std::int32_t v);
  std::int32_t PictureSize() const { return p_.PictureSize; }
  void SetPictureSize(std::int32_t v);
  const Picture& PictureHover() const { return p_.PictureHover; }
  void SetPictureHover(Picture v);
  OleColor XPColor_Pressed() const { return p_.XPColor_Pressed; }
  void SetXPColor_Pressed(OleColor v);
  OleColor XPColor_Hover() const { return p_.XPColor_Hover; }
  void SetXPColor_Hover(OleColor v);
  bool XPDefaultColors() const { return p_.XPDefaultColors; }
  void SetXPDefaultColors(bool v);
  OleColor BackColor() const { return p_.BackColor; }
  void SetBackColor(OleColor v);
  OleColor ForeColor() const { return p_.ForeColor; }
  void SetForeColor(OleColor v);
  const std::string& SoundOver() const { return p_.SoundOver; }
  void SetSoundOver(const std::string& v);
  const std::string& SoundClick() const { return p_.SoundClick; }
  void SetSoundClick(const std::string& v);
  std::string version() const;
  bool DefCurHand() const { return p_.DefCurHand; }
  void SetDefCurHand(bool v);
  bool XPShowBorderAlways() const { return p_.XPShowBorderAlways; }
  void SetXPShowBorderAlways(bool v);
  OleColor MaskColor() const { return p_.MaskColor; }
  void SetMaskColor(OleColor v);
  bool TransparentBG() const { return p_.TransparentBG; }
  void SetTransparentBG(bool v);
  std::int16_t BEVEL() const { return p_.BEVEL; }
  void SetBEVEL(std::int16_t v);
  std::int16_t BEVELDEPTH() const { return p_.BEVELDEPTH; }
  void SetBEVELDEPTH(std::int16_t v);

  // Methods.
  void Refresh();
  void GoToURL();

  // Notifications from the window.
  void Resize(int w, int h);
  void MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
  void OverTimer();
  void MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
  void MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
  void DblClick();
  void KeyDown(std::int16_t keyCode, std::int16_t shift);
  void KeyPress(std::int16_t keyAscii);
  void KeyUp(std::int16_t keyCode, std::int16_t shift);
  void AccessKeyPress();
  void GotFocus();
  void LostFocus();
  void AmbientChanged() { Refresh(); }

  // State, for the window and for tests.
  const XpFlags& Flags() const { return flags_; }
  char AccessKey() const { return accessKey_; }
  const Picture& DisplayedPicture() const { return displayed_; }
  const XpLayout& Layout() const { return layout_; }
  int W() const { return w_; }
  int H() const { return h_; }

 private:
  void Changed(const char* storedName);
  void ApplyPictureSize();
  void UpdateAccessKey();
  void UpdatePointer();
  void ReleaseMouse(std::int16_t button, std::int16_t shift, float x, float y);
  void PlayClickSound();
  bool Inside(float x, float y) const { return x >= 0 && x < w_ && y >= 0 && y < h_; }

  XpHost& host_;
  Sound& sound_;
  XpBsEvents& events_;
  XpProps p_;
  XpFlags flags_;
  Picture displayed_;
  char accessKey_ = 0;
  bool spaceLatch_ = false;
  std::int16_t lastButton_ = 0, lastShift_ = 0;
  float lastX_ = 0, lastY_ = 0;
  int w_ = 0, h_ = 0;
  bool shaped_ = false;
  bool resizing_ = false;
  XpLayout layout_;
};

}  // namespace nv
