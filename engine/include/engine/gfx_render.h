#pragma once
#include <cstdint>

#include "engine/api.h"

// What a frame draws: shaders, render paths and their pools, vertex and index packets, render
// prototypes, lights, sprites, lines and immediate data records. Everything queued is recorded for
// the frame (see engine/gfx_record.h); the painter draws a frame from its record when it is captured
// or the host draws every frame (--draw).

// A shader known to the renderer, by path. Textures are not read: the size is the one the shader file
// names ("texture W H", engine/shader_resource.h), or 256 x 256 when the file is missing, names none or
// cannot be read (reported).
struct gfx_shader_t {
    char path[256];
    int32_t width;
    int32_t height;
    bool has_texture;  // the shader file named a texture size
};

// A light the renderer may apply to prototypes (17 words).
struct r_light_t {
    int32_t kind = 0;                               // word 0: 0 directional
    float ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};    // words 1-4
    float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};    // words 5-8
    float specular[4] = {0.0f, 0.0f, 0.0f, 0.0f};   // words 9-12
    float direction[4] = {0.0f, 1.0f, 0.0f, 0.0f};  // words 13-16: towards the light, w 0 directional
};
static_assert(sizeof(r_light_t) == 68, "the light record is seventeen words");

// How the renderer reads a packet: a declaration names it and gives one callback per element kind.
// Each callback receives the packet's owner and element number; a null callback means the packet has
// no such element.
struct r_packet_decl_t {
    const char* name;  // "segment_vpd_vertex", "segment_ipd", "map_vpd_lmap" ...
    int (*vertex_count)(void* owner, int element);
    const float* (*positions)(void* owner, int element);   // 3 floats per vertex
    const float* (*normals)(void* owner, int element);     // 3 floats per vertex
    const float* (*texcoords)(void* owner, int element);   // 2 floats per vertex
    const uint32_t* (*colours)(void* owner, int element);  // one packed colour per vertex
    const float* (*centre)(void* owner, int element);      // 3 floats
    int (*index_count)(void* owner, int element);
    const uint16_t* (*indices)(void* owner, int element);
};

// A vertex or index packet: a declaration bound to an owner and element. Counted: made with one use.
class r_packet_t {
public:
    r_packet_t(const r_packet_decl_t* declaration, void* owner, int element);

    void inc_refs() { ++refs_; }
    // Gives one use back and answers the uses left; the caller frees the packet at 0.
    int dec_refs() { return refs_ > 0 ? --refs_ : 0; }
    int refs() const { return refs_; }

    // Binds the packet to a resource item and an element within it (the owner the callbacks get).
    void set_item(void* item, int element);

    const r_packet_decl_t* declaration() const { return declaration_; }
    void* owner() const { return owner_; }
    int element() const { return element_; }

private:
    const r_packet_decl_t* declaration_;
    void* owner_;
    int element_;
    int refs_ = 1;
};

// A render prototype: what to draw (packets, shader), where (frame) and how (flags, lights). Counted:
// made with one use; queueing takes a use until the frame is flushed.
class r_proto_t {
public:
    // The number of vertex packets the prototype holds (at least 1).
    explicit r_proto_t(int vertex_packets);
    ~r_proto_t();
    r_proto_t(const r_proto_t&) = delete;
    r_proto_t& operator=(const r_proto_t&) = delete;

    void inc_refs() { ++refs_; }
    // Gives one use back and answers the uses left; the caller frees the prototype at 0.
    int dec_refs() { return refs_ > 0 ? --refs_ : 0; }
    int refs() const { return refs_; }

    // Sets vertex packet `index`; an index outside the prototype's count is refused with a message.
    void set_vertex_packet(int index, r_packet_t* packet);
    void set_index_packet(r_packet_t* packet) { index_packet_ = packet; }
    void set_shader(const void* shader) { shader_ = shader; }
    // Light map applied on top of the shader.
    void set_lmap(const void* lmap) { lmap_ = lmap; }
    // World frame of the geometry (16 floats).
    void set_frame(const float* matrix);
    // Lights and light effects the prototype is lit by (engine lists; not copied). A light list is a
    // std::vector<c_item_t*> whose items' memory holds an r_light_t each; the first light applies.
    void set_lights(const void* lights) { lights_ = lights; }
    void set_light_effects(const void* effects) { light_effects_ = effects; }

    // Free for the caller: cleared to 0 by the caller before queueing.
    uint32_t flags = 0;

    int vertex_packet_count() const { return vertex_packet_count_; }
    r_packet_t* vertex_packet(int index) const;
    r_packet_t* index_packet() const { return index_packet_; }
    const void* shader() const { return shader_; }
    const void* lmap() const { return lmap_; }
    const float* frame() const { return frame_; }
    const void* lights() const { return lights_; }
    const void* light_effects() const { return light_effects_; }

private:
    int vertex_packet_count_;
    r_packet_t** vertex_packets_;
    r_packet_t* index_packet_ = nullptr;
    const void* shader_ = nullptr;
    const void* lmap_ = nullptr;
    const void* lights_ = nullptr;
    const void* light_effects_ = nullptr;
    float frame_[16];
    int refs_ = 1;
};

