#pragma once
// lab-ac's server run inside the test process on an ephemeral loopback port, and a
// one-line administrator client for it.

#include <memory>
#include <string>
#include <vector>

#include "LabServer.h"
#include "dial/lab/LabProtocol.h"

namespace tarnix::testing {

struct InProcessLabAc {
    std::vector<std::string> log;
    std::mutex logMutex;
    std::unique_ptr<labac::LabServer> server;

    explicit InProcessLabAc(const std::string& pool = "10.64.0.10-10.64.0.20",
                            std::uint64_t handleBase = labac::handleBaseFromClock()) {
        labac::Accounts accounts;
        accounts.add("demo", "demo");
        labac::AddressPool addresses;
        labac::AddressPool::parse(pool, addresses);
        server = std::make_unique<labac::LabServer>(
            labac::Concentrator(accounts, addresses, labac::Rates{}, handleBase),
            [this](const std::string& line) {
                std::lock_guard<std::mutex> lock(logMutex);
                log.push_back(line);
            });
        server->start("127.0.0.1", 0);
    }

    std::uint16_t port() const { return server->port(); }
    std::string endpoint() const { return "127.0.0.1:" + std::to_string(port()); }

    // The reply to one raw request line (LF added), its lines joined with LF.
    std::string ask(const std::string& line) const { return askAt(port(), line); }

    static std::string askAt(std::uint16_t port, const std::string& line) {
        lab::Reply reply = lab::request("127.0.0.1", port, line + "\n", 5000);
        std::string text;
        for (const auto& fields : reply.lines) {
            for (std::size_t i = 0; i < fields.size(); ++i) text += (i ? " " : "") + fields[i];
            text += "\n";
        }
        return text;
    }

    bool logged(const std::string& part) { return countLogged(part) > 0; }
    int countLogged(const std::string& part) {
        std::lock_guard<std::mutex> lock(logMutex);
        int n = 0;
        for (const auto& line : log) n += line.find(part) != std::string::npos;
        return n;
    }
};

}  // namespace tarnix::testing
