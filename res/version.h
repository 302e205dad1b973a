#pragma once
// The program's version, the one place it is written: the version resource, the update
// check's comparison and the installer all read it from here.
#define TARNIX_VERSION_MAJOR 1
#define TARNIX_VERSION_MINOR 2
#define TARNIX_VERSION_PATCH 0
#define TARNIX_VERSION_BUILD 0
#define TARNIX_VERSION_TEXT "1.2.0.0"
