// Feeds arbitrary bytes to the network client as frames from the server: the input is cut into frames
// at each 0xFF 0xFE pair, and each frame's typed messages (accept, reject, disconnect, replicate,
// update) are read in turn. Nothing may crash or read past a frame, whatever the messages claim.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/log.h"
#include "engine/net_queue.h"
#include "engine/process.h"
#include "engine/reset.h"
#include "common/engine_api.h"
#include "frame/client_proc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bound = bind_engine_for_tests();
    if (!bound)
        __builtin_trap();
    // Each input starts from a fresh engine: no process, socket or entity of the one before.
    engine_reset_families();
    auto* const client = new client_proc_t;
    client->set_name("fuzz");
    process_add(client, nullptr, -1, 0);
    client->lock();
    net_sock_t* const socket = net_queue_open({0x7f000001, 5000});
    client->set_socket(socket);
    const net_addr_t server{0x7f000001, 4000};
    size_t start = 0;
    for (size_t at = 0; at <= size; ++at) {
        const bool cut = at == size || (at + 1 < size && data[at] == 0xFF && data[at + 1] == 0xFE);
        if (!cut)
            continue;
        if (at > start && net_queue_deliver(socket, server, std::vector<uint8_t>(data + start, data + at)))
            client->receive();
        start = at + 2;
        ++at;
    }
    client->shutdown();
    client->unlock();
    log_clear_capture();
    return 0;
}
