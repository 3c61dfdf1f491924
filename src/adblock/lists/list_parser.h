#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "adblock/lists/name_set.h"

namespace nv {

// Whether a name from a published list may go into the HOSTS file: a host
// name of at least two labels (1 to 63 letters, digits, '-' or '_', no '-'
// at a label's ends), 253 bytes at most, not an address, and not a name of
// this machine's own ("localhost" and its kind), which a HOSTS line would cut
// off from itself. Case does not matter.
bool IsBlockableName(std::string_view name);

// What a published list held.
struct ParsedList {
  NameSet names;
  size_t lines = 0;       // lines that named at least one blockable name
  bool looksLikeHtml = false;  // a web page (a portal, an error page), not a list
};

// Reads any of the forms published block lists come in, line by line, mixed:
// - hosts: an address of 0.0.0.0, 127.0.0.1, ::1 or :: and one or more names
//   (lines that send a name to any other address redirect it, so they are
//   not blocks and are skipped);
// - one name per line;
// - the plain-domain rules of adblock lists, "||name^" (rules with options or
//   paths block less than a whole name and are skipped).
// '#' starts a comment, as do '!' and '[' at a line's start in adblock lists.
// Fields are separated by spaces and tabs; lines end in LF, CR LF or CR.
// skip: further names never to take, lower case (the machine's own names).
ParsedList ParseBlockList(std::string_view bytes, const std::vector<std::string>& skip = {});

}  // namespace nv
