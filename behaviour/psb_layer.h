#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/vptrhash.h"

// The vocabulary of one animated model's layer: its processes, typed attributes and features (each in
// a numbered group, with named states), and the names of its behaviour-list and transitions files.
// One is built per ".layer.xml" resource by the layer grammar's actions; afterwards the other
// description grammars resolve names against it. Registries hold small numbers plus 1 (0 is "absent");
// every lookup answers 0-based indices.

// Longest name (in characters) the registries take.
constexpr size_t psb_name_limit = 64;

// Attribute value types.
enum psb_attribute_type_t : uint32_t { psb_attribute_float = 0, psb_attribute_int = 1, psb_attribute_boolean = 2 };

// One feature of a layer and its states.
struct psb_feature_t {
    // The feature's name.
    std::string name;
    // 1-based id in registration order.
    uint8_t id = 0;
    // The group counter when the feature was added (the first group is 1).
    uint32_t group = 0;
    // State name -> 1-based state id.
    vptrhash_t<uintptr_t> states;
    // Number of states.
    uint32_t state_count = 0;
};

// A layer description.
class psb_layer_t {
public:
    psb_layer_t() = default;
    psb_layer_t(const psb_layer_t&) = delete;
    psb_layer_t& operator=(const psb_layer_t&) = delete;

    // Building operations, called by the layer grammar in file order. Refused registrations print
    // their message and leave the layer as it was.
    void set_name(const char* name);
    bool add_process(const char* name, size_t length);
    bool add_attribute(const char* name, size_t length, uint32_t type);
    // Opens the next feature group.
    void begin_group();
    bool add_feature(const char* name, size_t length);
    // Adds a state to the feature being read.
    bool add_state(const char* name, size_t length);
    bool set_behaviors_file(const char* name);
    bool set_transitions_file(const char* name);

    // Lookups; each prints its message and answers false when the name does not resolve.
    bool find_feature(const char* feature, const psb_feature_t** out_feature) const;
    bool find_feature_index(const char* feature, uint8_t* out_index) const;
    bool find_state(const char* feature, const char* state, uint8_t* out_index) const;
    bool find_process(const char* process, uint32_t* out_index) const;
    // Answers (type << 16) | index.
    bool find_attribute(const char* attribute, uint32_t* out_value) const;
    // The name of the feature with 0-based `index` ("unknown feature" when there is none); false when it
    // does not fit `size` bytes (the buffer then ends in a zero byte).
    bool feature_name(uint32_t index, char* out_buffer, size_t size) const;
    // One byte per feature, in registration order: its state count.
    void get_state_counts(uint8_t* out_counts) const;
    const char* get_name() const { return name_.c_str(); }

    uint32_t process_count() const { return process_count_; }
    uint32_t attribute_count() const { return attribute_count_; }
    uint32_t feature_count() const { return feature_count_; }
    // The feature records in registration order (index = id - 1).
    const std::vector<std::unique_ptr<psb_feature_t>>& features() const { return feature_list_; }
    // The behaviour-list file ("" until set).
    const char* behaviors_file() const { return behaviors_file_.c_str(); }
    bool has_behaviors_file() const { return has_behaviors_file_; }
    bool has_transitions() const { return has_transitions_; }
    const char* transitions_file() const { return transitions_file_.c_str(); }

private:
    std::string name_;
    uint32_t process_count_ = 0;
    uint32_t attribute_count_ = 0;
    uint32_t feature_count_ = 0;
    uint32_t group_counter_ = 0;
    // Process name -> 1-based id.
    vptrhash_t<uintptr_t> processes_;
    // Attribute name -> ((type << 16) | index) + 1.
    vptrhash_t<uintptr_t> attributes_;
    // Feature name -> 1-based id; the records in registration order.
    vptrhash_t<uintptr_t> features_;
    std::vector<std::unique_ptr<psb_feature_t>> feature_list_;
    std::string behaviors_file_;
    bool has_behaviors_file_ = false;
    std::string transitions_file_;
    bool has_transitions_ = false;
    // Why the feature being read was refused ("duplicate feature", "refused feature"), null while it
    // was taken: the states of a refused feature are ignored with a warning.
    const char* feature_refusal_ = nullptr;
    // The feature states are added to; null before the first feature.
    psb_feature_t* current_feature_ = nullptr;
};
