#include "LabServer.h"

#include <algorithm>
#include <cctype>

namespace tarnix::labac {
namespace {

constexpr std::size_t kMaxLine = 1024;
// Generous bounds that keep the counters' arithmetic far from overflowing.
constexpr std::uint64_t kMaxRate = 1000000000;
constexpr std::uint64_t kMaxDownSeconds = 86400;
constexpr std::uint64_t kMaxDialDelayMs = 60000;
// A lab tool needs few connections; the cap keeps a runaway client from exhausting threads.
constexpr std::size_t kMaxConnections = 64;
// Watchers hear from lab-ac at least this often, as a PPP peer answers echo requests,
// so they can tell a hung lab-ac from a quiet one; seldom enough that a watching client
// sleeps while nothing happens.
constexpr auto kTickInterval = std::chrono::seconds(5);
// A watcher that stops reading is cut off rather than stalling every dial.
constexpr std::uint32_t kSendTimeoutMs = 2000;

std::string errorLine(int code, const std::string& text) {
    return "ERR " + std::to_string(code) + " " + text + "\n";
}

// Answers a connection that will not be served and closes it. The request it may have
// sent is read first: closing with unread input resets the connection, and a reset
// can make the peer lose the answer.
void turnAway(Socket& socket, const std::string& answer) {
    socket.sendAll(answer);
    char sink[1024];
    socket.receive(sink, sizeof sink, 100);
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool LabServer::Connection::send(const std::string& text) {
    std::lock_guard<std::mutex> lock(writing);
    if (socket.sendAll(text)) return true;
    socket.shutdownBoth();
    return false;
}

LabServer::LabServer(Concentrator concentrator, Log log)
    : log_(std::move(log)), concentrator_(std::move(concentrator)) {}

LabServer::~LabServer() {
    stop();
}

bool LabServer::start(const std::string& host, std::uint16_t port) {
    socketsStartup();
    listener_ = Socket::listenTcp(host, port);
    if (!listener_.valid()) return false;
    port_ = listener_.localPort();
    if (!notices_.start(host, port_))
        log("notices: UDP port " + std::to_string(port_) + " is taken");
    stopping_ = false;
    acceptThread_ = std::thread(&LabServer::acceptLoop, this);
    return true;
}

void LabServer::stop() {
    stopping_ = true;
    listener_.shutdownBoth();
    if (acceptThread_.joinable()) acceptThread_.join();
    std::list<std::shared_ptr<Connection>> open;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open.swap(connections_);
    }
    for (auto& connection : open) connection->socket.shutdownBoth();
    for (auto& connection : open)
        if (connection->thread.joinable()) connection->thread.join();
    listener_.close();
    notices_.stop();
}

void LabServer::log(const std::string& text) {
    static std::mutex logging;
    std::lock_guard<std::mutex> lock(logging);
    if (log_) log_(text);
}

bool LabServer::isDown() {
    std::lock_guard<std::mutex> lock(mutex_);
    return Clock::now() < downUntil_;
}

void LabServer::acceptLoop() {
    auto lastTick = Clock::now();
    while (!stopping_) {
        auto asked = Clock::now();
        Socket socket = listener_.accept(500);
        reapFinished();
        if (Clock::now() - lastTick >= kTickInterval) {
            lastTick = Clock::now();
            tickWatchers();
        }
        if (!socket.valid()) {
            // An error rather than a time-out: do not spin on it.
            if (!stopping_ && Clock::now() - asked < std::chrono::milliseconds(10))
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        if (isDown()) {
            turnAway(socket, errorLine(lab::kErrorNoAnswer, "concentrator is down"));
            continue;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (connections_.size() >= kMaxConnections) {
            turnAway(socket, errorLine(lab::kErrorLineBusy, "too many connections"));
            continue;
        }
        socket.setSendTimeout(kSendTimeoutMs);
        auto connection = std::make_shared<Connection>();
        connection->socket = std::move(socket);
        connections_.push_back(connection);
        connection->thread = std::thread(&LabServer::serve, this, connection);
    }
}

void LabServer::tickWatchers() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& connection : connections_)
        if (connection->watching) connection->send("TICK\n");
}

void LabServer::reapFinished() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = connections_.begin(); it != connections_.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            it = connections_.erase(it);
        } else {
            ++it;
        }
    }
}