// One sprite of a sprite array (44 bytes of data and a link the caller keeps).
struct gfx_sprite_t {
    float position[3];  // relative to the position handed to gfx_sprite
    uint32_t colour;    // 0xAARRGGBB
    float scale;
    float rotation;  // degrees
    float uv0[2];    // texture corner (0, 0) by default
    float uv1[2];    // texture corner (1, 1) by default
    void* link;      // the caller's, never read
};

// Flag bits of an immediate data record: which arrays it carries.
enum gfx_data_flag_t : uint32_t {
    gfx_data_positions = 0x01,
    gfx_data_normals = 0x02,
    gfx_data_colours = 0x04,
    gfx_data_texcoords = 0x08,
    gfx_data_indices = 0x20,
    gfx_data_world = 0x100,  // drawn with the world (depth-tested), not as an overlay
};

// How the vertices of an immediate data record form triangles.
enum gfx_primitive_t : int32_t { gfx_triangle_list = 0, gfx_triangle_strip = 1, gfx_triangle_fan = 2 };

// An immediate data record handed to gfx_cache_data: arrays owned by the caller, copied when queued.
struct gfx_data_t {
    uint32_t flags = 0;             // gfx_data_flag_t bits (for example 41 or 0x12D)
    int32_t primitive = 0;          // gfx_primitive_t
    float position[3] = {0, 0, 0};  // added to every vertex
    const void* shader = nullptr;
    int32_t vertex_count = 0;
    int32_t index_count = 0;
    const float* positions = nullptr;   // 3 floats per vertex
    const float* normals = nullptr;     // 3 floats per vertex
    const float* texcoords = nullptr;   // 2 floats per vertex
    const uint32_t* colours = nullptr;  // one per vertex
    const uint16_t* indices = nullptr;
};

// A render path ("vert" is the one the stand-in offers) and a pool inserted into it.
struct gfx_path_t;
struct gfx_pool_t;

// Order of two queued prototypes for a pool: negative, zero or positive.
using gfx_sort_t = int (*)(const r_proto_t* a, const r_proto_t* b);

// The queue record a pool draws from: a state block of five words that the pool owns the meaning of.
struct gfx_pool_queue_t {
    uint32_t flags;
    uint32_t* state;  // five words, zeroed by the caller
    uint32_t count;
};

// The renderer's shader for a path (made on first use, the same handle afterwards); an empty path
// gives "/specials/notfound.shd", which always resolves. Null for a null path.
ENGINE_API const gfx_shader_t* gfx_shader_precache(const char* path);

// Offsets, in texture coordinates, that put a texel's centre on a pixel's centre for the device; a
// picture drawn pixel for pixel adds them to its texture coordinates. Both 0 for the "gl" device.
ENGINE_API void gfx_texel_offset(float* du, float* dv);

// The named render path, or null (with a message) for a name the renderer does not have.
ENGINE_API gfx_path_t* gfx_path_get(const char* name);
ENGINE_API void gfx_path_select(gfx_path_t* path);
// Lighting mode of the selected path: 1 per-prototype light lists (the stand-in's "vert" path).
ENGINE_API int gfx_path_get_current();
// Draws and empties everything queued so far in this frame.
ENGINE_API void gfx_path_flush();
// A pool of the path that sorts its prototypes with `sort`; null for a null path.
ENGINE_API gfx_pool_t* gfx_path_pool_insert(gfx_path_t* path, gfx_sort_t sort);
ENGINE_API void gfx_path_pool_remove(gfx_pool_t* pool);
// Gives a pool its queue record (the caller keeps it alive while the pool exists).
ENGINE_API void gfx_pool_queue_insert(gfx_pool_t* pool, gfx_pool_queue_t* queue);
// The two orders pools use: by shader (so prototypes sharing a shader draw together), by flags.
ENGINE_API int gfx_common_hash_sort(const r_proto_t* a, const r_proto_t* b);
ENGINE_API int gfx_priority_sort(const r_proto_t* a, const r_proto_t* b);

// Packets and prototypes (null only when out of memory).
ENGINE_API r_packet_t* gfx_alloc_packet(const r_packet_decl_t* declaration, void* owner, int element);
ENGINE_API void gfx_free_packet(r_packet_t* packet);
ENGINE_API r_proto_t* gfx_alloc_proto(int vertex_packets);
ENGINE_API void gfx_free_proto(r_proto_t* proto);
// Queues a prototype for this frame (takes a use until the flush). Its packets are read now.
ENGINE_API void gfx_queue_proto(r_proto_t* proto);
// Queues a prototype once more, lit by one light.
ENGINE_API void gfx_queue_light_proto(r_proto_t* proto, const r_light_t* light);

// Queues an immediate data record at the current world matrix.
ENGINE_API void gfx_cache_data(const gfx_data_t* data);
// Queues `count` sprites of `size` at `position` (current world matrix); x_scale, y_scale scale each
// sprite, `mode` and `depth` are recorded for the path.
ENGINE_API void gfx_sprite(const void* shader, const float* position, float size, int count,
                           const gfx_sprite_t* sprites, float x_scale, float y_scale, int mode, float depth);
// Queues a line of one colour between two points of the current world matrix's frame.
ENGINE_API void gfx_line_plain(uint32_t colour, const float* from, const float* to);
