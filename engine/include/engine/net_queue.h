#pragma once
#include <cstdint>
#include <vector>

#include "engine/net.h"

// Test and host side of the in-process network: opening sockets, delivering datagrams to them and
// reading what they sent.

// One datagram that a socket sent.
struct net_sent_t {
    net_addr_t to;
    int option;
    std::vector<uint8_t> bytes;
};

// Opens a socket bound to `local`.
net_sock_t* net_queue_open(const net_addr_t& local);
// Delivers a datagram from `from` to a socket. False (nothing queued) for a bad or closed socket, a
// datagram over net_max_datagram bytes, or a sender other than the peer of a connected socket.
bool net_queue_deliver(net_sock_t* socket, const net_addr_t& from, const std::vector<uint8_t>& bytes);
// Everything the socket sent, oldest first.
const std::vector<net_sent_t>* net_queue_sent(net_sock_t* socket);
// The peer a socket is connected to; false when it is not connected.
bool net_queue_peer(net_sock_t* socket, net_addr_t& peer);
