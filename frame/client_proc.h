#pragma once
#include <cstdint>
#include <vector>

#include "engine/gfx_render.h"
#include "engine/net.h"
#include "frame/fog_record.h"
#include "physics/scene_proc.h"

class mbio_t;
struct c_item_t;

// The scene process that draws: entities whose type flags ask for it are kept in a pre-draw list
// (value 4) and a draw list (value 2) and drawn each frame, optionally with a per-entity time profile
// ("p_profile_draws").
// It also carries a small network client: typed messages in frames of at most 4096 bytes (see
// docs/formats.md, "Module frame: the client's network frames").
class client_proc_t : public scene_proc_t {
public:
    // Largest frame the client receives.
    static constexpr int max_frame = 4096;
    // Message types of a frame.
    enum message_type_t : uint8_t {
        msg_accepted = 2,
        msg_rejected = 3,
        msg_disconnect = 5,
        msg_replicate = 10,
        msg_update = 11,
    };
    // An outgoing per-entity update: up to 1024 payload bytes, the send option and the sender's id.
    struct message_t {
        uint8_t payload[1024];
        uint32_t length;
        uint8_t option;
        uint32_t sender;
    };

    // Named "client" until its owner names it.
    client_proc_t();

    void entity_insert(entity_t* entity) override;
    void entity_remove(entity_t* entity) override;

    // Pre-draws and draws the listed entities, then flushes the render path.
    virtual void draw();

    // Sends a per-entity update (type 11) to the server; false when it could not be sent.
    virtual bool send(const message_t& message);
    // Reads every waiting frame and dispatches its messages.
    virtual void receive();
    // Handles one message whose type byte has been read.
    virtual void dispatch(uint8_t type, mbio_t& reader, const net_addr_t& sender);
    // The socket the client talks through (not opened here); null for none.
    void set_socket(net_sock_t* socket) { socket_ = socket; }
    net_sock_t* socket() const { return socket_; }

    // A new light held by the process (one process lock each), or null when its memory cannot be had.
    virtual r_light_t* new_light();
    // Gives back a light made by new_light and its process lock; false for one this process did not make.
    virtual bool remove_light(r_light_t* light);
    // The cache items of the lights, oldest first (each item's memory is its r_light_t).
    virtual const std::vector<c_item_t*>& get_lights() const { return lights_; }
    // A new zeroed fog record held like a light, or null.
    virtual fog_record_t* new_fog();
    // Gives back a fog record made by new_fog; false for one this process did not make.
    virtual bool remove_fog(fog_record_t* fog);
    // The cache items of the fog records, oldest first.
    virtual const std::vector<c_item_t*>& get_fogs() const { return fogs_; }

    int draw_count() const { return static_cast<int>(draw_list_.size()); }
    int pre_draw_count() const { return static_cast<int>(pre_draw_list_.size()); }

    // Log lines of the process, prefixed "[name/cl] " with the process's name.
    void cl_message(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void cl_error(const char* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    // Loads the named block, instantiates it and binds it to the id the server gave; false when the
    // message is short or the block cannot be made.
    bool replicate(mbio_t& reader);
    // Hands the rest of the message to the addressed sub-entity; false when it cannot be found.
    bool update(mbio_t& reader);

    // A held cache item with `size` bytes of memory, added to `list` under one process lock; null
    // (after reporting "[client] failed to allocate <what> struct") when the memory cannot be had.
    void* new_record(std::vector<c_item_t*>& list, size_t size, const char* what);
    // Takes the item whose memory is `record` off `list`, releases it and gives back its lock.
    bool remove_record(std::vector<c_item_t*>& list, const void* record);

    net_sock_t* socket_ = nullptr;
    std::vector<c_item_t*> lights_;
    std::vector<c_item_t*> fogs_;
    std::vector<entity_t*> draw_list_;
    std::vector<entity_t*> pre_draw_list_;
};
