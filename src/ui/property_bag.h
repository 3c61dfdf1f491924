#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/draw_surface.h"

namespace nv {

using PropValue = std::variant<bool, std::int64_t, std::string, FontSpec, Picture>;

// The container's store of a control's settings, by name.
class PropertyBag {
 public:
  virtual ~PropertyBag() = default;
  virtual std::optional<PropValue> Read(const std::string& name) = 0;
  virtual void Write(const std::string& name, const PropValue& value) = 0;
};

// A property bag in memory. Names are matched without regard to case; the
// order of writing is kept.
class MemoryPropertyBag : public PropertyBag {
 public:
  std::optional<PropValue> Read(const std::string& name) override;
  void Write(const std::string& name, const PropValue& value) override;
  const std::vector<std::pair<std::string, PropValue>>& Entries() const { return entries_; }
  bool Has(const std::string& name) const;

 private:
  std::vector<std::pair<std::string, PropValue>> entries_;
};

bool SameName(const std::string& a, const std::string& b);

}  // namespace nv
