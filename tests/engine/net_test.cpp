#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/net.h"
#include "engine/net_queue.h"
#include "engine_testing/engine_test.h"

namespace {

using net_test = engine_test_t;

constexpr net_addr_t client_address{0x7F000001, 5000};
constexpr net_addr_t server_address{0x7F000001, 6000};
constexpr net_addr_t stranger_address{0x7F000002, 6000};

TEST_F(net_test, datagrams_round_trip_through_the_queue)
{
    net_sock_t* socket = net_queue_open(client_address);
    EXPECT_EQ(net_sock_avail(socket), 0);
    ASSERT_TRUE(net_queue_deliver(socket, server_address, {2}));
    ASSERT_TRUE(net_queue_deliver(socket, server_address, {10, 7, 0, 3, 'c', 'a', 'r'}));
    EXPECT_EQ(net_sock_avail(socket), 1);

    uint8_t buffer[4096];
    net_addr_t from{};
    ASSERT_EQ(net_sock_recvfrom(socket, buffer, sizeof buffer, &from), 1);
    EXPECT_EQ(buffer[0], 2);
    EXPECT_EQ(from.port, server_address.port);
    ASSERT_NE(net_sock_iface(socket), nullptr);
    ASSERT_TRUE(net_sock_connect(socket, &from));
    ASSERT_EQ(net_sock_avail(socket), 7);
    ASSERT_EQ(net_sock_recvfrom(socket, buffer, sizeof buffer, nullptr), 7);
    EXPECT_EQ(buffer[6], 'r');

    const uint8_t type = 11;
    const uint32_t id = 0x00050002;
    const char payload[] = "hello";
    const net_piece_t pieces[] = {{&type, 1}, {&id, 4}, {payload, 5}};
    ASSERT_EQ(net_sock_sendv(socket, pieces, 3, 1), 10);
    const std::vector<net_sent_t>* sent = net_queue_sent(socket);
    ASSERT_NE(sent, nullptr);
    ASSERT_EQ(sent->size(), 1u);
    EXPECT_EQ((*sent)[0].to.port, server_address.port);
    EXPECT_EQ((*sent)[0].option, 1);
    EXPECT_EQ((*sent)[0].bytes, (std::vector<uint8_t>{11, 2, 0, 5, 0, 'h', 'e', 'l', 'l', 'o'}));
}

TEST_F(net_test, oversized_datagram_is_dropped_so_the_receive_loop_ends)
{
    net_sock_t* socket = net_queue_open(client_address);
    ASSERT_TRUE(net_queue_deliver(socket, server_address, std::vector<uint8_t>(5000, 1)));
    ASSERT_TRUE(net_queue_deliver(socket, server_address, {5}));
    uint8_t buffer[4096];
    EXPECT_EQ(net_sock_avail(socket), 5000);
    EXPECT_EQ(net_sock_recvfrom(socket, buffer, sizeof buffer, nullptr), -1);
    EXPECT_FALSE(engine_log_matching("a datagram of 5000 bytes does not fit a buffer of 4096; dropped").empty());
    EXPECT_EQ(net_sock_recvfrom(socket, buffer, sizeof buffer, nullptr), 1);
    EXPECT_EQ(net_sock_avail(socket), 0);
    EXPECT_FALSE(net_queue_deliver(socket, server_address, std::vector<uint8_t>(net_max_datagram + 1)));
}

TEST_F(net_test, connected_socket_takes_only_its_peer)
{
    net_sock_t* socket = net_queue_open(client_address);
    ASSERT_TRUE(net_queue_deliver(socket, stranger_address, {1}));
    ASSERT_TRUE(net_queue_deliver(socket, server_address, {2}));
    ASSERT_TRUE(net_sock_connect(socket, &server_address));
    EXPECT_EQ(net_sock_avail(socket), 1);
    uint8_t byte = 0;
    ASSERT_EQ(net_sock_recvfrom(socket, &byte, 1, nullptr), 1);
    EXPECT_EQ(byte, 2);
    EXPECT_FALSE(net_queue_deliver(socket, stranger_address, {3}));
}

TEST_F(net_test, closed_unconnected_and_foreign_sockets_fail_cleanly)
{
    net_sock_t* socket = net_queue_open(client_address);
    const uint8_t byte = 1;
    const net_piece_t piece{&byte, 1};
    EXPECT_EQ(net_sock_sendv(socket, &piece, 1, 0), -1);
    EXPECT_EQ(net_sock_sendv(socket, nullptr, 1, 0), -1);
    net_sock_close(socket);
    net_sock_close(socket);
    EXPECT_EQ(net_sock_avail(socket), -1);
    EXPECT_FALSE(net_sock_connect(socket, &server_address));
    EXPECT_FALSE(net_queue_deliver(socket, server_address, {1}));
    int not_a_socket = 0;
    EXPECT_EQ(net_sock_avail(reinterpret_cast<net_sock_t*>(&not_a_socket)), -1);
    EXPECT_EQ(net_sock_iface(nullptr), nullptr);
    EXPECT_FALSE(engine_log_matching("net_sock_avail: the socket is not open").empty());
}

}  // namespace