void LabServer::serve(const std::shared_ptr<Connection>& connection) {
    LineReader reader(connection->socket, kMaxLine);
    connection->reader = &reader;
    std::string line;
    while (!stopping_) {
        LineReader::Result result;
        if (!connection->pending.empty()) {
            auto next = std::move(connection->pending.front());
            connection->pending.pop_front();
            result = next ? LineReader::Result::Line : LineReader::Result::TooLong;
            if (next) line = std::move(*next);
        } else {
            result = reader.readLine(line);
        }
        if (result == LineReader::Result::TooLong) {
            connection->send(errorLine(lab::kErrorBadParameter, "line too long"));
            continue;
        }
        if (result != LineReader::Result::Line || !handle(*connection, line)) break;
    }
    connection->socket.shutdownBoth();
    connection->finished = true;
}

// Callers hold mutex_.
void LabServer::broadcastDown(const SessionInfo& session, const std::string& cause) {
    std::string event = lab::makeLine({"DOWN", std::to_string(session.handle), cause});
    for (auto& connection : connections_)
        if (connection->watching) connection->send(event);
    log("down " + std::to_string(session.handle) + " " + session.account + " (" + cause + ")");
}

void LabServer::goDown(unsigned seconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const SessionInfo& session : concentrator_.drop("all")) broadcastDown(session, "down");
    downUntil_ = Clock::now() + std::chrono::seconds(seconds);
    for (auto& connection : connections_) connection->socket.shutdownBoth();
    log("going down for " + std::to_string(seconds) + " s");
}

// Holds a dial for `delayMs`, as a line slow to answer does; requests that come meanwhile
// wait their turn. False when the requester closed the connection: the dial is withdrawn
// and no session comes of it, as a hang-up ends a dial in progress.
bool LabServer::holdDial(Connection& connection, const std::string& account,
                         std::uint32_t delayMs) {
    log("dialling " + account + " (" + std::to_string(delayMs) + " ms)");
    const auto until = Clock::now() + std::chrono::milliseconds(delayMs);
    std::string line;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() <= 0) return true;
        switch (connection.reader->readLine(line, static_cast<std::uint32_t>(left.count()))) {
            case LineReader::Result::Line:
                connection.pending.emplace_back(line);
                break;
            case LineReader::Result::TooLong:
                connection.pending.emplace_back(std::nullopt);
                break;
            case LineReader::Result::Timeout:
                return true;
            case LineReader::Result::Closed:
                log("abandoned " + account);
                return false;
        }
    }
}

