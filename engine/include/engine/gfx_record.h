#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/gfx_device.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"

// Test control and read-back of the headless renderer: what a frame queued, the state of the
// stacks, and switches a test scripts the device with. Host side only (not exported).

// The memory a frame's recorded arrays are copied into: blocks kept from frame to frame, so that a
// frame allocates nothing once the frames before it needed as much.
class gfx_record_store_t {
public:
    // Room for `count` values of T, valid until the store is emptied.
    template <typename T> T* take(size_t count) { return static_cast<T*>(take_bytes(count * sizeof(T), alignof(T))); }
    // Makes all its room free again, keeping the blocks.
    void empty();

private:
    struct block_t {
        std::unique_ptr<std::byte[]> bytes;
        size_t size = 0;
    };
    void* take_bytes(size_t bytes, size_t alignment);

    std::vector<block_t> blocks_;
    size_t block_ = 0;  // the block being filled
    size_t used_ = 0;   // bytes of it taken
};

// Values a record copied, read-only: they live in the store of the frame record they were queued in
// and stay while that frame record (or any record copied from it) is held.
template <typename T> class gfx_recorded_array_t {
public:
    using value_type = T;
    using size_type = size_t;
    using iterator = const T*;
    using const_iterator = const T*;

    gfx_recorded_array_t() = default;
    gfx_recorded_array_t(const T* values, size_t count) : values_(values), count_(count) {}

    const T* data() const { return values_; }
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const T& operator[](size_t i) const { return values_[i]; }
    const T& front() const { return values_[0]; }
    const T& back() const { return values_[count_ - 1]; }
    const T* begin() const { return values_; }
    const T* end() const { return values_ + count_; }
    // A copy of the values that outlives the record.
    operator std::vector<T>() const { return std::vector<T>(begin(), end()); }

    friend bool operator==(const gfx_recorded_array_t& a, const std::vector<T>& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const gfx_recorded_array_t& a, const gfx_recorded_array_t& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    const T* values_ = nullptr;
    size_t count_ = 0;
};

// Vertex and index data read from a prototype's packets (or an immediate record) when it was queued,
// copied into its frame's store, which the geometry holds a use of.
struct gfx_recorded_geometry_t {
    gfx_recorded_array_t<float> positions;   // 3 per vertex
    gfx_recorded_array_t<float> normals;     // 3 per vertex, empty when absent
    gfx_recorded_array_t<float> texcoords;   // 2 per vertex, empty when absent
    gfx_recorded_array_t<uint32_t> colours;  // 1 per vertex, empty when absent
    gfx_recorded_array_t<uint16_t> indices;
    std::shared_ptr<const gfx_record_store_t> store;
    int vertex_count() const { return static_cast<int>(positions.size() / 3); }
};

// Where a record is drawn: its place in the frame's drawing order (shared with the markup's items),
// the camera and view in force when it was queued, and whether a UI window was drawing then.
struct gfx_recorded_place_t {
    int order = 0;
    float camera[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // world to camera
    gfx_view_t view;
    bool in_ui = false;  // a UI window was drawing, in the view it began with
};

// A queued render prototype.
struct gfx_recorded_proto_t {
    const r_proto_t* proto;               // identity only: it may be freed after the flush
    std::string_view vertex_declaration;  // name of vertex packet 0's declaration, "" without one
    std::string_view index_declaration;
    const void* shader;
    std::string_view shader_path;  // path when the shader came from gfx_shader_precache, else ""
    uint32_t flags;
    float frame[16];
    // Lit by one light: queued through gfx_queue_light_proto, or carrying a light list (its first light).
    bool lit_by_light;
    r_light_t light;                   // the light, when lit_by_light
    gfx_recorded_geometry_t geometry;  // from vertex packet 0 and the index packet
    int flush;                         // number of flushes before it in the frame
    gfx_recorded_place_t place;
};

// A queued immediate data record (arrays copied).
struct gfx_recorded_data_t {
    uint32_t flags;
    int32_t primitive;
    float position[3];
    const void* shader;
    std::string_view shader_path;
    float world[16];
    gfx_recorded_geometry_t geometry;
    int flush;
    gfx_recorded_place_t place;
};

// A gfx_sprite call (sprites copied).
struct gfx_recorded_sprites_t {
    const void* shader;
    std::string_view shader_path;
    float position[3];
    float size;
    std::vector<gfx_sprite_t> sprites;
    float x_scale;
    float y_scale;
    int mode;
    float depth;
    float world[16];
    int flush;
    gfx_recorded_place_t place;
};

// A model part the model library drew: its triangles in the model's frame, all in one colour, textured
// by its shader's picture where the part has texture coordinates, lit by the model's first light when
// its light callback gave it a light list.
struct gfx_recorded_model_t {
    // Positions, normals, texture coordinates and indices, the colour on every vertex.
    gfx_recorded_geometry_t geometry;
    std::string_view shader_path;
    float world[16];
    bool lit_by_light = false;
    r_light_t light;
    gfx_recorded_place_t place;
};

// A gfx_line_plain call: the end points in the world (the world matrix applied).
struct gfx_recorded_line_t {
    uint32_t colour;
    float from[3];
    float to[3];
    gfx_recorded_place_t place;
};

// A clear of the frame.
struct gfx_recorded_clear_t {
    uint32_t flags;
    uint32_t colour;
    int order;
};

// Everything one frame drew.
struct gfx_frame_record_t {
    std::vector<gfx_recorded_proto_t> protos;
    std::vector<gfx_recorded_data_t> data;
    std::vector<gfx_recorded_sprites_t> sprites;
    std::vector<gfx_recorded_model_t> models;
    std::vector<gfx_recorded_line_t> lines;
    std::vector<gfx_recorded_clear_t> clears;
    std::vector<gfx_view_t> views;  // every view pushed, in order
    int flushes = 0;
    int captures = 0;
    int orders = 0;  // drawing-order numbers handed out
    // Where the records' arrays live; a frame record no longer held gives its store to a later frame.
    std::shared_ptr<gfx_record_store_t> store;
};

// A record's texts (shader paths, declaration and part names) are views of texts kept for the life of
// the process, so that recording a name copies nothing: `text` kept (once), "" for an empty one.
std::string_view gfx_record_text(std::string_view text);

// The frame being drawn (since the last swap) and the last frame shown.
const gfx_frame_record_t& gfx_record_current();
const gfx_frame_record_t& gfx_record_last();
// Number of frames swapped since the reset.
int gfx_record_frames();
// The next number of the frame's drawing order, for what other families draw (the markup's items).
int gfx_record_next_order();
// The next place in the frame's drawing order, with the camera and view in force (3-D windows).
gfx_recorded_place_t gfx_record_place();
// A model part handed to gfx_record_model: its arrays (normals and texture coordinates may be null), its
// colour (0xAARRGGBB), its shader (a loaded shader object, else the shader's file name, or neither) and
// the light list its model is lit by (null: unlit).
struct gfx_model_part_t {
    const float* positions = nullptr;  // 3 per vertex
    const float* normals = nullptr;    // 3 per vertex
    const float* uvs = nullptr;        // 2 per vertex
    int vertex_count = 0;
    const uint16_t* indices = nullptr;
    int index_count = 0;
    uint32_t colour = 0xFFFFFFFFu;
    const void* shader = nullptr;
    std::string_view shader_name;  // a kept text (gfx_record_text)
    const void* lights = nullptr;
};
// Queues the triangles of a model part at the current world matrix: the model library draws its parts
// through it, so that a painted frame shows them.
void gfx_record_model(const gfx_model_part_t& part);
// Marks what is queued between the two calls as drawn by a UI window (nested calls count): its
// immediate records lie in the reference screen whatever their flags say, unless a view was pushed
// since the window began (a mirror draws the world through its own view).
void gfx_record_ui_begin();
void gfx_record_ui_end();

// Depths of the world, camera and view stacks (1, 0, 0 when balanced).
int gfx_record_world_depth();
int gfx_record_camera_depth();
int gfx_record_view_depth();

// Makes every visibility test answer true (or restores the real frustum).
void gfx_record_set_all_visible(bool all_visible);
// The next `count` calls of gfx_mode_init fail as a device refusing the mode would.
void gfx_record_fail_mode_inits(int count);
// Sets the window's focus: the renderer is active only while focused; the callback hears changes.
void gfx_record_set_focus(bool focused);
// The mode in use and its device, or null when none is set.
const gfx_mode_t* gfx_record_mode();
const gfx_device_t* gfx_record_mode_device();
// Calls of gfx_hw_flush since the reset.
int gfx_record_hw_flushes();
// True when frames can be painted (an off-screen OpenGL context exists or was just made); false on a
// machine without EGL, or while painting is forbidden.
bool gfx_record_can_paint();
// Makes the painter behave as on a machine without EGL (true), or lets it paint again (false).
void gfx_record_forbid_painting(bool forbidden);
// Frames painted since the reset (captured frames, and every frame with host_settings().draw).
int gfx_record_paints();
// True while a capture asked for by gfx_screen_capture waits for gfx_try_capture.
bool gfx_record_capture_pending();
// Takes a pending capture while the frame being drawn is held up (by a modal dialog): the picture is
// the frame last shown, as the screen still shows it, with the markup items from index `overlay_from`
// of pml_drawn (the dialogs) over it. Before any frame was shown it is the frame being drawn.
bool gfx_try_capture_over_shown_frame(size_t overlay_from);
// Pools inserted and not removed.
int gfx_record_pool_count();
