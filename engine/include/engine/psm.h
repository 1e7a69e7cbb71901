#pragma once
#include <cstdint>

#include "engine/api.h"
#include "engine/matrix.h"
#include "engine/quat.h"
#include "engine/vec.h"

// The model library "lib/psm" (libpsm.so): models read from the engine's model format (see
// docs/formats.md, "Models and animations"), their instances, bones, parts and shaders, animations
// and animation descriptors. The module loads the library through dll_register("lib/psm") and binds
// these names with GetProcAddress. Every call checks its handles and indices: a bad one is reported
// with an error line and answered with null, -1, false or 0, never a crash.

// One named part of a model: a mesh the game draws or reads (roads, prefabs and collision parts are
// read from here through psm_get_info).
struct psm_part_t {
    const char* name;                // part name, unique in its model
    const char* shader;              // default shader path of the part's slot ("" when none)
    int bone;                        // bone the part moves with, -1 for the model's own frame
    int vertex_count;                // at most 65536, so u16 indices reach every vertex
    const vec3_t* positions;         // vertex_count points, model space
    const vec3_t* normals;           // vertex_count normals, or null when the file gives none
    const float* uvs;                // 2 per vertex (u, v), or null when the file gives none
    int index_count;                 // three per triangle
    const uint16_t* indices;         // index_count vertex numbers, each below vertex_count
    const uint16_t* triangle_words;  // one word per triangle (collision material), or null
    int direction_count;             // entries of the direction list, 0 when none
    vec3_t* directions;              // optional direction list the game may rewrite, or null
    vec3_t bsphere_centre;           // bounding sphere of the positions: centre of their box
    float bsphere_radius;            // and the largest distance of a position from it
};

// One named bone: a frame of the skeleton.
struct psm_bone_t {
    const char* name;  // bone name, unique in its model
    int parent;        // index of the parent bone (always lower), -1 for a root
    mat4_t local;      // rest frame relative to the parent (column vectors)
    mat4_t global;     // rest frame in model space: parent's global times local
};

// The shared, read-only data of one model file (counted: psm_alloc_info, psm_info_release).
struct psm_info_t {
    const char* path;  // the path the model was loaded from
    int part_count;
    const psm_part_t* parts;  // part_count parts in file order
    int bone_count;
    const psm_bone_t* bones;  // bone_count bones in file order (parents first)
};

// An instance of a model: its own part visibility, shaders, bone offsets and animation descriptors.
struct psm_t;

// Answers what the light callback of an instance gives for it when it is drawn (the engine's light
// list); `object` is the pointer handed to psm_set_light_callback.
typedef const void* (*psm_light_callback_t)(psm_t* model, void* object);

// --- Model data -----------------------------------------------------------------------------------

// Loads a model file (or takes one more use of the already loaded one); null with a message when the
// file is missing or not a valid model.
ENGINE_API psm_info_t* psm_alloc_info(const char* path);
// Gives back one use of the model data; the last use frees it with its animations.
ENGINE_API void psm_info_release(psm_info_t* info);
// Adds an animation file to the model data and answers its index (the same index when the file was
// added before); also stores it in `out_index` when given. -1 (all ones) with a message when the
// file is missing or not a valid animation.
ENGINE_API int psm_anim_add_file(psm_info_t* info, const char* path, int* out_index);
// Frame count and length in seconds of animation `anim`; 0 for a bad index.
ENGINE_API int psm_anim_get_frames(const psm_info_t* info, int anim);
ENGINE_API float psm_anim_get_length(const psm_info_t* info, int anim);

// --- Instances ------------------------------------------------------------------------------------

// Creates an instance of the model at `path`; null with a message when the model cannot be loaded.
// The two middle words are accepted for the callers' four-word form and must be 0; `flags` is kept
// with the instance as given.
ENGINE_API psm_t* psm_alloc(const char* path, int reserved0, int reserved1, unsigned flags);
// Frees an instance and gives back its use of the model data; null is ignored.
ENGINE_API void psm_free(psm_t* model);
// The model data of an instance (null for a bad instance).
ENGINE_API psm_info_t* psm_get_info(psm_t* model);
// Marks an instance static: psm_add_time no longer advances its descriptors.
ENGINE_API void psm_set_static(psm_t* model);

// Number of parts; index of the part named `name`, -1 when there is none.
ENGINE_API int psm_get_num_parts_item(const psm_t* model);
ENGINE_API int psm_part_find(const psm_t* model, const char* name);
// Visibility of a part (all parts start visible); psm_draw skips hidden parts.
ENGINE_API bool psm_part_get_visible(const psm_t* model, int part);
ENGINE_API void psm_part_set_visible(psm_t* model, int part, bool visible);
// Bounding sphere of a part: centre in x, y, z and radius in w. False for a bad part.
ENGINE_API bool psm_get_part_bsphere(const psm_t* model, int part, vec4_t* out_sphere);
// Sets the shader of slot `slot` (slot k is the shader of part k) to the shader at `shader_path`.
ENGINE_API bool psm_set_shader(psm_t* model, int slot, const char* shader_path);
// Positions of a part as the instance's bones pose it now (a part without a bone keeps its file
// positions); `out_count` receives the vertex count. Null for a bad part. Valid until the next call
// for the same instance and part, or psm_free.
ENGINE_API const vec3_t* psm_update_gdata(psm_t* model, int part, int* out_count);

