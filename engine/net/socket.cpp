#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>

#include "engine/log.h"
#include "engine/net_queue.h"
#include "engine/reset.h"

// The in-process interface every socket runs on.
struct net_iface_t {
    const char* name = "queue";
};

// A received datagram.
struct net_datagram_t {
    net_addr_t from;
    std::vector<uint8_t> bytes;
};

struct net_sock_t {
    net_addr_t local{};
    net_addr_t peer{};
    bool connected = false;
    bool closed = false;
    std::deque<net_datagram_t> inbox;
    std::vector<net_sent_t> sent;
};

namespace {

net_iface_t queue_iface;
std::vector<std::unique_ptr<net_sock_t>> sockets;

bool same_address(const net_addr_t& a, const net_addr_t& b) { return a.host == b.host && a.port == b.port; }

// The socket behind a handle, or null (with a warning naming `call`) for one that is not open.
net_sock_t* open_socket(const char* call, net_sock_t* handle)
{
    for (const auto& socket : sockets) {
        if (socket.get() == handle) {
            if (!socket->closed)
                return socket.get();
            break;
        }
    }
    warning("%s: the socket is not open", call);
    return nullptr;
}

void sockets_reset() { sockets.clear(); }

}  // namespace

net_sock_t* net_queue_open(const net_addr_t& local)
{
    sockets.push_back(std::make_unique<net_sock_t>());
    sockets.back()->local = local;
    return sockets.back().get();
}

bool net_queue_deliver(net_sock_t* handle, const net_addr_t& from, const std::vector<uint8_t>& bytes)
{
    net_sock_t* socket = open_socket("net_queue_deliver", handle);
    if (!socket || bytes.size() > net_max_datagram || (socket->connected && !same_address(from, socket->peer)))
        return false;
    socket->inbox.push_back({from, bytes});
    return true;
}

const std::vector<net_sent_t>* net_queue_sent(net_sock_t* handle)
{
    for (const auto& socket : sockets)
        if (socket.get() == handle)
            return &socket->sent;
    return nullptr;
}

bool net_queue_peer(net_sock_t* handle, net_addr_t& peer)
{
    for (const auto& socket : sockets) {
        if (socket.get() == handle && socket->connected) {
            peer = socket->peer;
            return true;
        }
    }
    return false;
}

ENGINE_API int net_sock_avail(net_sock_t* handle)
{
    net_sock_t* socket = open_socket("net_sock_avail", handle);
    if (!socket)
        return -1;
    return socket->inbox.empty() ? 0 : static_cast<int>(socket->inbox.front().bytes.size());
}

ENGINE_API int net_sock_recvfrom(net_sock_t* handle, void* buffer, int size, net_addr_t* from)
{
    net_sock_t* socket = open_socket("net_sock_recvfrom", handle);
    if (!socket)
        return -1;
    if (socket->inbox.empty())
        return 0;
    const net_datagram_t datagram = std::move(socket->inbox.front());
    socket->inbox.pop_front();
    const size_t length = datagram.bytes.size();
    if (!buffer || size < 0 || length > static_cast<size_t>(size)) {
        warning("net_sock_recvfrom: a datagram of %zu bytes does not fit a buffer of %d; dropped", length, size);
        return -1;
    }
    if (length)
        memcpy(buffer, datagram.bytes.data(), length);
    if (from)
        *from = datagram.from;
    return static_cast<int>(length);
}

ENGINE_API net_iface_t* net_sock_iface(net_sock_t* handle)
{
    return open_socket("net_sock_iface", handle) ? &queue_iface : nullptr;
}

ENGINE_API bool net_sock_connect(net_sock_t* handle, const net_addr_t* peer)
{
    net_sock_t* socket = open_socket("net_sock_connect", handle);
    if (!socket || !peer)
        return false;
    socket->peer = *peer;
    socket->connected = true;
    // Datagrams already waiting from anyone else are no longer for this socket.
    std::erase_if(socket->inbox, [peer](const net_datagram_t& d) { return !same_address(d.from, *peer); });
    return true;
}

ENGINE_API void net_sock_close(net_sock_t* handle)
{
    for (const auto& socket : sockets) {
        if (socket.get() == handle) {
            socket->closed = true;
            socket->inbox.clear();
        }
    }
}

ENGINE_API int net_sock_sendv(net_sock_t* handle, const net_piece_t* pieces, int count, int option)
{
    net_sock_t* socket = open_socket("net_sock_sendv", handle);
    if (!socket)
        return -1;
    if (!socket->connected) {
        warning("net_sock_sendv: the socket is not connected");
        return -1;
    }
    if (count < 0 || (count > 0 && !pieces)) {
        warning("net_sock_sendv: %d pieces to send", count);
        return -1;
    }
    net_sent_t datagram{socket->peer, option, {}};
    for (int i = 0; i < count; ++i) {
        const net_piece_t& piece = pieces[i];
        if ((piece.size && !piece.data) || piece.size > net_max_datagram - datagram.bytes.size()) {
            warning("net_sock_sendv: piece %d has no data or the datagram would exceed %zu bytes", i, net_max_datagram);
            return -1;
        }
        const auto* bytes = static_cast<const uint8_t*>(piece.data);
        datagram.bytes.insert(datagram.bytes.end(), bytes, bytes + piece.size);
    }
    const int sent = static_cast<int>(datagram.bytes.size());
    socket->sent.push_back(std::move(datagram));
    return sent;
}

static engine_reset_registrar_t net_reset_registrar(reset_order_devices, sockets_reset);
