#pragma once
// The release's numbers, in one place: the program, its version resource,
// live update's version comparison, the installer's name and the update server's
// "application.ver" all take them from here. Plain macros, so that the
// resource compiler and CMake can read them too.
#define NV_VERSION_MAJOR 2
#define NV_VERSION_MINOR 0
#define NV_VERSION_REVISION 1
// The same numbers as text, "major.minor.revision" (checked against them in
// src/product/version.cpp).
#define NV_VERSION_TEXT "2.0.1"
