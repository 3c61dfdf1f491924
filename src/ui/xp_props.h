#pragma once
#include <cstdint>
#include <string>

#include "platform/draw_surface.h"

namespace nv {

// A colour in the container's encoding: below 0x1000000 an RGB value,
// otherwise a system colour index in the low 24 bits.
using OleColor = std::uint32_t;

namespace syscolor {
constexpr int kHighlight = 13;
constexpr int kButtonFace = 15;
constexpr int kButtonShadow = 16;
constexpr int kButtonText = 18;
constexpr int k3dHighlight = 20;
constexpr int k3dDarkShadow = 21;
constexpr int k3dLight = 22;
}  // namespace syscolor

enum ButtonStyleValue : std::int32_t {
  kStyleRaised = 0,
  kStyleFlatRaise = 1,
  kStyleFlat = 2,
  kStyleRounded = 3,
  kStyleBare = 4,
};
enum PicturePositionValue : std::int32_t {
  kPictureAbove = 0,
  kPictureLeft = 1,
  kPictureRight = 2,
  kPictureBelow = 3,
};

// Every public property of the button with its default value.
struct XpProps {
  bool Enabled = true;
  FontSpec Font;
  std::int16_t MousePointer = 0;
  Picture MouseIcon;
  bool ShowFocusRect = true;
  std::string URL;
  std::string Caption;
  std::int32_t ButtonStyle = kStyleFlat;
  std::int32_t PicturePosition = kPictureLeft;
  Picture PictureNormal;  // `Picture`
  std::int32_t PictureWidth = 32;
  std::int32_t PictureHeight = 32;
  std::int32_t PictureSize = 1;
  Picture PictureHover;
  OleColor XPColor_Pressed = 0x80000014;
  OleColor XPColor_Hover = 0x80000016;
  bool XPDefaultColors = true;
  OleColor BackColor = 0x8000000F;
  OleColor ForeColor = 0x80000012;
  // Kept and saved only: a sound at every pass of the pointer would be a nuisance.
  std::string SoundOver = ".\\resources\\over.wav";
  std::string SoundClick = ".\\resources\\click.wav";
  bool DefCurHand = false;
  bool XPShowBorderAlways = false;
  OleColor MaskColor = 0;
  bool TransparentBG = false;
  std::int16_t BEVEL = 1;
  std::int16_t BEVELDEPTH = 8;
  // The natural size of `Picture`, stored as "OriginalPicSizeW" / "OriginalPicSizeH".
  std::int32_t OriginalPicSizeW = 32;
  std::int32_t OriginalPicSizeH = 32;

  // Styles and positions without a look of their own draw as the defaults.
  std::int32_t DrawnStyle() const { return ButtonStyle >= 0 && ButtonStyle <= 4 ? ButtonStyle : kStyleFlat; }
  std::int32_t DrawnPosition() const {
    return PicturePosition >= 0 && PicturePosition <= 3 ? PicturePosition : kPictureLeft;
  }
};

// The per-instance flags that decide the look.
struct XpFlags {
  bool focused = false;
  bool pressed = false;
  bool hovered = false;
};

}  // namespace nv
