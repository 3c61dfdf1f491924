#include "fakes/fake_files.h"

#include <algorithm>
#include <cctype>

#include "platform/file_pattern.h"

namespace nv::test {

std::string FakeFiles::Key(const std::string& path) {
  std::string k = path;
  for (char& c : k) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::replace(k.begin(), k.end(), '/', '\\');
  return k;
}

void FakeFiles::CheckWritable(const std::string& key) const {
  if (failWrites.count(key)) throw err::PermissionDenied();
  auto it = nodes_.find(key);
  if (it != nodes_.end() && (it->second.attrs & (kAttrReadOnly | kAttrDirectory)))
    throw err::PathFileAccess();
}

FakeFiles::Node& FakeFiles::Create(const std::string& key, const std::string& path) {
  names_.emplace(key, path);
  Node& node = nodes_[key];
  node = Node{};
  node.id = nextId_++;
  return node;
}

// An open file follows its node while the path still names it; once the
// path was removed or written anew, its writes go nowhere a reader can see.
class FakeFiles::OpenFile : public AppendFile {
 public:
  OpenFile(FakeFiles& files, std::string key, unsigned id) : files_(files), key_(std::move(key)), id_(id) {}
  void Write(std::string_view bytes) override {
    if (files_.failWrites.count(key_)) throw err::PermissionDenied();
    ++files_.writes;
    if (StillNamed()) files_.nodes_[key_].bytes += bytes;
    else files_.lostWrites += bytes;
  }
  bool StillNamed() override {
    auto it = files_.nodes_.find(key_);
    return it != files_.nodes_.end() && it->second.id == id_;
  }

 private:
  FakeFiles& files_;
  std::string key_;
  unsigned id_;
};

std::unique_ptr<AppendFile> FakeFiles::OpenAppend(const std::string& path, bool& created) {
  const std::string k = Key(path);
  CheckWritable(k);
  created = !nodes_.count(k);
  if (created) Create(k, path);
  ++opens;
  return std::make_unique<OpenFile>(*this, k, nodes_[k].id);
}

std::string FakeFiles::ReadAll(const std::string& path) {
  const std::string k = Key(path);
  if (failReads.count(k)) throw err::PathFileAccess();
  auto it = nodes_.find(k);
  if (it == nodes_.end()) throw err::FileNotFound();
  if (it->second.attrs & kAttrDirectory) throw err::PathFileAccess();
  return it->second.bytes;
}

void FakeFiles::WriteAtomic(const std::string& path, const std::string& bytes) {
  const std::string k = Key(path);
  CheckWritable(k);
  if (auto held = heldOpen.find(k); held != heldOpen.end() && held->second > 0) {
    --held->second;
    ++heldRefusals;
    throw FileInUseError();
  }
  ++writes;
  const unsigned attrs = nodes_.count(k) ? nodes_[k].attrs : kAttrNormal;
  Node& node = Create(k, path);  // moved over the old file: a new one
  node.bytes = bytes;
  node.attrs = attrs;
}

void FakeFiles::Append(const std::string& path, const std::string& bytes) {
  const std::string k = Key(path);
  CheckWritable(k);
  ++writes;
  if (!nodes_.count(k)) Create(k, path);
  nodes_[k].bytes += bytes;
}

unsigned FakeFiles::GetAttributes(const std::string& path) {
  auto it = nodes_.find(Key(path));
  if (it == nodes_.end()) throw err::FileNotFound();
  return it->second.attrs;
}

void FakeFiles::SetAttributes(const std::string& path, unsigned attrs) {
  auto it = nodes_.find(Key(path));
  if (it == nodes_.end()) throw err::FileNotFound();
  it->second.attrs = (it->second.attrs & kAttrDirectory) | attrs;
}

std::int64_t FakeFiles::Size(const std::string& path) {
  auto it = nodes_.find(Key(path));
  if (it == nodes_.end() || (it->second.attrs & kAttrDirectory)) return -1;
  return static_cast<std::int64_t>(it->second.bytes.size());
}

bool FakeFiles::Remove(const std::string& path) {
  const std::string k = Key(path);
  if (failWrites.count(k)) return false;
  names_.erase(k);
  return nodes_.erase(k) > 0;
}

std::vector<std::string> FakeFiles::List(const std::string& folder, const std::string& pattern) {
  const std::string prefix = Key(folder) + "\\";
  std::vector<std::string> out;
  for (const auto& [key, node] : nodes_) {
    if (key.compare(0, prefix.size(), prefix) != 0 || (node.attrs & kAttrDirectory)) continue;
    const std::string rest = key.substr(prefix.size());
    if (rest.find('\\') != std::string::npos) continue;
    if (!NameMatchesPattern(rest, Key(pattern))) continue;
    out.push_back(names_.at(key).substr(prefix.size()));
  }
  return out;
}

bool FakeFiles::CanOpenForRead(const std::string& path) {
  auto it = nodes_.find(Key(path));
  return it != nodes_.end() && !(it->second.attrs & kAttrDirectory) && !failReads.count(Key(path));
}

bool FakeFiles::Exists(const std::string& path) { return nodes_.count(Key(path)) > 0; }

void FakeFiles::Put(const std::string& path, const std::string& bytes, unsigned attrs) {
  names_[Key(path)] = path;
  nodes_[Key(path)] = Node{bytes, attrs, nextId_++};
}

void FakeFiles::MakeFolder(const std::string& path) { Put(path, "", kAttrDirectory); }

bool FakeFiles::Has(const std::string& path) const { return nodes_.count(Key(path)) > 0; }

std::string FakeFiles::Get(const std::string& path) const {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? std::string() : it->second.bytes;
}

unsigned FakeFiles::Attrs(const std::string& path) const {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? 0xFFFFFFFFu : it->second.attrs;
}

}  // namespace nv::test
