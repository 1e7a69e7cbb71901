#include <cstring>
#include <new>

#include "engine/gfx_render.h"
#include "engine/log.h"
#include "render_matrix.h"

r_packet_t::r_packet_t(const r_packet_decl_t* declaration, void* owner, int element)
    : declaration_(declaration), owner_(owner), element_(element)
{}

void r_packet_t::set_item(void* item, int element)
{
    owner_ = item;
    element_ = element;
}

r_proto_t::r_proto_t(int vertex_packets)
    : vertex_packet_count_(vertex_packets > 0 ? vertex_packets : 1),
      vertex_packets_(new r_packet_t*[static_cast<size_t>(vertex_packet_count_)]())
{
    std::memcpy(frame_, render_matrix_t::identity().m, sizeof frame_);
}

r_proto_t::~r_proto_t() { delete[] vertex_packets_; }

void r_proto_t::set_vertex_packet(int index, r_packet_t* packet)
{
    if (index < 0 || index >= vertex_packet_count_) {
        error("r_proto_t: vertex packet %d out of range (%d)", index, vertex_packet_count_);
        return;
    }
    vertex_packets_[index] = packet;
}

r_packet_t* r_proto_t::vertex_packet(int index) const
{
    return index >= 0 && index < vertex_packet_count_ ? vertex_packets_[index] : nullptr;
}

void r_proto_t::set_frame(const float* matrix)
{
    if (matrix)
        std::memcpy(frame_, matrix, sizeof frame_);
}

ENGINE_API r_packet_t* gfx_alloc_packet(const r_packet_decl_t* declaration, void* owner, int element)
{
    if (!declaration) {
        error("gfx_alloc_packet: no declaration");
        return nullptr;
    }
    return new (std::nothrow) r_packet_t(declaration, owner, element);
}

ENGINE_API void gfx_free_packet(r_packet_t* packet) { delete packet; }

ENGINE_API r_proto_t* gfx_alloc_proto(int vertex_packets) { return new (std::nothrow) r_proto_t(vertex_packets); }

ENGINE_API void gfx_free_proto(r_proto_t* proto) { delete proto; }
