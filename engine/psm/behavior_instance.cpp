#include "behavior_instance.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/cache.h"
#include "engine/log.h"
#include "instance.h"
#include "model_registry.h"

// The words of the compiled description block this file reads (docs/formats.md, "Compiled
// description block"); every reference in it is an offset from the block's start.
namespace {

enum : uint32_t {
    header_layer_count = 0,
    header_model = 24,
    header_layers = 32,
    entry_feature_count = 0,
    entry_state_counts = 4,
    entry_animation_count = 12,
    entry_behavior_count = 16,
    entry_hold_set_count = 20,
    entry_behaviors = 28,
    entry_transitions = 32,
    entry_hold_sets = 36,
    entry_animations = 40,
    record_run_state_size = 28,
    record_runner = 32,
    transitions_matrices = 12,
    action_type = 0,
    action_behavior = 8,
};

// Transition actions that play a behaviour.
enum : uint32_t { action_simple = 2, action_compound = 4 };

// Most layers and features an instance follows (a layer holds at most 255 features).
constexpr uint32_t max_layers = 64;
constexpr uint32_t max_features = 255;
// Most entries of a hold set the instance poses.
constexpr uint32_t max_hold_entries = 64;

std::vector<const psb_runner_ops_t*>& runner_tables()
{
    static std::vector<const psb_runner_ops_t*> tables;
    return tables;
}

// A word of the block, 0 past its end (the cache's size bounds every read).
uint32_t word(const c_item_t* item, uint32_t at)
{
    if (!item->object || size_t{at} + 4 > item->size)
        return 0;
    uint32_t value;
    memcpy(&value, static_cast<const uint8_t*>(item->object) + at, sizeof value);
    return value;
}

uint8_t byte(const c_item_t* item, uint32_t at)
{
    return item->object && at < item->size ? static_cast<const uint8_t*>(item->object)[at] : 0;
}

// The context of one runner call on `layer` of `instance`.
psb_instance_context_t context_of(psm_t& instance, psm_behavior_layer_t& layer, uint32_t index)
{
    psb_instance_context_t context;
    context.model = &instance;
    context.block = instance.behavior->item->object;
    context.layer = layer.entry;
    context.feature_table = layer.features.data();
    context.layer_index = index;
    return context;
}

// The operations a runner copy names; null (with a message) when its word names none.
const psb_runner_ops_t* ops_of(const std::vector<uint32_t>& runner, const char* model)
{
    const uint32_t table = runner.empty() ? 0 : runner[0];
    if (table == 0 || table > runner_tables().size()) {
        error("psm: %s: a behaviour's runner names no runner operations (%u)", model, table);
        return nullptr;
    }
    return runner_tables()[table - 1];
}

// Poses the hold set `index` of the layer asks for: each of its entries' animations held on its frame.
void hold(psm_t& instance, psm_behavior_layer_t& layer, uint32_t layer_index, uint32_t index)
{
    const c_item_t* const item = instance.behavior->item;
    if (index >= word(item, layer.entry + entry_hold_set_count))
        return;
    const uint32_t set = word(item, word(item, layer.entry + entry_hold_sets) + 4 * index);
    const uint32_t count = std::min(word(item, set), max_hold_entries);
    for (uint32_t entry = 0; entry < count; ++entry) {
        const uint32_t at = set + 8 + 16 * entry;
        const uint32_t id = word(item, at) & 0xFFFF;
        if (id >= word(item, layer.entry + entry_animation_count))
            continue;
        const int anim = static_cast<int>(word(item, word(item, layer.entry + entry_animations + 4 * id)));
        const int frame = static_cast<int>(word(item, at + 4));
        const int adesc = psm_adesc_create(&instance, anim, frame, 0, static_cast<int>(128 * layer_index));
        if (adesc == 0)
            continue;
        if (byte(item, at + 8) & 1) {
            float weight;
            const uint32_t bits = word(item, at + 12);
            memcpy(&weight, &bits, sizeof weight);
            psm_adesc_set_cur_weight(&instance, adesc, weight);
        }
        layer.holding.push_back(adesc);
    }
}

// Lets the held pose go.
void release_hold(psm_t& instance, psm_behavior_layer_t& layer)
{
    for (const int adesc : layer.holding)
        psm_adesc_remove(&instance, adesc);
    layer.holding.clear();
}

// Copies the runner of behaviour `id` into the layer; false when the behaviour has none.
bool copy_runner(const c_item_t* item, psm_behavior_layer_t& layer, uint32_t id)
{
    if (id >= word(item, layer.entry + entry_behavior_count))
        return false;
    const uint32_t record = word(item, word(item, layer.entry + entry_behaviors) + 4 * id);
    const uint32_t runner = record ? word(item, record + record_runner) : 0;
    const uint32_t size = record ? word(item, record + record_run_state_size) : 0;
    if (runner == 0 || size < 28 || size_t{runner} + size > item->size)
        return false;
    layer.running.assign((size + 3) / 4, 0);
    memcpy(layer.running.data(), static_cast<const uint8_t*>(item->object) + runner, size);
    return true;
}

// Starts the transition of the first feature whose asked state differs from its state: the behaviour
// its transitions name for the way, or, when they name none, the state taken at once.
void start_transition(const c_item_t* item, psm_behavior_layer_t& layer)
{
    const uint32_t matrices = word(item, layer.entry + entry_transitions) + transitions_matrices;
    const uint32_t state_counts = word(item, layer.entry + entry_state_counts);
    for (uint32_t feature = 0; feature < layer.requested.size(); ++feature) {
        const int to = layer.requested[feature];
        const uint8_t from = layer.features[8 * feature];
        if (to < 0 || to == from)
            continue;
        const uint32_t states = byte(item, state_counts + feature);
        const uint32_t matrix = word(item, matrices + 4 * feature);
        const uint32_t action = matrix ? word(item, matrix + 4 * (from * states + static_cast<uint32_t>(to))) : 0;
        const uint32_t type = action ? word(item, action + action_type) : 0;
        if ((type == action_simple || type == action_compound) &&
            copy_runner(item, layer, word(item, action + action_behavior))) {
            layer.features[8 * feature + 1] = 1;
            return;
        }
        layer.features[8 * feature] = static_cast<uint8_t>(to);
    }
}

}  // namespace

