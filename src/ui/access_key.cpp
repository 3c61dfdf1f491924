#include "ui/access_key.h"

#include <cctype>

namespace nv {
namespace {

// Index of the access key's character in the caption, or npos.
size_t AccessKeyIndex(const std::string& caption) {
  if (caption.size() < 2) return std::string::npos;
  size_t amp = caption.find('&');
  for (int look = 0; look < 2 && amp != std::string::npos; ++look) {
    if (amp + 1 >= caption.size()) return std::string::npos;
    if (caption[amp + 1] != '&') return amp + 1;
    amp = caption.find('&', amp + 2);
  }
  return std::string::npos;
}

}  // namespace

char AccessKeyOf(const std::string& caption) {
  size_t i = AccessKeyIndex(caption);
  if (i == std::string::npos) return 0;
  return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i])));
}

std::string MnemonicText(const std::string& caption) {
  const size_t key = AccessKeyIndex(caption);
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      out += caption[i];
    } else if (i + 1 == key) {
      out += '&';
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      out += "&&";  // an escaped ampersand stays one shown ampersand
      ++i;
    } else {
      out += "&&";
    }
  }
  return out;
}

}  // namespace nv
