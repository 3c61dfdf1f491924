#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nv {

// Just enough JSON to read a browser's "Local State": objects, arrays,
// strings, and the other values kept as their text. Characters beyond ASCII
// in strings become "?" (the program's texts are ANSI). Nesting deeper than
// 64 levels, or any other fault, makes the whole text unreadable.
struct JsonValue {
  enum class Kind { Object, Array, String, Other } kind = Kind::Other;
  std::string text;  // a string's value, or another value's own text
  std::vector<std::pair<std::string, JsonValue>> members;  // objects: in file order
  std::vector<JsonValue> items;                            // arrays

  // The member of that name of an object; nullptr when there is none.
  const JsonValue* Member(std::string_view name) const;
};

std::optional<JsonValue> ParseJson(std::string_view text);

}  // namespace nv
