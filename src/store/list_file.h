#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace nv {

// The one-entry-per-line text format shared by the list files, the HOSTS file,
// its backup and the logs.

// Raw lines of a file: a line ends at CR LF or at a lone CR; a lone LF stays
// inside its line; the last line may lack its end.
std::vector<std::string_view> SplitListLines(std::string_view bytes);

// Removes leading and trailing space characters only (tabs stay).
std::string_view TrimSpaces(std::string_view text);

// Each entry trimmed and followed by CR LF, then CR LF CR LF.
std::string FormatListFile(const std::vector<std::string>& entries);

}  // namespace nv