psm_behavior_state_t::~psm_behavior_state_t()
{
    if (item)
        ci_dec_refs(item);
}

bool psm_is_description(const char* path)
{
    constexpr const char suffix[] = ".info.xml";
    const size_t length = path ? strlen(path) : 0;
    return length >= sizeof suffix - 1 && strcmp(path + length - (sizeof suffix - 1), suffix) == 0;
}

psm_model_data_t* psm_behavior_open(const char* path, std::unique_ptr<psm_behavior_state_t>& out)
{
    auto state = std::make_unique<psm_behavior_state_t>();
    state->item = mm_precache(path);
    const c_item_t* const item = state->item;
    if (!item || !item->object || item->size < header_layers) {
        error("psm_alloc: cannot load the description %s", path);
        return nullptr;
    }
    psm_info_t* info = nullptr;
    memcpy(&info, static_cast<const uint8_t*>(item->object) + header_model, sizeof info);
    psm_model_data_t* const model = info ? psm_model_lookup(info, "psm_alloc") : nullptr;
    const uint32_t layers = word(item, header_layer_count);
    if (!model || layers > max_layers) {
        error("psm_alloc: the description %s names no model or %u layers", path, layers);
        return nullptr;
    }
    for (uint32_t index = 0; index < layers; ++index) {
        psm_behavior_layer_t& layer = state->layers.emplace_back();
        layer.entry = word(item, header_layers + 4 * index);
        const uint32_t features = std::min(word(item, layer.entry + entry_feature_count), max_features);
        layer.features.assign(8 * size_t{features}, 0);
        layer.requested.assign(features, -1);
    }
    ++model->uses;
    out = std::move(state);
    return model;
}

void psm_behavior_add_time(psm_t& instance, float seconds)
{
    psm_behavior_state_t& state = *instance.behavior;
    for (uint32_t index = 0; index < state.layers.size(); ++index) {
        psm_behavior_layer_t& layer = state.layers[index];
        if (layer.running.empty()) {
            start_transition(state.item, layer);
            if (layer.running.empty())
                continue;
        }
        const psb_runner_ops_t* const ops = ops_of(layer.running, instance.model->path);
        if (!ops) {
            layer.running.clear();
            continue;
        }
        psb_instance_context_t context = context_of(instance, layer, index);
        float step = seconds;
        const bool runs = ops->advance(layer.running.data(), &step, &context);
        // The pose the behaviour before this one left is held until this one has posed the bones, so
        // letting it go shows no gap.
        release_hold(instance, layer);
        if (!runs) {
            ops->terminate(layer.running.data(), &context);
            layer.running.clear();
            if (context.flags & 1)
                hold(instance, layer, index, context.hold_set);
        }
    }
}

ENGINE_API uint32_t psm_runner_ops_register(const psb_runner_ops_t* ops)
{
    if (!ops || !ops->advance || !ops->terminate || !ops->reset) {
        error("psm_runner_ops_register: no runner operations");
        return 0;
    }
    std::vector<const psb_runner_ops_t*>& tables = runner_tables();
    const auto found = std::find(tables.begin(), tables.end(), ops);
    if (found != tables.end())
        return static_cast<uint32_t>(found - tables.begin() + 1);
    tables.push_back(ops);
    return static_cast<uint32_t>(tables.size());
}

namespace {

// The layer of a behaviour-driven instance and the feature a call names; null after an error line.
psm_behavior_layer_t* feature_layer(const psm_t* model, int layer, int feature, const char* caller)
{
    psm_t* const instance = psm_instance_lookup(model, caller);
    if (!instance)
        return nullptr;
    if (!instance->behavior) {
        error("%s: %s is not driven by behaviours", caller, instance->model->path);
        return nullptr;
    }
    if (layer < 0 || static_cast<size_t>(layer) >= instance->behavior->layers.size()) {
        error("%s: no layer %d in %s", caller, layer, instance->model->path);
        return nullptr;
    }
    psm_behavior_layer_t& found = instance->behavior->layers[static_cast<size_t>(layer)];
    if (feature < 0 || static_cast<size_t>(feature) >= found.requested.size()) {
        error("%s: no feature %d in layer %d of %s", caller, feature, layer, instance->model->path);
        return nullptr;
    }
    return &found;
}

}  // namespace

ENGINE_API bool psm_feature_request(psm_t* model, int layer, int feature, int state)
{
    psm_behavior_layer_t* const found = feature_layer(model, layer, feature, "psm_feature_request");
    if (!found)
        return false;
    const c_item_t* const item = model->behavior->item;
    const uint32_t states = byte(item, word(item, found->entry + entry_state_counts) + static_cast<uint32_t>(feature));
    if (state < 0 || static_cast<uint32_t>(state) >= states) {
        error("psm_feature_request: feature %d of layer %d of %s has no state %d", feature, layer, model->model->path,
              state);
        return false;
    }
    found->requested[static_cast<size_t>(feature)] = state;
    return true;
}

ENGINE_API int psm_feature_get_state(const psm_t* model, int layer, int feature)
{
    const psm_behavior_layer_t* const found = feature_layer(model, layer, feature, "psm_feature_get_state");
    return found ? found->features[8 * static_cast<size_t>(feature)] : -1;
}