bool LabServer::handle(Connection& connection, const std::string& line) {
    std::vector<std::string> fields = lab::splitLine(line);
    if (fields.empty()) return true;
    std::string command = upper(fields[0]);
    std::vector<std::string> args;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        std::string raw;
        if (!lab::decodeField(fields[i], raw))
            return connection.send(errorLine(lab::kErrorBadParameter, "broken %XX escape"));
        args.push_back(raw);
    }
    auto bad = [&](const std::string& why) {
        return connection.send(errorLine(lab::kErrorBadParameter, why));
    };
    auto expect = [&](std::size_t count) { return args.size() == count; };
    std::uint64_t number = 0, second = 0;

    if (command == "PING") {
        if (!expect(0)) return bad("usage: PING");
        return connection.send("PONG\n");
    }
    if (command == "DIAL") {
        if (!expect(3)) return bad("usage: DIAL account password entry");
        std::uint32_t delayMs;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            delayMs = dialDelayMs_;
        }
        if (delayMs > 0 && !holdDial(connection, args[0], delayMs)) return false;
        DialResult result;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            result = concentrator_.dial(args[0], args[1], args[2]);
            if (result.error == 0) {
                // Watchers hear of the session before the dialler's reply.
                std::string event = lab::formatSession("UP", result.session);
                for (auto& other : connections_)
                    if (other->watching) other->send(event);
            }
        }
        if (result.error != 0) {
            log("refused " + args[0] + ": " + std::to_string(result.error) + " " + result.reason);
            return connection.send(errorLine(result.error, result.reason));
        }
        log("up " + std::to_string(result.session.handle) + " " + args[0] + " " +
            result.session.ip);
        return connection.send(
            lab::makeLine({"OK", std::to_string(result.session.handle), result.session.ip}));
    }
    if (command == "HANGUP") {
        if (!expect(1) || !lab::parseUnsigned(args[0], number)) return bad("usage: HANGUP handle");
        bool ended;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            SessionInfo session;
            ended = concentrator_.session(number, session) && concentrator_.hangUp(number);
            if (ended) broadcastDown(session, "hangup");
        }
        return connection.send(ended ? "OK\n"
                                     : errorLine(lab::kErrorNoConnection, "no such session"));
    }
    if (command == "LIST" || command == "STATS") {
        bool one = command == "STATS";
        if (one ? !expect(1) || !lab::parseUnsigned(args[0], number) : !expect(0))
            return bad(one ? "usage: STATS handle" : "usage: LIST");
        std::string reply;
        std::size_t count = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (const SessionInfo& session : concentrator_.sessions()) {
                if (one && session.handle != number) continue;
                reply += lab::formatSession("SESSION", session);
                ++count;
            }
        }
        if (one && count == 0)
            return connection.send(errorLine(lab::kErrorNoConnection, "no such session"));
        return connection.send(reply + "END " + std::to_string(count) + "\n");
    }
    if (command == "WATCH") {
        if (!expect(0)) return bad("usage: WATCH");
        // The snapshot and the switch to watching happen under one lock, so a watcher
        // neither misses nor repeats a session.
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<SessionInfo> sessions = concentrator_.sessions();
        std::string reply;
        for (const SessionInfo& session : sessions) reply += lab::formatSession("SESSION", session);
        connection.watching = true;
        return connection.send(reply + "END " + std::to_string(sessions.size()) + "\n");
    }
    if (command == "DROP") {
        if (!expect(1)) return bad("usage: DROP all|handle|account");
        std::size_t count;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            std::vector<SessionInfo> dropped = concentrator_.drop(args[0]);
            for (const SessionInfo& session : dropped) broadcastDown(session, "admin");
            count = dropped.size();
        }
        return connection.send("OK " + std::to_string(count) + " dropped\n");
    }
    if (command == "REFUSE") {
        if (args.empty() || args.size() > 2 || !lab::parseUnsigned(args[0], number) ||
            number > 1000000 ||
            (args.size() == 2 &&
             (!lab::parseUnsigned(args[1], second) || second == 0 || second > 65535)))
            return bad("usage: REFUSE count [ras-error]");
        int error = args.size() == 2 ? static_cast<int>(second) : lab::kErrorNoAnswer;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            concentrator_.refuseNext(static_cast<unsigned>(number), error);
        }
        log("refusing the next " + std::to_string(number) + " dials with " + std::to_string(error));
        return connection.send("OK refusing " + std::to_string(number) + "\n");
    }
    if (command == "DELAY") {
        if (!expect(1) || !lab::parseUnsigned(args[0], number) || number > kMaxDialDelayMs)
            return bad("usage: DELAY milliseconds (0 to 60000)");
        {
            std::lock_guard<std::mutex> lock(mutex_);
            dialDelayMs_ = static_cast<std::uint32_t>(number);
        }
        log("dials take " + std::to_string(number) + " ms");
        return connection.send("OK delaying " + std::to_string(number) + " ms\n");
    }
    if (command == "DOWN") {
        if (!expect(1) || !lab::parseUnsigned(args[0], number) || number == 0 ||
            number > kMaxDownSeconds)
            return bad("usage: DOWN seconds (1 to 86400)");
        connection.send("OK down for " + std::to_string(number) + " s\n");
        goDown(static_cast<unsigned>(number));
        return false;
    }
    if (command == "RATE") {
        if (!expect(2) || !lab::parseUnsigned(args[0], number) ||
            !lab::parseUnsigned(args[1], second) || number > kMaxRate || second > kMaxRate)
            return bad("usage: RATE send-bytes-per-second receive-bytes-per-second");
        {
            std::lock_guard<std::mutex> lock(mutex_);
            concentrator_.setRates(number, second);
        }
        return connection.send("OK\n");
    }
    if (command == "NOTICES") {
        if (!expect(0)) return bad("usage: NOTICES");
        std::string reply;
        const std::vector<Notice> notices = notices_.notices();
        for (const Notice& n : notices) reply += lab::makeLine({"NOTICE", n.kind, n.name, n.from});
        return connection.send(reply + "END " + std::to_string(notices.size()) + "\n");
    }
    if (command == "QUIT") {
        connection.send("BYE\n");
        return false;
    }
    return bad("unknown command " + lab::encodeField(fields[0]));
}

}  // namespace tarnix::labac
