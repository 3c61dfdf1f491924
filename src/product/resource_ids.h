#pragma once
// Resource numbers shared by the resource script and the windows.
#define IDI_NORVANE 101
