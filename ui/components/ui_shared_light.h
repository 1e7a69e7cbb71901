#pragma once
#include "engine/gfx_render.h"

struct psm_t;

// A light that every live view of one class shares: the first view that holds it brings it to life,
// the last that gives it back ends it. The models those views draw reach it through the model
// library's light callback (`list`, with the light as the callback's object).
class ui_shared_light_t {
public:
    explicit ui_shared_light_t(const r_light_t& light) : light_(light) {}

    // One view more, and one fewer (never below none).
    void hold() { ++views_; }
    void release()
    {
        if (views_ > 0)
            --views_;
    }
    // The live views holding the light.
    int views() const { return views_; }
    // The light while a view holds it, else null.
    const r_light_t* light() const { return views_ > 0 ? &light_ : nullptr; }
    // The model library's light callback: `object` is the shared light.
    static const void* list(psm_t*, void* object)
    {
        return object ? static_cast<const ui_shared_light_t*>(object)->light() : nullptr;
    }

private:
    r_light_t light_;
    int views_ = 0;
};
