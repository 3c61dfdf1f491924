#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "harness/harness.h"

// Acting on norvane.exe's settings dialog from another process: its
// controls are found by their numbers, and messages that carry a pointer go
// through memory in the program's process.
namespace e2e {

// A left click on the tray icon; returns the dialog once it shows.
HWND OpenSettings(Norvane& app, int trayEvent = WM_LBUTTONDOWN);
// The program's visible top-level dialog with this caption.
HWND FindDialog(Norvane& app, const std::string& caption);
// The descendant control with this number.
HWND ControlById(HWND parent, int id);

// Clicks tab n of a tab control as the mouse would.
void ClickTab(HWND tab, int n);
int CurrentTab(HWND tab);
// Selects row n of a list-view as a click would (the control tells its parent).
void SelectRow(HWND list, int row);
int SelectedRow(HWND list);
int RowCount(HWND list);
// The row's text as the list-view shows it.
std::string RowText(HWND list, int row);
// Types text into an edit control (the control reports the change).
void TypeText(HWND edit, const std::string& text);
bool Checked(HWND box);
// The tooltip texts of the controls of a window, by control number.
std::map<int, std::string> Tooltips(HWND window);
// Screenshot(), then waits until the picture is written: Wine does not wait
// for a Unix program it starts, and the next step would change the screen.
bool SettledScreenshot(const std::string& name);

}  // namespace e2e
