#pragma once

// Control numbers of the settings dialog and its confirmation, shared with
// the end-to-end tests that find the controls by them.
namespace nv::settings_id {

constexpr int kOk = 1;      // IDOK: Enter
constexpr int kCancel = 2;  // IDCANCEL: Escape
constexpr int kApply = 1001;
constexpr int kTab = 1002;
constexpr int kTitle = 1003;
constexpr int kCheck1 = 1004;
constexpr int kColours = 1005;
constexpr int kAllCookies = 1006;
constexpr int kUseDns = 1007;
constexpr int kBlockAllPops = 1008;
constexpr int kCookieHint = 1009;
constexpr int kCookieStores = 1010;  // the line naming the browsers whose stores are cleaned
constexpr int kRedirect = 1011;      // where blocked names point

// The controls of list family n (0 to 3, in tab order).
constexpr int kFamilyBase = 1100;
constexpr int Page(int n) { return kFamilyBase + 10 * n; }
constexpr int List(int n) { return Page(n) + 1; }
constexpr int Entry(int n) { return Page(n) + 2; }
constexpr int Add(int n) { return Page(n) + 3; }
constexpr int Remove(int n) { return Page(n) + 4; }
constexpr int Count(int n) { return Page(n) + 5; }

// frmComfirm.
constexpr int kYes = 1201;
constexpr int kNo = 1202;
constexpr int kLabel1 = 1203;

}  // namespace nv::settings_id
