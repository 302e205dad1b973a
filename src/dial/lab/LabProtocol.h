#pragma once
// The line protocol between the lab dial backend and lab-ac (tools/lab-ac/README.md).
// A line is fields separated by single spaces, ended by LF. A field that holds bytes
// other than printable ASCII, a space or '%' writes them as %XX, so GB2312 account names
// and passwords with spaces pass unchanged.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "dial/lab/LabFields.h"

namespace tarnix {
class Socket;
}

namespace tarnix::lab {

// RAS error numbers that lab-ac answers with, as a provider's server makes RAS report them.
inline constexpr int kErrorBadParameter = 87;   // malformed line, unknown command
inline constexpr int kErrorNoConnection = 668;  // no such session
inline constexpr int kErrorLineBusy = 676;
inline constexpr int kErrorNoAnswer = 678;
inline constexpr int kErrorAuthentication = 691;
inline constexpr int kErrorNoAddress = 720;  // the address pool is exhausted

std::vector<std::string> splitLine(const std::string& line);
// Encodes every field and joins them into one line, LF included.
std::string makeLine(const std::vector<std::string>& rawFields);

bool parseUnsigned(const std::string& text, std::uint64_t& value);
// "host:port" with a port of 1 to 65535.
bool parseEndpoint(const std::string& text, std::string& host, std::uint16_t& port);

// One session as lab-ac reports it:
// SESSION <handle> <entry> <account> <ip> <sent> <received> <duration-ms> <line-bps>
struct SessionInfo {
    std::uint64_t handle = 0;
    std::string entry;
    std::string account;
    std::string ip;
    std::uint64_t bytesSent = 0;
    std::uint64_t bytesReceived = 0;
    std::uint64_t durationMs = 0;
    std::uint64_t bitsPerSecond = 0;
};

// `keyword` is SESSION in listings and UP in watch events.
std::string formatSession(const std::string& keyword, const SessionInfo& session);
// `fields` as split from a line, keyword first; the fields are still encoded.
bool parseSession(const std::vector<std::string>& fields, SessionInfo& session);

// The lines of a reply: every line up to and including the one that ends it
// (OK, ERR, END, PONG or BYE as its first field).
struct Reply {
    std::vector<std::vector<std::string>> lines;
    bool complete = false;  // false: no connection, or closed or timed out before the end
    const std::vector<std::string>& last() const { return lines.back(); }
    bool ok() const { return complete && last()[0] != "ERR"; }
    // The RAS error of an ERR reply; 0 otherwise.
    int error() const;
};

bool isReplyEnd(const std::string& keyword);

// Lets another thread give up the requests made with it, for a program that is ending:
// those in progress return incomplete at once (their connection is shut down, which
// lab-ac takes as the request withdrawn), and later ones are not sent.
class Abandon {
  public:
    void now();
    bool done();

  private:
    friend class AbandonGuard;
    std::mutex mutex_;
    bool done_ = false;
    std::vector<Socket*> sockets_;
};

// Sends one request line over a new connection and reads the reply; the whole
// exchange ends within `timeoutMs`, and the connection is made within a second.
Reply request(const std::string& host, std::uint16_t port, const std::string& line,
              std::uint32_t timeoutMs, Abandon* abandon = nullptr);

}  // namespace tarnix::lab
