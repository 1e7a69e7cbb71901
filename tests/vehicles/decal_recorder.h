#pragma once
#include <string>
#include <vector>

#include "common/decal_store.h"

// A decal store that places nothing and keeps every placement asked of it.
class decal_recorder_t : public decal_store_t {
public:
    struct placement_t {
        std::string script;
        vec3_t start;
        vec3_t end;
        decal_params_t params;
    };

    decal_recorder_t() { decal_store_install(this); }
    ~decal_recorder_t() override { decal_store_install(nullptr); }

    void acquire(int) override {}
    c_item_t* place(vprocess_t*, const vec3_t& start, const vec3_t& end, const phys_pair_t&, const char* script,
                    const decal_params_t& params, int, float) override
    {
        placements.push_back({script ? script : "", start, end, params});
        return nullptr;
    }
    void refresh(c_item_t*) override {}
    void release() override {}
    void remove(c_item_t*, bool) override {}
    bool clear(c_item_t*) override { return false; }
    bool clear_entity(const entity_t*) override { return false; }

    // The placements of `script`.
    std::vector<placement_t> of(const std::string& script) const
    {
        std::vector<placement_t> found;
        for (const placement_t& placement : placements)
            if (placement.script == script)
                found.push_back(placement);
        return found;
    }

    std::vector<placement_t> placements;
};
