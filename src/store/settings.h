#pragma once
#include <cstdint>
#include <string>

namespace nv {

class SettingsStore;

// Sections and keys of the settings store, application "Norvane".
namespace keys {
inline constexpr char kApp[] = "Norvane";
inline constexpr char kData[] = "Data";
inline constexpr char kSettings[] = "Settings";
// "Data": the program's own state.
inline constexpr char kAdBlock[] = "AdBlock";
inline constexpr char kCookies[] = "Cookies";
inline constexpr char kPopup[] = "Popup";
inline constexpr char kRestore[] = "Restore";
// "Settings": the user's options.
inline constexpr char kColor[] = "Color";
inline constexpr char kAll[] = "All";
inline constexpr char kUseDNS[] = "UseDNS";
inline constexpr char kAllPops[] = "AllPops";
}  // namespace keys

// Reads and writes the program's values; every reader supplies its own
// default, and values are read when needed, never cached.
class Settings {
 public:
  explicit Settings(SettingsStore& store) : store_(store) {}
  std::string Get(const std::string& section, const std::string& key, const std::string& def) const;
  void Save(const std::string& section, const std::string& key, const std::string& value);
  // A truth value or whole number read from text; bad text throws.
  bool GetBool(const std::string& section, const std::string& key, bool def) const;
  std::int16_t GetNumber(const std::string& section, const std::string& key, std::int16_t def) const;

 private:
  SettingsStore& store_;
};

// "True"/"False" in any letter case, or a number (0 is false); surrounding
// spaces are ignored. Anything else throws Type mismatch (13).
bool TextToBool(const std::string& text);
// A decimal whole number with optional sign and surrounding spaces; anything
// else throws Type mismatch (13), a value beyond 16 bits Overflow (6).
std::int16_t TextToNumber(const std::string& text);
inline const char* BoolText(bool v) { return v ? "True" : "False"; }

}  // namespace nv
