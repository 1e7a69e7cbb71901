#pragma once
#include <cstdint>
#include <string>

#include "engine/ui_view.h"
#include "engine/vec.h"

struct psm_t;

// The 3-D view of one vehicle ("ui.comp.make"): a truck or a trailer assembled from its make's
// accessory definitions under "/makes/", turning inside the view. Dragging with the first button alone
// turns it once unlocked; without dragging it may turn by itself.
class ui_comp_make_t : public ui_view_t {
public:
    // Part slots of an assembly, and the longest accessory name.
    static constexpr int part_count = 64;
    static constexpr int name_size = 32;
    // Wheel positions a model holds at most (front, rear).
    static constexpr int front_wheels = 2;
    static constexpr int rear_wheels = 4;

    ui_comp_make_t();
    ~ui_comp_make_t() override;

    const char* get_default_name() const override { return "ui.comp.make"; }

    // Phase 0: the first view makes the shared light.
    int init(int phase) override;
    // Phase 0: frees the models; the last view gives the light back.
    int destroy(int phase) override;
    // Per frame: turns the model by itself when asked to.
    void handler() override;
    // Draws the parts and the wheels while visible.
    void draw() override;
    // The releases of the held buttons end a drag and give the pointer back.
    bool handle_event(ui_event_t* event) override;
    // A press starts a drag (capturing the pointer, hiding it); a move with the first button alone turns.
    bool action(ui_view_t* sender, int code, void* param) override;

    // Assembles `make` of `kind` ("truck", or a trailer kind) from `accessories` (64 names of 32 bytes,
    // empty ones skipped); `variant` picks the "shader%d" of other kinds. An empty make builds nothing.
    void build_truck(const char* make, const char (*accessories)[name_size], const char* kind, int variant);
    // The paint colour (24 bits; the alpha is always 0xFF).
    void set_color(uint32_t rgb) { paint = rgb | 0xFF000000u; }
    // "/makes/KIND/MAKE/acc/ACC/FILE" when it exists, else the make's shared folder's.
    static std::string acc_file_path(const char* kind, const char* make, const char* accessory, const char* file);
    // Frees every model held.
    void free_models();
    // One use of the light the 3-D vehicle views share, taken and given back; while any use is held
    // the engine light callback hands a model that light (null otherwise).
    static void hold_shared_light();
    static void release_shared_light();
    static const void* shared_light_list(psm_t* model, void* object);
    // Draws the parts and the wheels at the current world matrix.
    void draw_models();
    // Shows or hides a part of every model held (a model without it is skipped).
    void show_part(const char* part, bool visible);

    psm_t* parts[part_count] = {};
    vec3_t offsets[part_count] = {};
    psm_t* front_wheel = nullptr;
    psm_t* rear_wheel = nullptr;
    vec3_t front_positions[front_wheels] = {};
    vec3_t rear_positions[rear_wheels] = {};
    int front_count = 0;
    int rear_count = 0;
    uint32_t paint = 0xFFFFFFFFu;
    float distance = -1000.0f;
    float angles[3] = {0.0f, 90.0f, 0.0f};
    vec3_t camera_offset{};
    vec3_t model_offset{};
    uint32_t held_buttons = 0;
    float drag_x = 0.0f;
    float drag_angle = 0.0f;
    uint8_t locked = 1;  // a drag does not turn the model until cleared
    uint8_t auto_turn = 0;
};