// Index of the bone named `name` in the model's skeleton, -1 when there is none.
ENGINE_API int psm_bone_find_global(const psm_t* model, const char* name);
// The bone's model-space frame as posed now (its translation is the bone's position), and its
// inverse. False, with `out` the identity, for a bad bone.
ENGINE_API bool psm_bone_get_matrix(const psm_t* model, int bone, mat4_t* out);
ENGINE_API bool psm_bone_comp_inv_matrix(const psm_t* model, int bone, mat4_t* out);
// Offset and rotation that stay on a bone until set again: the offset moves the bone in its parent's
// frame, the rotation turns it about its own origin. Children follow.
ENGINE_API bool psm_bone_set_ext_pos(psm_t* model, int bone, const vec3_t* offset);
ENGINE_API bool psm_bone_set_ext_rot(psm_t* model, int bone, const quat_t* rotation);

// --- Drawing --------------------------------------------------------------------------------------

// Sets the callback that gives the instance its lights when it is drawn (null: none).
ENGINE_API void psm_set_light_callback(psm_t* model, psm_light_callback_t callback, void* object);
// Draws every visible part with its slot's shader; `flags` and `colour` (0xAARRGGBB) go to the
// renderer. Headless: each part drawn is recorded (engine/psm_record.h).
ENGINE_API void psm_draw(psm_t* model, unsigned flags, unsigned colour);
// Draws one part, visible or not, with `shader` (a renderer shader handle) or, when null, its slot's
// shader. Recorded like psm_draw.
ENGINE_API void psm_draw_part(psm_t* model, int part, const void* shader, unsigned flags, unsigned colour);

// --- Animation descriptors ------------------------------------------------------------------------
// A descriptor plays one animation of the model on one instance. Its time runs from 0 (frame 0) to
// the animation's length (the last frame); it ends at its stop frame (the last frame unless set) and
// then answers false to psm_adesc_add_time, keeping the time it did not use (psm_adesc_get_rtime).

// Creates a descriptor of animation `anim` starting at frame `start_frame`; `flags` and `priority`
// are kept with it. Its handle (from 1), or 0 with a message.
ENGINE_API int psm_adesc_create(psm_t* model, int anim, int start_frame, unsigned flags, int priority);
// Removes a descriptor; its handle is no longer valid.
ENGINE_API void psm_adesc_remove(psm_t* model, int adesc);
// Advances a descriptor by `seconds`: true while it runs, false once it has reached its stop frame
// (or had already stopped).
ENGINE_API bool psm_adesc_add_time(psm_t* model, int adesc, float seconds);
// Advances every running descriptor of a non-static instance by `seconds`.
ENGINE_API void psm_add_time(psm_t* model, float seconds);
// The time the last psm_adesc_add_time did not use because the descriptor stopped (0 while running).
ENGINE_API float psm_adesc_get_rtime(const psm_t* model, int adesc);
// The current position in frames (fractional): 0 at the start, frames - 1 at the end.
ENGINE_API float psm_adesc_get_nw_frame(const psm_t* model, int adesc);
// Sets the frame the descriptor stops at; -1 is the last frame.
ENGINE_API void psm_adesc_set_stop_frame(psm_t* model, int adesc, int frame);
// Makes the descriptor loop: it never stops and its time wraps at the length.
ENGINE_API void psm_adesc_loop_forever(psm_t* model, int adesc);
// Moves the descriptor to `frame` (clamped to the animation) without changing its stopped state.
ENGINE_API void psm_adesc_reset_anim(psm_t* model, int adesc, int frame);
// Clears the stopped state, so a frozen descriptor keeps its pose applied.
ENGINE_API void psm_adesc_unstop(psm_t* model, int adesc);
// True once the descriptor has reached its stop frame (until psm_adesc_unstop or a loop).
ENGINE_API bool psm_adesc_stopped(const psm_t* model, int adesc);
// Weight of the descriptor in the blend of the instance's animations.
ENGINE_API void psm_adesc_set_cur_weight(psm_t* model, int adesc, float weight);
ENGINE_API float psm_adesc_get_cur_weight(const psm_t* model, int adesc);
// Rates (per second) at which the weight rises and falls when the renderer blends, kept with the
// descriptor (headless, nothing is blended), and one of them (0 rise, 1 fall).
ENGINE_API void psm_adesc_set_wspeeds(psm_t* model, int adesc, float rise, float fall);
ENGINE_API float psm_adesc_get_wspeed(const psm_t* model, int adesc, int which);
