#pragma once
#include <random>
#include <string>
#include <vector>

// What other programs do to the HOSTS file, and how a test compares HOSTS
// files that other programs may have re-written.
namespace e2e {

// A HOSTS file's lines as a resolver reads them: a leading UTF-8 byte order
// mark dropped, CR LF, CR and LF all ending a line, runs of spaces and tabs
// as one space, blank lines left out.
std::vector<std::string> HostsKeys(const std::string& bytes);

// Replaces a file in one step, as an editor that saves safely would; the
// program may hold it open for a moment. Keeps its attributes.
void ReplaceFile(const std::string& path, const std::string& bytes);

// Another program's rewrite of the HOSTS file: every line that is not a
// comment re-padded with spaces and tabs, LF line ends, a UTF-8 byte order
// mark, and its own line at the end unless the file holds it already.
void RewriteAsAnotherProgram(const std::string& path, const std::string& ownLine, std::mt19937& rng);

}  // namespace e2e
