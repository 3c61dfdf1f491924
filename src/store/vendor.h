#pragma once

namespace nv {

// The vendor's web site, without a trailing slash.
inline constexpr char kVendorSite[] = "http://www.norvane.example";
// The title of the program's message boxes.
inline constexpr char kProductTitle[] = "Norvane!";

}  // namespace nv
