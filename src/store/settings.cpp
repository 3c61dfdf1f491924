#include "store/settings.h"

#include <cctype>
#include <cstdlib>

#include "platform/errors.h"
#include "platform/settings_store.h"
#include "store/list_file.h"

namespace nv {

std::string Settings::Get(const std::string& section, const std::string& key,
                          const std::string& def) const {
  auto v = store_.Get(keys::kApp, section, key);
  return v ? *v : def;
}

void Settings::Save(const std::string& section, const std::string& key, const std::string& value) {
  store_.Set(keys::kApp, section, key, value);
}

bool Settings::GetBool(const std::string& section, const std::string& key, bool def) const {
  auto v = store_.Get(keys::kApp, section, key);
  return v ? TextToBool(*v) : def;
}

std::int16_t Settings::GetNumber(const std::string& section, const std::string& key,
                                 std::int16_t def) const {
  auto v = store_.Get(keys::kApp, section, key);
  return v ? TextToNumber(*v) : def;
}

static bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool TextToBool(const std::string& text) {
  std::string_view t = TrimSpaces(text);
  if (EqualsNoCase(t, "True")) return true;
  if (EqualsNoCase(t, "False")) return false;
  return TextToNumber(text) != 0;
}

std::int16_t TextToNumber(const std::string& text) {
  std::string_view t = TrimSpaces(text);
  size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  if (i == t.size()) throw err::TypeMismatch();
  long long value = 0;
  for (size_t k = i; k < t.size(); ++k) {
    if (!std::isdigit(static_cast<unsigned char>(t[k]))) throw err::TypeMismatch();
    value = value * 10 + (t[k] - '0');
    if (value > 32768) throw err::Overflow();
  }
  if (t[0] == '-') value = -value;
  if (value > 32767 || value < -32768) throw err::Overflow();
  return static_cast<std::int16_t>(value);
}

}  // namespace nv
