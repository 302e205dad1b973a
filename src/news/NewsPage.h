#pragma once
// Where the news window's page comes from: the provider's news host, named in
// Provider.ini beside the program, with the page's fixed path after it:
//
//   [News]
//   Host=news.chengyuan-kd.example   ; a host name or IPv4 address, optionally :port
//   ShowAfterConnect=1               ; open the news window at the run's first link-up
//
// The host comes from a file anyone may edit, and the address goes to a web browser,
// so only a plain http address of a host and a port is ever made from it.

#include <filesystem>
#include <string>
#include <string_view>

#include "base/Profile.h"

namespace tarnix {

inline constexpr char kNewsPagePath[] = "/desktopnews/index2.htm";

struct NewsSettings {
    std::string host;  // as the file has it; may be anything
    bool showAfterConnect = false;
};

// The settings of folder's Provider.ini; a missing file or key gives no host and no
// opening after connecting.
NewsSettings readNewsSettings(const std::filesystem::path& folder, Profile& profile);

// True for "name" or "name:port": a DNS name (letters, digits and hyphens in dot-separated
// labels) or a dotted IPv4 address, and a port from 1 to 65535.
bool isPlainHost(std::string_view host);

// "http://<host>/desktopnews/index2.htm", or empty when the host is not plain.
std::string newsPageAddress(std::string_view host);

// Where the news window may go: only http addresses of the news host (`host` as
// newsPageAddress() took it; the port 80 may be named or not), and the blank page it shows
// in place of anything else. Letter case of the scheme and host does not matter; user
// names, backslashes and other schemes never pass.
bool isNewsHostAddress(std::string_view address, std::string_view host);

// The host part ("name" or "name:port") of an http address; empty for anything else.
std::string httpAuthority(std::string_view address);

}  // namespace tarnix
