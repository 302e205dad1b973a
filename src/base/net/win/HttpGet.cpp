// HTTP GET through WinINet: the system's proxy configuration, no agent name, no redirects
// followed, nothing read from or written to the cache (a cached version list would hide
// a new release; WinINet keeps the body in a temporary file of its own instead), and the
// time-out on connecting, sending and each wait for data.
#include "base/net/HttpGet.h"

#include <windows.h>

#include <wininet.h>

#include "base/CodePage.h"
#include "base/win/Scoped.h"

namespace tarnix {
namespace {

void setTimeouts(HINTERNET handle, DWORD timeoutMs) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        InternetSetOptionW(handle, option, &timeoutMs, sizeof timeoutMs);
    }
}

std::optional<std::string> queryText(HINTERNET request, DWORD what) {
    wchar_t buffer[64];
    DWORD size = sizeof buffer;
    if (!HttpQueryInfoW(request, what, buffer, &size, nullptr)) return std::nullopt;
    return wideToGb(std::wstring(buffer, size / sizeof(wchar_t)));
}

}  // namespace

HttpOutcome httpGet(const HttpAddress& address, std::uint32_t timeoutMs,
                    const HttpReceiver& receiver) {
    HttpOutcome outcome;
    ScopedInternet session(
        InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return outcome;
    setTimeouts(session.get(), timeoutMs);
    ScopedInternet connection(InternetConnectW(session.get(), gbToWide(address.host).c_str(),
                                               address.port, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return outcome;
    const DWORD flags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT |
                        INTERNET_FLAG_NEED_FILE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
    ScopedInternet request(HttpOpenRequestW(connection.get(), L"GET",
                                            gbToWide(address.path).c_str(), nullptr, nullptr,
                                            nullptr, flags, 0));
    if (!request) return outcome;
    setTimeouts(request.get(), timeoutMs);
    if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return outcome;

    // An answer that names another HTTP version is not one of the update source's. (An
    // answer without a status line WinINet takes for HTTP/0.9 and reports as 1.0 200, so
    // only the list's own checks stand behind it.)
    std::optional<std::string> version = queryText(request.get(), HTTP_QUERY_VERSION);
    if (!version || version->rfind("HTTP/1.", 0) != 0) return outcome;
    std::optional<std::string> statusText = queryText(request.get(), HTTP_QUERY_STATUS_CODE);
    std::optional<std::uint64_t> status = statusText ? parseContentLength(*statusText) : std::nullopt;
    if (!status) return outcome;
    outcome.status = int(*status);
    if (outcome.status != 200) {
        outcome.result = HttpResult::NotOk;
        return outcome;
    }
    std::optional<std::uint64_t> length;
    if (auto text = queryText(request.get(), HTTP_QUERY_CONTENT_LENGTH)) {
        length = parseContentLength(*text);
        if (!length) return outcome;
    }
    if (receiver.onLength && !receiver.onLength(length)) {
        outcome.result = HttpResult::Stopped;
        return outcome;
    }
    std::uint64_t received = 0;
    char buffer[16 * 1024];
    for (;;) {
        DWORD n = 0;
        if (!InternetReadFile(request.get(), buffer, sizeof buffer, &n)) return outcome;
        if (n == 0) break;
        DWORD take = n;
        if (length && received + take > *length) take = DWORD(*length - received);
        received += take;
        if (take && receiver.onData && !receiver.onData(std::string_view(buffer, take))) {
            outcome.result = HttpResult::Stopped;
            return outcome;
        }
        if (length && received >= *length) break;
    }
    if (length && received < *length) return outcome;
    outcome.result = HttpResult::Done;
    return outcome;
}

}  // namespace tarnix
