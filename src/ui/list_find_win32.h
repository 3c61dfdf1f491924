#pragma once
#include <windows.h>
#include <commctrl.h>

#include "store/list_box.h"

namespace nv::ui {

// A virtual (owner-data) list view finds nothing by itself when the user
// types: it asks its parent (LVN_ODFINDITEM). Answers that notice from the
// list the rows are drawn from; true when n was such a notice, with the
// found row (or -1) in row. Either form of the notice is taken: Wine's list
// view sends the wide one even to a parent that asked for ANSI.
bool AnswerFindItem(const NMHDR& n, const ListBox& list, LRESULT& row);

}  // namespace nv::ui
