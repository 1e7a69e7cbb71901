// The network client of the client process: frames of typed messages from the server.
#include <cstring>

#include "engine/eblock.h"
#include "engine/entity.h"
#include "engine/mbio.h"
#include "frame/client_proc.h"
#include "common/engine_api.h"

bool client_proc_t::send(const message_t& message)
{
    if (message.length > sizeof message.payload) {
        cl_error("message of %u bytes is too long", message.length);
        return false;
    }
    const uint8_t type = msg_update;
    uint8_t id[4];
    for (int i = 0; i < 4; ++i)
        id[i] = static_cast<uint8_t>(message.sender >> (8 * i));
    const net_piece_t pieces[] = {{&type, 1}, {id, 4}, {message.payload, message.length}};
    return api::net_sock_sendv(socket_, pieces, 3, message.option) >= 0;
}

void client_proc_t::receive()
{
    if (!socket_)
        return;
    uint8_t frame[max_frame];
    for (int size; (size = api::net_sock_avail(socket_)) > 0;) {
        if (size > max_frame)
            cl_error("frame error!!!");
        net_addr_t sender{};
        // A frame too large for the buffer is taken off the queue and dropped by the receive itself.
        const int got = api::net_sock_recvfrom(socket_, frame, sizeof frame, &sender);
        if (got <= 0)
            continue;
        mbio_t reader(frame, static_cast<size_t>(got));
        uint8_t type = 0;
        while (socket_ && reader.read_u8(type))
            dispatch(type, reader, sender);
        if (!socket_)
            return;
    }
}

void client_proc_t::dispatch(uint8_t type, mbio_t& reader, const net_addr_t& sender)
{
    switch (type) {
    case msg_accepted:
        cl_message("client accepted !");
        api::net_sock_iface(socket_);
        api::net_sock_connect(socket_, &sender);
        break;
    case msg_rejected:
        cl_message("MSG_SC_CONNECT_REJ - client rejected!");
        shutdown();
        break;
    case msg_disconnect:
        cl_message("received disconnect message from server");
        api::net_sock_close(socket_);
        socket_ = nullptr;
        shutdown();
        cl_message("terminating client");
        break;
    case msg_replicate:
        cl_message("MSG_SC_REPLICATE received");
        if (!replicate(reader))
            reader.seek(reader.position() + reader.remaining());
        break;
    case msg_update:
        if (!update(reader))
            reader.seek(reader.position() + reader.remaining());
        break;
    default:
        cl_message("unknown message type: %d", type);
        // The rest of the frame cannot be told apart from the unknown body: drop it.
        reader.seek(reader.position() + reader.remaining());
        break;
    }
}

bool client_proc_t::replicate(mbio_t& reader)
{
    uint16_t block_id = 0;
    char name[256];
    if (!reader.read_u16(block_id) || !reader.read_str_u8(name, sizeof name)) {
        cl_error("replicate message is cut short");
        return false;
    }
    cl_message("replicating: %s @ ebid: %d", name, block_id);
    eblock_t* block = eblock_from_name(name);
    if (!block || !init_eblock(block) || !bind_entity_id(block, block_id)) {
        cl_error("cannot replicate %s", name);
        return false;
    }
    return true;
}

bool client_proc_t::update(mbio_t& reader)
{
    uint32_t address = 0;
    if (!reader.read_u32(address)) {
        cl_error("update message is cut short");
        return false;
    }
    const int id = static_cast<int>(address >> 16);
    const int16_t index = static_cast<int16_t>(address & 0xffff);
    auto* block = reinterpret_cast<eblock_t*>(ids().get_data(id));
    if (!block)
        return false;
    if (index < 0 || index >= block->count()) {
        cl_error("rid (%d) out of range!!!", index);
        return false;
    }
    return block->entity(index)->net_receive(&reader);
}
