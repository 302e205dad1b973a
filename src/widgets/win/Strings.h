#pragma once
// The program's texts live in the string table of its resources; this is how code reads
// them. A missing string reads as empty.

#include <windows.h>

#include <string>

namespace tarnix {

std::wstring loadString(UINT id);

}  // namespace tarnix
