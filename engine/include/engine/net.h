#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/api.h"

// Datagram sockets as the module's network client uses them. Headless: the sockets live in an
// in-process queue; tests open them, deliver datagrams to them and read what they sent
// (engine/net_queue.h). Socket handles are checked against the open sockets before any use, so a
// stale or foreign handle fails cleanly.

// An address: IPv4 host (host byte order) and port.
struct net_addr_t {
    uint32_t host;
    uint16_t port;
};

// One piece of a gathered send.
struct net_piece_t {
    const void* data;
    size_t size;
};

// A socket (opaque).
struct net_sock_t;
// The network interface a socket runs on (opaque).
struct net_iface_t;

// Size of the next datagram waiting on the socket; 0 when none; -1 for a bad or closed socket.
ENGINE_API int net_sock_avail(net_sock_t* socket);
// Takes the next datagram into `buffer` and its sender into `from` (may be null); answers its size, 0
// when none waits. A datagram larger than `size` is taken off the queue and dropped with a warning,
// answering -1, so a receive loop always ends; never cut short silently.
ENGINE_API int net_sock_recvfrom(net_sock_t* socket, void* buffer, int size, net_addr_t* from);
// The interface of a socket, or null for a bad one.
ENGINE_API net_iface_t* net_sock_iface(net_sock_t* socket);
// Fixes the socket to one peer: sends go there and only its datagrams are taken from then on.
ENGINE_API bool net_sock_connect(net_sock_t* socket, const net_addr_t* peer);
// Closes the socket; later calls on it fail. Closing twice is harmless.
ENGINE_API void net_sock_close(net_sock_t* socket);
// Sends the pieces as one datagram to the connected peer with a send option; answers the bytes sent,
// or -1 for a bad, closed or unconnected socket or a datagram over net_max_datagram bytes.
ENGINE_API int net_sock_sendv(net_sock_t* socket, const net_piece_t* pieces, int count, int option);

// Largest datagram the queue carries.
constexpr size_t net_max_datagram = 65507;
