#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/psm.h"

// Storage behind the model library's public records: what one model file holds.

// One key of a bone track: the bone's turn at a frame.
struct psm_anim_key_t {
    float frame = 0;
    quat_t turn;
};

// The turns of one bone over an animation, keys in rising frame order.
struct psm_anim_track_t {
    std::string bone_name;
    int bone = -1;  // the bone in the model the animation was added to, -1 when it has none
    std::vector<psm_anim_key_t> keys;
};

// One animation of a model: its file, timing and bone tracks.
struct psm_anim_data_t {
    std::string path;
    int frames = 0;    // at least 1
    float length = 0;  // seconds, above 0
    std::vector<psm_anim_track_t> tracks;
};

// The arrays of one part, owned; psm_part_t points into them.
struct psm_part_store_t {
    std::string name;
    std::string_view drawn_name;  // the name as the draw records name it (gfx_record_text)
    std::string shader;
    int bone = -1;
    std::vector<vec3_t> positions;
    std::vector<vec3_t> normals;
    std::vector<float> uvs;
    std::vector<uint16_t> indices;
    std::vector<uint16_t> triangle_words;
    std::vector<vec3_t> directions;
};

// A loaded model: the public psm_info_t over owned storage, its animations and its use count.
struct psm_model_data_t : psm_info_t {
    std::string path_text;
    std::vector<psm_part_store_t> part_store;
    std::vector<std::string> bone_names;
    std::vector<psm_bone_t> bone_records;
    std::vector<psm_anim_data_t> anims;
    int uses = 0;

    psm_model_data_t() : psm_info_t{} {}
    psm_model_data_t(const psm_model_data_t&) = delete;
    psm_model_data_t& operator=(const psm_model_data_t&) = delete;

    // Points the public records at the storage; call once the storage is complete.
    void publish();

private:
    std::vector<psm_part_t> part_records_;
};

// The largest vertex count of a part: every vertex must be reachable by a u16 index.
constexpr int psm_max_part_vertices = 65536;
