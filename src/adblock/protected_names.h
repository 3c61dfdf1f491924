#pragma once
#include <string_view>

#include "store/list_box.h"

namespace nv {

// Names that Windows Defender treats as a HOSTS hijack when the file
// redirects them: it then resets the whole HOSTS file, so every block line
// goes and the user sees an alarm naming Norvane. Such names are never
// written. A name is protected when it, or a parent domain of it, is in the
// built-in set; letter case and one trailing dot do not count.
bool IsProtectedName(std::string_view host);

// True when any of the blank-separated names of a line is protected (a
// block-list line normally holds one name, a user's may hold several).
bool HoldsProtectedName(std::string_view names);

// Drops the entries that hold a protected name, keeping the others' order;
// returns how many went. Entries may start with an address ("0.0.0.0 a.b").
// The list must keep insertion order.
int RemoveProtectedLines(ListBox& list);

}  // namespace nv
