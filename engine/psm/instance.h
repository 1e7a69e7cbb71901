#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "behavior_instance.h"
#include "model_data.h"

// One animation descriptor of an instance.
struct psm_adesc_t {
    int handle = 0;
    int anim = 0;
    unsigned flags = 0;
    int priority = 0;
    double time = 0;      // seconds from frame 0, kept in double so left-over time is exact
    int stop_frame = -1;  // -1: the last frame
    bool looping = false;
    bool stopped = false;
    float rtime = 0;  // time the last advance did not use
    float weight = 1.0f;
    float wspeeds[2] = {0.0f, 0.0f};  // rise, fall
};

// Offset and rotation the game keeps on one bone.
struct psm_bone_pose_t {
    vec3_t ext_pos;
    quat_t ext_rot;
};

// An instance of a model (the public handle is a pointer to it).
struct psm_t {
    psm_model_data_t* model = nullptr;  // holds one use of it
    unsigned flags = 0;
    bool is_static = false;
    std::vector<bool> visible;                         // per part
    std::vector<std::string_view> shaders;             // per slot (= part), kept texts (gfx_record_text)
    std::vector<psm_bone_pose_t> poses;                // per bone
    std::vector<std::vector<vec3_t>> posed_positions;  // per part, filled by psm_update_gdata
    psm_light_callback_t light_callback = nullptr;
    void* light_object = nullptr;
    std::vector<psm_adesc_t> adescs;
    int next_adesc = 1;
    // Set for an instance of a description: its behaviours play its descriptors.
    std::unique_ptr<psm_behavior_state_t> behavior;

    // True for a valid part index; otherwise logs an error naming `caller`.
    bool check_part(int part, const char* caller) const;
    // True for a valid bone index; otherwise logs an error naming `caller`.
    bool check_bone(int bone, const char* caller) const;
    // The descriptor with this handle, or null after an error naming `caller`.
    psm_adesc_t* find_adesc(int handle, const char* caller);
    // The turn the instance's descriptors give the bone now (the identity when none animates it).
    quat_t animated_turn(int bone) const;
    // The bone's model-space frame with every animated turn, offset and rotation up its chain applied.
    mat4_t posed_bone(int bone) const;
};

// The instance behind a handle; null (with an error line naming `caller`) when it is not a live one.
psm_t* psm_instance_lookup(const psm_t* model, const char* caller);
// Frees every instance (engine reset).
void psm_instances_reset();
