#pragma once
#include <string>

namespace nv {

// The letter (lower case) that the caption declares as its access key, or 0.
// Only the first "&" is looked at, and past an escaped "&&" only the next one.
char AccessKeyOf(const std::string& caption);

// The caption as a window text whose single '&' marks exactly that access
// key (every other '&' doubled), so that a dialog's own mnemonic search
// agrees with the caption's rules.
std::string MnemonicText(const std::string& caption);

}  // namespace nv
