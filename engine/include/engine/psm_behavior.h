#pragma once
#include <cstdint>

#include "engine/api.h"

struct psm_t;

// Instances animated by their behaviours. `psm_alloc` on a name ending in ".info.xml" takes the
// description block of that name from the resource cache (the module's ".info.xml" kind compiles it)
// and makes an instance of the block's model whose animations are played by the block's behaviours:
// the game asks for a feature's state with `psm_feature_request`, and each `psm_add_time` runs the
// behaviour that the layer's transitions name for the way from the feature's state to the asked one
// (or moves the feature there at once when none is named). The behaviour's runner is copied into the
// instance, so instances of one block run apart; when it ends, its end states become the features'
// states and the descriptors it froze keep their pose until the next behaviour of the layer starts.
// See docs/formats.md, "Behaviour-driven instances".

// The animated entity's event sink: sound (0), question (1), info (2) and the ramp query (8).
class psb_event_sink_t {
public:
    virtual ~psb_event_sink_t() = default;
    // Takes an event; the answer matters for questions and ramp queries.
    virtual bool on_event(uint32_t type, uint32_t length, const void* data) = 0;
};

// What the engine hands every runner operation about the animated instance.
struct psb_instance_context_t {
    // The psm model instance the descriptors play on.
    psm_t* model = nullptr;
    // The entity's event sink (null: events are not sent and ramp queries answer yes).
    psb_event_sink_t* sink = nullptr;
    // The compiled description block where it lies now, and the offset of the behaviour's layer entry.
    const void* block = nullptr;
    uint32_t layer = 0;
    // The instance's feature table of this layer: 8 bytes per feature (state index, changing flag).
    uint8_t* feature_table = nullptr;
    // The runner advanced last.
    void* runner = nullptr;
    // Raises animation priorities by 128 per index.
    uint32_t layer_index = 0;
    // Bit 0: weights are driven by an enclosing blend (after terminate: a hold is requested); bit 1: a
    // weight scale is active.
    uint8_t flags = 0;
    // The weight an enclosing block passes down.
    float weight = 1;
    // After terminate: the hold set the behaviour asks for (valid while flag bit 0 is set).
    uint32_t hold_set = 0;
    // The current frame of the enclosing animation (for frame triggers of its children).
    float frame = 0;
};

// The three operations of a behaviour runner, in slot order; each takes the runner (in the block or a
// copy of it) and the instance's context.
struct psb_runner_ops_t {
    // Runs the behaviour for `*step` seconds: true while it runs; when it ends `*step` holds the time
    // it did not use.
    bool (*advance)(void* runner, float* step, psb_instance_context_t* context);
    // Applies the ended behaviour's end states to the context's feature table; 0 in every case.
    int (*terminate)(void* runner, psb_instance_context_t* context);
    // Stops every running node of the behaviour (removing its descriptors).
    void (*reset)(void* runner, psb_instance_context_t* context);
};

// Keeps a table of runner operations and answers the word that names it at the start of every runner
// that uses it (1 and up; the same table answers the same word). 0 with a message for null.
ENGINE_API uint32_t psm_runner_ops_register(const psb_runner_ops_t* ops);

// Asks for feature `feature` of layer `layer` of a behaviour-driven instance to reach state `state`.
// False with a message for a bad instance, layer, feature or state.
ENGINE_API bool psm_feature_request(psm_t* model, int layer, int feature, int state);
// The state feature `feature` of layer `layer` is in now; -1 with a message for a bad argument.
ENGINE_API int psm_feature_get_state(const psm_t* model, int layer, int feature);
