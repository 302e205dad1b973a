// lab-ac: the lab access concentrator. Serves dials on loopback until killed, or, with
// --admin, sends one administrator command to a running lab-ac and prints the reply.

#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "LabServer.h"

using namespace tarnix;
using namespace tarnix::labac;

namespace {

const char kUsage[] =
    "usage: lab-ac [--host ADDRESS] [--port N] [--accounts FILE] [--account NAME:PASSWORD]...\n"
    "              [--pool FIRST-LAST] [--send-rate BYTES/S] [--recv-rate BYTES/S]\n"
    "              [--speed BITS/S]\n"
    "       lab-ac --admin HOST:PORT COMMAND [ARGUMENT]...\n"
    "Without --accounts or --account, the one account is demo with password demo.\n";

int fail(const std::string& message) {
    std::cerr << "lab-ac: " << message << "\n" << kUsage;
    return 2;
}

int runAdmin(const std::vector<std::string>& args) {
    std::string host;
    std::uint16_t port = 0;
    if (args.size() < 2 || !lab::parseEndpoint(args[0], host, port))
        return fail("--admin needs HOST:PORT and a command");
    std::vector<std::string> command(args.begin() + 1, args.end());
    lab::Reply reply = lab::request(host, port, lab::makeLine(command), 10000);
    if (reply.lines.empty() && !reply.complete) {
        std::cerr << "lab-ac: no answer from " << args[0] << "\n";
        return 1;
    }
    for (const auto& fields : reply.lines) {
        std::string line;
        for (const auto& field : fields) line += (line.empty() ? "" : " ") + field;
        std::cout << line << "\n";
    }
    return reply.ok() ? 0 : 1;
}

bool parseCount(const std::string& text, std::uint64_t& value, std::uint64_t max) {
    return lab::parseUnsigned(text, value) && value <= max;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    socketsStartup();
    if (!args.empty() && args[0] == "--admin") return runAdmin({args.begin() + 1, args.end()});

    std::string host = "127.0.0.1";
    std::uint64_t port = 0;
    Accounts accounts;
    bool haveAccounts = false;
    AddressPool pool;
    AddressPool::parse("10.64.0.10-10.64.0.250", pool);
    Rates rates;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (i + 1 >= args.size()) return fail("missing value after " + option);
        const std::string& value = args[++i];
        if (option == "--host") {
            host = value;
        } else if (option == "--port") {
            if (!parseCount(value, port, 65535)) return fail("bad port " + value);
        } else if (option == "--accounts") {
            std::vector<std::string> warnings;
            std::string error;
            Accounts loaded;
            if (!Accounts::load(value, loaded, warnings, error)) return fail(error);
            for (const auto& warning : warnings) std::cerr << value << ": " << warning << "\n";
            accounts.merge(loaded);
            haveAccounts = true;
        } else if (option == "--account") {
            std::size_t colon = value.find(':');
            if (colon == std::string::npos || colon == 0 || colon + 1 == value.size())
                return fail("--account needs NAME:PASSWORD");
            accounts.add(value.substr(0, colon), value.substr(colon + 1));
            haveAccounts = true;
        } else if (option == "--pool") {
            if (!AddressPool::parse(value, pool)) return fail("bad address pool " + value);
        } else if (option == "--send-rate") {
            if (!parseCount(value, rates.sendBytesPerSecond, 1000000000))
                return fail("bad rate " + value);
        } else if (option == "--recv-rate") {
            if (!parseCount(value, rates.receiveBytesPerSecond, 1000000000))
                return fail("bad rate " + value);
        } else if (option == "--speed") {
            if (!parseCount(value, rates.lineBitsPerSecond, 0xFFFFFFFFu))
                return fail("bad speed " + value);
        } else {
            return fail("unknown option " + option);
        }
    }
    if (!haveAccounts) accounts.add("demo", "demo");

    LabServer server(Concentrator(accounts, pool, rates, handleBaseFromClock()),
                     [](const std::string& text) { std::cout << text << std::endl; });
    if (!server.start(host, static_cast<std::uint16_t>(port)))
        return fail("cannot listen on " + host + ":" + std::to_string(port));
    std::cout << "listening on " << host << ":" << server.port() << std::endl;
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}
