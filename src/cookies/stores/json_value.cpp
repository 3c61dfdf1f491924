#include "cookies/stores/json_value.h"

namespace nv {

const JsonValue* JsonValue::Member(std::string_view name) const {
  for (const auto& [key, value] : members)
    if (key == name) return &value;
  return nullptr;
}

namespace {

constexpr int kMaxDepth = 64;

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : s_(text) {}

  std::optional<JsonValue> Document() {
    JsonValue v;
    if (!Value(v, 0)) return std::nullopt;
    Space();
    if (at_ != s_.size()) return std::nullopt;
    return v;
  }

 private:
  void Space() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\r' || s_[at_] == '\n')) ++at_;
  }
  bool Take(char c) {
    Space();
    if (at_ < s_.size() && s_[at_] == c) return ++at_, true;
    return false;
  }

  bool Value(JsonValue& v, int depth) {
    if (depth > kMaxDepth) return false;
    Space();
    if (at_ >= s_.size()) return false;
    switch (s_[at_]) {
      case '{': v.kind = JsonValue::Kind::Object; return Object(v, depth);
      case '[': v.kind = JsonValue::Kind::Array; return Array(v, depth);
      case '"': v.kind = JsonValue::Kind::String; return String(v.text);
      default: return Other(v.text);
    }
  }

  bool Object(JsonValue& v, int depth) {
    ++at_;
    if (Take('}')) return true;
    do {
      std::string key;
      Space();
      if (!String(key) || !Take(':')) return false;
      v.members.emplace_back(std::move(key), JsonValue());
      if (!Value(v.members.back().second, depth + 1)) return false;
    } while (Take(','));
    return Take('}');
  }

  bool Array(JsonValue& v, int depth) {
    ++at_;
    if (Take(']')) return true;
    do {
      v.items.emplace_back();
      if (!Value(v.items.back(), depth + 1)) return false;
    } while (Take(','));
    return Take(']');
  }

  bool String(std::string& out) {
    if (at_ >= s_.size() || s_[at_] != '"') return false;
    for (++at_; at_ < s_.size(); ++at_) {
      const char c = s_[at_];
      if (c == '"') return ++at_, true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        Plain(c, out);
        continue;
      }
      if (++at_ >= s_.size() || !Escape(out)) return false;
    }
    return false;
  }

  // UTF-8 beyond ASCII: one "?" per character, at its lead byte.
  static void Plain(char c, std::string& out) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) out += c;
    else if (b >= 0xC0) out += '?';
  }

  bool Escape(std::string& out) {
    static constexpr std::string_view kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
    if (const size_t i = kFrom.find(s_[at_]); i != std::string_view::npos) return out += kTo[i], true;
    if (s_[at_] != 'u' || at_ + 4 >= s_.size()) return false;
    unsigned code = 0;
    for (int k = 1; k <= 4; ++k) {
      const char h = s_[at_ + k];
      const int d = h >= '0' && h <= '9' ? h - '0' : (h | 0x20) >= 'a' && (h | 0x20) <= 'f' ? (h | 0x20) - 'a' + 10 : -1;
      if (d < 0) return false;
      code = code * 16 + static_cast<unsigned>(d);
    }
    at_ += 4;
    // The second half of a surrogate pair adds no character of its own.
    if (code < 0x80) out += static_cast<char>(code);
    else if (code < 0xDC00 || code > 0xDFFF) out += '?';
    return true;
  }

  bool Other(std::string& out) {
    const size_t start = at_;
    while (at_ < s_.size() && s_[at_] != ',' && s_[at_] != '}' && s_[at_] != ']' && s_[at_] != ' ' &&
           s_[at_] != '\r' && s_[at_] != '\n' && s_[at_] != '\t')
      ++at_;
    out = std::string(s_.substr(start, at_ - start));
    return !out.empty();
  }

  std::string_view s_;
  size_t at_ = 0;
};

}  // namespace

std::optional<JsonValue> ParseJson(std::string_view text) { return JsonReader(text).Document(); }

}  // namespace nv
