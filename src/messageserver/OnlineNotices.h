#pragma once
// Where the dial controller tells the provider that an account went on or off line: the
// message channel in the program, a recorder in tests.

#include <string>

namespace tarnix {

class OnlineNotices {
  public:
    virtual ~OnlineNotices() = default;
    virtual void sendOnline(const std::string& accountName) = 0;
    virtual void sendOffline(const std::string& accountName) = 0;
};

}  // namespace tarnix
