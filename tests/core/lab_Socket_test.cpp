// The socket layer that lab mode and the message channel stand on.

#include <gtest/gtest.h>

#include <thread>

#include "base/Socket.h"

namespace tarnix {
namespace {

TEST(LabSocket, TcpLinesBothWaysAndClose) {
    ASSERT_TRUE(socketsStartup());
    Socket listener = Socket::listenTcp("127.0.0.1", 0);
    ASSERT_TRUE(listener.valid());
    ASSERT_NE(listener.localPort(), 0);

    Socket client = Socket::connectTcp("127.0.0.1", listener.localPort(), 2000);
    ASSERT_TRUE(client.valid());
    Socket server = listener.accept(2000);
    ASSERT_TRUE(server.valid());

    // Two lines in one write, one split over two writes, CR LF and LF endings.
    ASSERT_TRUE(client.sendAll("first\r\nsecond\nthi"));
    ASSERT_TRUE(client.sendAll("rd\n"));
    LineReader reader(server);
    std::string line;
    ASSERT_EQ(reader.readLine(line, 2000), LineReader::Result::Line);
    EXPECT_EQ(line, "first");
    ASSERT_EQ(reader.readLine(line, 2000), LineReader::Result::Line);
    EXPECT_EQ(line, "second");
    ASSERT_EQ(reader.readLine(line, 2000), LineReader::Result::Line);
    EXPECT_EQ(line, "third");
    EXPECT_EQ(reader.readLine(line, 50), LineReader::Result::Timeout);

    client.close();
    EXPECT_EQ(reader.readLine(line, 2000), LineReader::Result::Closed);
}

TEST(LabSocket, OverlongLineIsReportedAndSkipped) {
    Socket listener = Socket::listenTcp("127.0.0.1", 0);
    Socket client = Socket::connectTcp("127.0.0.1", listener.localPort(), 2000);
    Socket server = listener.accept(2000);
    ASSERT_TRUE(server.valid());
    ASSERT_TRUE(client.sendAll(std::string(5000, 'x') + "\nafter\n"));
    LineReader reader(server, 100);
    std::string line;
    EXPECT_EQ(reader.readLine(line, 2000), LineReader::Result::TooLong);
    ASSERT_EQ(reader.readLine(line, 2000), LineReader::Result::Line);
    EXPECT_EQ(line, "after");
}

TEST(LabSocket, ConnectToClosedPortFails) {
    // Take a free port, then free it again.
    std::uint16_t port;
    {
        Socket probe = Socket::listenTcp("127.0.0.1", 0);
        port = probe.localPort();
    }
    EXPECT_FALSE(Socket::connectTcp("127.0.0.1", port, 2000).valid());
    EXPECT_FALSE(Socket::connectTcp("no such host name.invalid", port, 2000).valid());
}

TEST(LabSocket, UdpDatagramsWithSender) {
    Socket a = Socket::bindUdp("127.0.0.1", 0);
    Socket b = Socket::bindUdp("127.0.0.1", 0);
    ASSERT_TRUE(a.valid());
    ASSERT_TRUE(b.valid());
    char buffer[64];
    EXPECT_EQ(b.receiveFrom(buffer, sizeof buffer, 50), kSocketTimeout);

    ASSERT_TRUE(a.sendTo("hello", 5, "127.0.0.1", b.localPort()));
    std::string host;
    std::uint16_t port = 0;
    ASSERT_EQ(b.receiveFrom(buffer, sizeof buffer, 2000, &host, &port), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, a.localPort());
}

TEST(LabSocket, ShutdownWakesBlockedReceivers) {
    Socket udp = Socket::bindUdp("127.0.0.1", 0);
    Socket listener = Socket::listenTcp("127.0.0.1", 0);
    Socket client = Socket::connectTcp("127.0.0.1", listener.localPort(), 2000);
    Socket server = listener.accept(2000);
    ASSERT_TRUE(server.valid());

    long udpResult = 1, tcpResult = 1;
    bool acceptValid = true;
    std::thread udpReader([&] {
        char buffer[16];
        udpResult = udp.receiveFrom(buffer, sizeof buffer);
    });
    std::thread tcpReader([&] {
        char buffer[16];
        tcpResult = server.receive(buffer, sizeof buffer);
    });
    std::thread acceptor([&] { acceptValid = listener.accept().valid(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    udp.shutdownBoth();
    server.shutdownBoth();
    listener.shutdownBoth();
    udpReader.join();
    tcpReader.join();
    acceptor.join();
    EXPECT_EQ(udpResult, kSocketClosed);
    EXPECT_EQ(tcpResult, kSocketClosed);
    EXPECT_FALSE(acceptValid);
}

}  // namespace
}  // namespace tarnix
