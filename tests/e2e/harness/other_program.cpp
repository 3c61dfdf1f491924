#include "harness/other_program.h"

#include <algorithm>

#include "harness/harness.h"

namespace e2e {

namespace {
const char kBom[] = "\xEF\xBB\xBF";

std::vector<std::string> RawLines(const std::string& bytes) {
  std::string text = bytes.rfind(kBom, 0) == 0 ? bytes.substr(3) : bytes;
  std::replace(text.begin(), text.end(), '\r', '\n');
  std::vector<std::string> lines;
  for (size_t start = 0; start <= text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line + ' ') {
    if (c != ' ' && c != '\t') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}
}  // namespace

std::vector<std::string> HostsKeys(const std::string& bytes) {
  std::vector<std::string> keys;
  for (const std::string& line : RawLines(bytes)) {
    std::string key;
    for (const std::string& w : Words(line)) key += (key.empty() ? "" : " ") + w;
    if (!key.empty()) keys.push_back(key);
  }
  return keys;
}

void ReplaceFile(const std::string& path, const std::string& bytes) {
  const DWORD attrs = Attributes(path);
  const std::string tmp = path + ".walk";
  WriteFile(tmp, bytes);
  if (attrs != INVALID_FILE_ATTRIBUTES) SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
  for (int i = 0; i < 400 && !MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING); ++i) Sleep(5);
  if (attrs != INVALID_FILE_ATTRIBUTES && attrs != FILE_ATTRIBUTE_NORMAL) SetAttributes(path, attrs);
}

void RewriteAsAnotherProgram(const std::string& path, const std::string& ownLine, std::mt19937& rng) {
  const char* const pads[] = {" ", "  ", "\t", " \t ", "\t\t"};
  auto pad = [&] { return pads[std::uniform_int_distribution<int>(0, 4)(rng)]; };
  const std::string before = ReadFile(path);
  std::string out = kBom;
  for (const std::string& line : RawLines(before)) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    if (words[0][0] == '#') {
      out += line + "\n";
      continue;
    }
    for (size_t i = 0; i < words.size(); ++i) out += (i ? pad() : "") + words[i];
    out += std::string(pad()) + "\n";
  }
  const std::vector<std::string> keys = HostsKeys(before);
  if (std::find(keys.begin(), keys.end(), HostsKeys(ownLine).at(0)) == keys.end()) out += ownLine + "\n";
  ReplaceFile(path, out);
}

}  // namespace e2e
