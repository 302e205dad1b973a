// The native build starts no Windows programs: the client and its updater are Windows
// programs, and the native tests replace the handler.
#include "update/UpdaterStart.h"

namespace tarnix {

bool systemStartProgram(const std::filesystem::path&) { return false; }

}  // namespace tarnix
