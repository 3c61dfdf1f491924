// The button's stored settings: defaults for a new instance, reading in the
// load order, writing only what differs from its default.
#include <type_traits>

#include "ui/xpbs.h"

namespace nv {
namespace {

// A stored value of another type than the setting's counts as missing.
template <class T>
T Get(PropertyBag& bag, const char* name, const T& fallback) {
  std::optional<PropValue> v = bag.Read(name);
  if (!v) return fallback;
  if constexpr (std::is_same_v<T, bool>) {
    if (auto* b = std::get_if<bool>(&*v)) return *b;
    if (auto* n = std::get_if<std::int64_t>(&*v)) return *n != 0;
  } else if constexpr (std::is_integral_v<T>) {
    if (auto* n = std::get_if<std::int64_t>(&*v)) return static_cast<T>(*n);
    if (auto* b = std::get_if<bool>(&*v)) return static_cast<T>(*b ? -1 : 0);
  } else {
    if (auto* x = std::get_if<T>(&*v)) return *x;
  }
  return fallback;
}

template <class T>
void Put(PropertyBag& bag, const char* name, const T& value, const T& fallback) {
  if (value == fallback) return;
  if constexpr (std::is_same_v<T, bool> || !std::is_integral_v<T>) {
    bag.Write(name, value);
  } else {
    bag.Write(name, static_cast<std::int64_t>(value));
  }
}

}  // namespace

void XpBs::InitProperties() {
  p_ = XpProps();  // not XpProps{}: GCC 12 then warns of an uninitialised font name
  p_.Caption = host_.DisplayName();
  p_.Font = host_.AmbientFont();
  displayed_ = nullptr;
  flags_ = XpFlags{};
  UpdateAccessKey();
  UpdatePointer();
  host_.SetWindowEnabled(true);
  Resize(host_.BackBuffer().Width(), host_.BackBuffer().Height());
}

void XpBs::ReadProperties(PropertyBag& bag) {
  const XpProps d;
  p_.BackColor = Get(bag, "BackColor", d.BackColor);
  p_.ForeColor = Get(bag, "ForeColor", d.ForeColor);
  p_.ShowFocusRect = Get(bag, "ShowFocusRect", d.ShowFocusRect);
  p_.Caption = Get(bag, "Caption", host_.DisplayName());
  p_.PicturePosition = Get(bag, "PicturePosition", d.PicturePosition);
  p_.ButtonStyle = Get(bag, "ButtonStyle", d.ButtonStyle);
  displayed_ = Get(bag, "Picture", Picture());
  p_.PictureWidth = Get(bag, "PictureWidth", d.PictureWidth);
  p_.PictureHeight = Get(bag, "PictureHeight", d.PictureHeight);
  p_.PictureSize = Get(bag, "PictureSize", d.PictureSize);
  p_.OriginalPicSizeW = Get(bag, "OriginalPicSizeW", d.OriginalPicSizeW);
  p_.OriginalPicSizeH = Get(bag, "OriginalPicSizeH", d.OriginalPicSizeH);
  p_.Font = Get(bag, "Font", host_.AmbientFont());
  p_.PictureHover = Get(bag, "PictureHover", Picture());
  p_.PictureNormal = Get(bag, "Picture", Picture());
  p_.MouseIcon = Get(bag, "MouseIcon", Picture());
  p_.Enabled = Get(bag, "Enabled", d.Enabled);
  p_.MousePointer = Get(bag, "MousePointer", d.MousePointer);
  p_.URL = Get(bag, "URL", d.URL);
  p_.XPColor_Pressed = Get(bag, "XPColor_Pressed", d.XPColor_Pressed);
  p_.XPColor_Hover = Get(bag, "XPColor_Hover", d.XPColor_Hover);
  p_.XPDefaultColors = Get(bag, "XPDefaultColors", d.XPDefaultColors);
  p_.SoundOver = Get(bag, "SoundOver", d.SoundOver);
  p_.SoundClick = Get(bag, "SoundClick", d.SoundClick);
  p_.DefCurHand = Get(bag, "DefCurHand", d.DefCurHand);
  p_.XPShowBorderAlways = Get(bag, "XPShowBorderAlways", d.XPShowBorderAlways);
  p_.MaskColor = Get(bag, "MaskColor", d.MaskColor);
  p_.TransparentBG = Get(bag, "TransparentBG", d.TransparentBG);
  p_.BEVEL = Get(bag, "BEVEL", d.BEVEL);
  p_.BEVELDEPTH = Get(bag, "BEVELDEPTH", d.BEVELDEPTH);
  host_.SetWindowEnabled(p_.Enabled);
  UpdatePointer();
  UpdateAccessKey();
  Resize(host_.BackBuffer().Width(), host_.BackBuffer().Height());
}

void XpBs::WriteProperties(PropertyBag& bag) const {
  const XpProps d;
  Put(bag, "Caption", p_.Caption, host_.DisplayName());
  Put(bag, "PicturePosition", p_.PicturePosition, d.PicturePosition);
  Put(bag, "ButtonStyle", p_.ButtonStyle, d.ButtonStyle);
  Put(bag, "Picture", p_.PictureNormal, Picture());
  Put(bag, "PictureWidth", p_.PictureWidth, d.PictureWidth);
  Put(bag, "PictureHeight", p_.PictureHeight, d.PictureHeight);
  Put(bag, "PictureSize", p_.PictureSize, d.PictureSize);
  Put(bag, "OriginalPicSizeW", p_.OriginalPicSizeW, d.OriginalPicSizeW);
  Put(bag, "OriginalPicSizeH", p_.OriginalPicSizeH, d.OriginalPicSizeH);
  Put(bag, "PictureHover", p_.PictureHover, Picture());
  Put(bag, "Enabled", p_.Enabled, d.Enabled);
  Put(bag, "Font", p_.Font, host_.AmbientFont());
  Put(bag, "MouseIcon", p_.MouseIcon, Picture());
  Put(bag, "MousePointer", p_.MousePointer, d.MousePointer);
  Put(bag, "ShowFocusRect", p_.ShowFocusRect, d.ShowFocusRect);
  Put(bag, "URL", p_.URL, d.URL);
  Put(bag, "XPColor_Pressed", p_.XPColor_Pressed, d.XPColor_Pressed);
  Put(bag, "XPColor_Hover", p_.XPColor_Hover, d.XPColor_Hover);
  Put(bag, "XPDefaultColors", p_.XPDefaultColors, d.XPDefaultColors);
  Put(bag, "BackColor", p_.BackColor, d.BackColor);
  Put(bag, "ForeColor", p_.ForeColor, d.ForeColor);
  Put(bag, "SoundOver", p_.SoundOver, d.SoundOver);
  Put(bag, "SoundClick", p_.SoundClick, d.SoundClick);
  Put(bag, "DefCurHand", p_.DefCurHand, d.DefCurHand);
  Put(bag, "XPShowBorderAlways", p_.XPShowBorderAlways, d.XPShowBorderAlways);
  Put(bag, "MaskColor", p_.MaskColor, d.MaskColor);
  Put(bag, "TransparentBG", p_.TransparentBG, d.TransparentBG);
  Put(bag, "BEVEL", p_.BEVEL, d.BEVEL);
  Put(bag, "BEVELDEPTH", p_.BEVELDEPTH, d.BEVELDEPTH);
}

}  // namespace nv
