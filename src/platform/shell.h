#pragma once
#include <string>

namespace nv {

// ShellExecuteA: opens a document or address with the program registered for it.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual void Execute(const std::string& verb, const std::string& file, const std::string& params,
                       const std::string& dir, int show) = 0;
};

}  // namespace nv
