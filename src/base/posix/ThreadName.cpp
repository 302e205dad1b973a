#include "base/ThreadName.h"

#include <pthread.h>

#include <string>

namespace tarnix {

void nameThisThread(const char* name) {
    // Linux keeps 15 characters and refuses longer names.
    pthread_setname_np(pthread_self(), std::string(name).substr(0, 15).c_str());
}

}  // namespace tarnix
