#include <gtest/gtest.h>

#include <vector>

#include "engine/eblock.h"
#include "engine/net_queue.h"
#include "engine/process.h"
#include "frame/client_proc.h"
#include "frame_fixture.h"

namespace {

const net_addr_t server{0x7f000001, 4000};

class client_net_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        client_ = new client_proc_t;
        client_->set_name("remote");
        process_add(client_, nullptr, -1, 0);
        client_->lock();
        socket_ = net_queue_open({0x7f000001, 5000});
        client_->set_socket(socket_);
    }
    void TearDown() override
    {
        client_->shutdown();
        client_->unlock();
        world_test_t::TearDown();
    }

    void deliver(const std::vector<uint8_t>& frame)
    {
        ASSERT_TRUE(net_queue_deliver(socket_, server, frame));
        client_->receive();
    }

    client_proc_t* client_ = nullptr;
    net_sock_t* socket_ = nullptr;
};

TEST_F(client_net_test, accepted_connection_fixes_the_peer_and_updates_go_to_it)
{
    deliver({2});
    EXPECT_TRUE(engine_log_has("[remote/cl] client accepted !"));
    net_addr_t peer{};
    ASSERT_TRUE(net_queue_peer(socket_, peer));
    EXPECT_EQ(peer.port, server.port);

    client_proc_t::message_t message{};
    message.payload[0] = 0xAB;
    message.length = 1;
    message.option = 3;
    message.sender = 0x00020001;
    ASSERT_TRUE(client_->send(message));
    const auto* sent = net_queue_sent(socket_);
    ASSERT_EQ(sent->size(), 1u);
    EXPECT_EQ(sent->back().bytes, (std::vector<uint8_t>{11, 0x01, 0x00, 0x02, 0x00, 0xAB}));
    EXPECT_EQ(sent->back().option, 3);
    message.length = 2000;  // more than the payload holds
    EXPECT_FALSE(client_->send(message));
}

TEST_F(client_net_test, replicated_block_is_bound_to_the_id_the_server_gave)
{
    const std::string name = "/scripts/police.esc";
    std::vector<uint8_t> frame{10, 7, 0, static_cast<uint8_t>(name.size())};
    frame.insert(frame.end(), name.begin(), name.end());
    deliver(frame);
    EXPECT_TRUE(engine_log_has("[remote/cl] replicating: /scripts/police.esc @ ebid: 7"));
    auto* block = reinterpret_cast<eblock_t*>(client_->ids().get_data(7));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->root()->block_id, 7);

    // Sub-entity 1 of a one-entity block, and a negative index, are out of range.
    deliver({11, 1, 0, 7, 0});
    deliver({11, 0xff, 0xff, 7, 0});
    EXPECT_TRUE(engine_log_has("[remote/cl] rid (1) out of range!!!"));
    EXPECT_TRUE(engine_log_has("[remote/cl] rid (-1) out of range!!!"));
}

TEST_F(client_net_test, bad_frames_are_reported_and_the_receive_loop_ends)
{
    struct case_t {
        std::vector<uint8_t> frame;
        const char* report;
    };
    const case_t cases[] = {
        {{10, 7, 0, 200, 'a'}, "[remote/cl] replicate message is cut short"},  // name longer than the frame
        {{10, 7}, "[remote/cl] replicate message is cut short"},
        {{11, 1, 0}, "[remote/cl] update message is cut short"},
        {{42, 2}, "[remote/cl] unknown message type: 42"},
        {std::vector<uint8_t>(5000, 2), "[remote/cl] frame error!!!"},
    };
    for (const case_t& c : cases) {
        deliver(c.frame);
        EXPECT_TRUE(engine_log_has(c.report)) << c.report;
        EXPECT_EQ(net_sock_avail(socket_), 0) << c.report;
    }
    EXPECT_FALSE(engine_log_has("[remote/cl] client accepted !"));  // nothing after the unknown type was read
}

TEST_F(client_net_test, disconnect_closes_the_socket_and_ends_the_client)
{
    deliver({5, 2});
    EXPECT_TRUE(engine_log_has("[remote/cl] received disconnect message from server"));
    EXPECT_TRUE(engine_log_has("[remote/cl] terminating client"));
    EXPECT_TRUE(client_->ended());
    EXPECT_EQ(client_->socket(), nullptr);
    EXPECT_FALSE(engine_log_has("[remote/cl] client accepted !"));
}

}  // namespace
