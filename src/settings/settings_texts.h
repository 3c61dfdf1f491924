#pragma once
#include "store/paths.h"

// The settings dialog's own texts, exactly as the user sees them.
namespace nv::settings_text {

inline constexpr char kCaption[] = "Settings";
inline constexpr char kTitle[] = "Norvane! Settings Page";
inline constexpr char kEntryLabel[] = "Add to List";
inline constexpr char kAdd[] = "&Add";
inline constexpr char kRemove[] = "&Remove";
inline constexpr char kTotal[] = "Total Listed:";
inline constexpr char kCountUnloaded[] = "cnt";
inline constexpr char kOk[] = "&OK";
inline constexpr char kCancel[] = "&Cancel";
inline constexpr char kApply[] = "&Apply";

// One tab: its caption, the list's title and tooltip, and its list file.
struct Family {
  const char* tab;
  const char* title;
  const char* tooltip;  // nullptr: none
  const char* file;
};
inline constexpr Family kFamilies[] = {
    {"Ad&Blocking", "List of blocked ad servers", "List of blocked ad servers", paths::kHostsList},
    {"&Cookies", "Allow cookies from these sites", "Thease cookies will not be deleted.", paths::kCookiesList},
    {"&DNS Caching", "Cached Addresses",
     "By entering a site like www.example.com, your system will access that site much faster using "
     "this option.",
     paths::kDnsList},
    {"&Popups", "Don't block popups with these captions", nullptr, paths::kPopupsList},
};
// The tab showing when the dialog opens: "&DNS Caching".
inline constexpr int kFirstTab = 2;

inline constexpr const char* kColours[] = {"Transparent", "White", "Blue", "Green", "Red", "Black"};
inline constexpr int kColourCount = 6;
inline constexpr char kReplaceAds[] = "Replace ads with";
inline constexpr char kImage[] = "image";
inline constexpr char kColourTip[] = "Select the color with which you want to block the ad";
inline constexpr char kAllCookies[] =
    "Delete all cookies (Warning. This will override any sites listed below!)";
inline constexpr char kAllCookiesTip[] = "Delete all cookies from the cookies folder";
inline constexpr char kCookieHint[] =
    "Do not add \".com\" or \".net\" after the site domain (ie \"example.com\" shoud be \"example\"";
inline constexpr char kCookieHintTip[] =
    "Do not add the full name of the site. If you want to accept cookies from a site like "
    "www.example.com, add \"example\" to the list.";
inline constexpr char kUseDns[] = "Use DNS Caching";
inline constexpr char kBlockAllPops[] = "Block all POP-UPS";
inline constexpr char kPopsNote[] = "NOTE: This will override any site below";
inline constexpr char kStartWithWindows[] = "Start Norvane! at Windows Start-up.";
// The "&DNS Caching" tab's lookup found no site.
inline constexpr char kHostNotFound[] = "Host not found";
inline constexpr char kLookupErrorTitle[] = "Error";

// A list file that could not be read opens as an empty list and is never saved.
inline constexpr char kUnreadLists[] =
    "These lists could not be read, so they show empty, and Apply and OK leave their files as they are:";

// frmComfirm.
inline constexpr char kConfirmCaption[] = "Are you Sure?";
inline constexpr char kInfoNumber[] = "Info Number: 0024";
inline constexpr char kAskDeleteAll[] = "Do you want to delete ALL cookies?";
inline constexpr char kAskKeepListed[] = "Do you want to Accept cookies only from the sites listed?";
inline constexpr char kYes[] = "&Yes";
inline constexpr char kNo[] = "&No";

}  // namespace nv::settings_text
