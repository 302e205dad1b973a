#pragma once
// Names the calling thread for debuggers, profilers and the system's process views, so that
// each of the program's threads says what it is for ("dial worker", "drop monitor", ...).
// Best effort: where the system has no names for threads, nothing happens.

namespace tarnix {

// `name`: ASCII, at most 15 characters (longer names are cut where the system needs it).
void nameThisThread(const char* name);

}  // namespace tarnix
