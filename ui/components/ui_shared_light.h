#pragma once
#include "engine/cache.h"
#include "engine/gfx_render.h"

#include <vector>

struct psm_t;

// A light that every live view of one class shares: the first view that holds it brings it to life,
// the last that gives it back ends it. The models those views draw reach it through the model
// library's light callback (`list`, with the shared light as the callback's object), as a light list
// of one item, the form the renderer reads the world's lights in.
class ui_shared_light_t {
public:
    explicit ui_shared_light_t(const r_light_t& light) : light_(light)
    {
        item_.object = &light_;
        list_.push_back(&item_);
    }
    ui_shared_light_t(const ui_shared_light_t&) = delete;
    ui_shared_light_t& operator=(const ui_shared_light_t&) = delete;

    // One view more, and one fewer (never below none).
    void hold() { ++views_; }
    void release()
    {
        if (views_ > 0)
            --views_;
    }
    // The live views holding the light.
    int views() const { return views_; }
    // The light list while a view holds the light, else null.
    const std::vector<c_item_t*>* light_list() const { return views_ > 0 ? &list_ : nullptr; }
    // The model library's light callback: `object` is the shared light.
    static const void* list(psm_t*, void* object)
    {
        return object ? static_cast<const ui_shared_light_t*>(object)->light_list() : nullptr;
    }

private:
    r_light_t light_;
    c_item_t item_{};
    std::vector<c_item_t*> list_;
    int views_ = 0;
};
