#pragma once

namespace nv {

// The vendor's web site, without a trailing slash.
inline constexpr char kVendorSite[] = "http://www.norvane.example";

}  // namespace nv
