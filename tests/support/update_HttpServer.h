#pragma once
// A small HTTP server on a loopback port for the update tests: each path answers as the
// test sets it up (a status with a body, a body cut short, a body of any size made on
// the fly, or no answer at all), and every request is counted.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/Socket.h"

namespace tarnix::testing {

class UpdateHttpServer {
  public:
    struct Answer {
        int status = 200;
        std::string body;
        std::string extraHeaders;    // each line ends with CRLF
        bool sendLength = true;      // Content-Length, else the connection's end ends it
        std::uint64_t announced = 0;  // a Content-Length other than the body's, when set
        std::uint64_t filler = 0;    // bytes of 'x' after the body, made as they are sent
        bool stall = false;          // read the request, then never answer
        std::string raw;             // sent as the whole answer instead, when set
    };

    UpdateHttpServer() {
        socketsStartup();
        listener_ = Socket::listenTcp("127.0.0.1", 0);
        thread_ = std::thread([this] { serve(); });
    }
    ~UpdateHttpServer() {
        stopping_ = true;
        listener_.shutdownBoth();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (Socket& held : stalled_) held.shutdownBoth();
        }
        thread_.join();
    }

    std::uint16_t port() const { return listener_.localPort(); }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port()) + path;
    }
    void answer(const std::string& path, Answer a) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[path] = std::move(a);
    }
    int requests(const std::string& path) {
        std::lock_guard<std::mutex> lock(mutex_);
        return counts_[path];
    }
    int allRequests() {
        std::lock_guard<std::mutex> lock(mutex_);
        int n = 0;
        for (auto& [path, count] : counts_) n += count;
        return n;
    }

  private:
    void serve() {
        while (!stopping_) {
            Socket client = listener_.accept(100);
            if (!client.valid()) continue;
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
                long n = client.receive(buffer, sizeof buffer, 2000);
                if (n <= 0) break;
                request.append(buffer, std::size_t(n));
            }
            std::string path;
            if (request.rfind("GET ", 0) == 0) path = request.substr(4, request.find(' ', 4) - 4);
            Answer a;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                ++counts_[path];
                auto found = answers_.find(path);
                if (found != answers_.end()) a = found->second;
                else a = Answer{404, "not here"};
                if (a.stall) {
                    stalled_.push_back(std::move(client));
                    continue;
                }
            }
            respond(client, a);
        }
    }

    static void respond(Socket& client, const Answer& a) {
        client.setSendTimeout(5000);
        if (!a.raw.empty()) {
            client.sendAll(a.raw);
            return;
        }
        std::uint64_t total = a.body.size() + a.filler;
        std::string head = "HTTP/1.0 " + std::to_string(a.status) + " X\r\n" + a.extraHeaders;
        if (a.sendLength)
            head += "Content-Length: " + std::to_string(a.announced ? a.announced : total) + "\r\n";
        head += "Connection: close\r\n\r\n";
        if (!client.sendAll(head) || !client.sendAll(a.body)) return;
        std::string chunk(64 * 1024, 'x');
        for (std::uint64_t sent = 0; sent < a.filler;) {
            std::size_t n = std::size_t(std::min<std::uint64_t>(chunk.size(), a.filler - sent));
            if (!client.sendAll(chunk.data(), n)) return;
            sent += n;
        }
    }

    Socket listener_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::map<std::string, int> counts_;
    std::vector<Socket> stalled_;
};

}  // namespace tarnix::testing
