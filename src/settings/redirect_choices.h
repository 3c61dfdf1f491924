#pragma once
#include "adblock/redirect_address.h"

namespace nv {

// The "Ad&Blocking" tab's choices of where blocked names point, in the
// order the list shows them, and the texts that explain them.
inline constexpr const char* kRedirectChoices[] = {redirect::kLoopback, redirect::kNowhere};
inline constexpr int kRedirectChoiceCount = 2;

namespace redirect_text {
inline constexpr char kLabel[] = "Send ads &to";
inline constexpr char kTip[] =
    "Where the HOSTS file sends blocked ad servers.\r\n"
    "127.0.0.1: this computer. Norvane! replaces the ads with the colour or image chosen here and counts "
    "them. Firefox (and other browsers that ask before a site may reach this computer) shows every site with a "
    "blocked ad asking for access to other apps and services on this device.\r\n"
    "0.0.0.0: nowhere. Every browser fails the ad at once and asks nothing; nothing reaches Norvane!, so "
    "nothing is counted and the colour does not matter.";
}  // namespace redirect_text

}  // namespace nv
