#pragma once
// Control numbers of the update windows, which the end-to-end tests use too.
namespace nv::update_ids {
inline constexpr int kLabel4 = 104;  // prompt: "Current Version"
inline constexpr int kLabel5 = 105;  // prompt: "Update Version"
inline constexpr int kLabel6 = 106;  // manual window: the status
inline constexpr int kLabel7 = 107;  // manual window: "Current version"
inline constexpr int kLabel8 = 108;  // manual window: "Newer Version"
inline constexpr int kCommand1 = 201;  // "Check For Updates"
inline constexpr int kXpBs1 = 211;     // "Close"; the prompt's "&Yes"
inline constexpr int kXpBs2 = 212;     // "&No"
inline constexpr int kXpBs3 = 213;     // "Read whats New in this update!"
}  // namespace nv::update_ids
