#include "app/start_gate.h"

#include <algorithm>
#include <cctype>

#include "platform/registry.h"
#include "platform/system.h"
#include "settings/start_with_windows.h"

namespace nv {

namespace {
constexpr char kPolicySubkey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}
}  // namespace

bool StartedAtLogon(const std::vector<std::string>& arguments) {
  return arguments.size() == 1 && EqualsNoCase(arguments[0], kLogonArgument);
}

bool UacOff(Registry& registry) {
  auto key = registry.OpenKey(kHkeyLocalMachine, kPolicySubkey, kKeyQueryValue | kKeyWow64_64Key);
  if (!key) return false;
  const auto value = registry.QueryValue(*key, "EnableLUA");
  registry.CloseKey(*key);
  return value && value->type == kRegDword && value->bytes == std::string(4, '\0');
}

StartGate PassStartGate(System& system, Registry& registry) {
  const bool atLogon = StartedAtLogon(system.Arguments());
  // Without the Run value nothing else starts the program: the task's start goes on.
  if (atLogon && UacOff(registry) && RunValuePresent(registry)) return StartGate::EndQuietly;
  if (system.ClaimSingleInstance()) return StartGate::Go;
  return atLogon ? StartGate::EndQuietly : StartGate::Refuse;
}

}  // namespace nv
