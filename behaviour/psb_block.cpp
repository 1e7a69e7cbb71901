#include "behaviour/psb_block.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/engine_api.h"

void psb_block_tree_t::begin_blocks()
{
    root_ = std::make_unique<psb_block_t>();
    root_->kind = psb_block_root;
    current_ = root_.get();
    depth_ = 1;
}

bool psb_block_tree_t::begin_block(const psb_block_desc_t& desc)
{
    if (!current_)
        return false;
    auto block = std::make_unique<psb_block_t>();
    if (!fill(*block, desc, *current_))
        return false;
    block->parent = current_;
    current_->cached_length = -1;
    current_->children.push_back(std::move(block));
    current_ = current_->children.back().get();
    ++depth_;
    return true;
}

bool psb_block_tree_t::fill(psb_block_t& block, const psb_block_desc_t& desc, const psb_block_t& parent)
{
    if (desc.time_given && desc.frame_given) {
        api::error("code block cannot be time and frame triggered at once !");
        return false;
    }
    if (desc.event_given && desc.event_type >= 4) {
        api::error("invalid event type !");
        return false;
    }
    block.kind = desc.kind;
    block.animation_context = parent.animation_context || desc.kind == psb_block_animation;
    // A speed of 0 (or below, or past every number) would divide lengths and left-over times by
    // nothing: the block keeps its own pace.
    if (desc.speed_given && !(desc.speed > 0 && std::isfinite(desc.speed))) {
        api::error("<psb> invalid speed (%f) ! ignoring speed", desc.speed);
    } else if (desc.speed_given) {
        block.has_speed = true;
        block.speed = desc.speed;
    }
    block.frame_triggered = desc.frame_given;
    block.frame_trigger = desc.frame_trigger;
    block.has_probability = desc.probability_given;
    block.probability = desc.probability;
    if (desc.time_given && desc.time_in_percent) {
        if (parent.kind == psb_block_animation) {
            float percent = desc.time_trigger;
            if (percent > 100) {
                api::error("invalid time percets (%f%%) setting to 100%%", percent);
                percent = 100;
            } else if (percent < 0) {
                api::error("invalid time percets (%f%%) setting to 0%%", percent);
                percent = 0;
            }
            block.time_triggered = true;
            block.time_trigger = percent * 0.01f * parent.animation.length;
        } else {
            api::error("percent time trigger valid only as a animation subblock !");
        }
    } else if (desc.time_given) {
        block.time_triggered = true;
        block.time_trigger = desc.time_trigger;
    }
    if (desc.kind == psb_block_base) {
        block.fade_time_given = desc.fade_time_given;
        block.fade_length_given = desc.fade_length_given;
        block.fade_time = desc.fade_time;
        block.fade_length = desc.fade_length;
    }
    if (desc.event_given) {
        block.has_event = true;
        block.event_type = desc.event_type;
        if (desc.event_type == psb_event_sound) {
            const std::string name(desc.event_data, std::min(desc.event_data_length, psb_event_data_size));
            const int32_t index = sources_.find_sound(name.c_str());
            block.event_data.resize(sizeof index);
            memcpy(block.event_data.data(), &index, sizeof index);
        } else {
            block.event_data.assign(desc.event_data,
                                    desc.event_data + std::min(desc.event_data_length, psb_event_data_size));
        }
    }
    if (desc.kind == psb_block_animation) {
        psb_animation_params_t& params = block.animation;
        if (!sources_.find_animation(desc.file, &params.animation_id, &params.length, &params.frame_count)) {
            api::warning("falling back to parallel, error loading (%s)", desc.file);
            block.kind = psb_block_parallel;
        } else {
            const float scaled = block.has_speed ? params.length / block.speed : params.length;
            if (desc.ramp_in_given) {
                float percent = desc.ramp_in;
                if (percent <= 0) {
                    api::error("invalid ramp_in length ! resetting to 10%%");
                    percent = 10;
                }
                params.ramp_in = true;
                params.ramp_in_length = percent * 0.01f * scaled;
            }
            if (desc.ramp_out_given) {
                float percent = desc.ramp_out;
                if (percent <= 0) {
                    api::error("invalid ramp_out length ! resetting to 10%%");
                    percent = 10;
                }
                params.ramp_out = true;
                params.ramp_out_length = percent * 0.01f * scaled;
                params.ramp_out_start = scaled - params.ramp_out_length;
                if (block.has_speed && params.ramp_out_start < 0) {
                    params.ramp_out_start = 0;
                    params.ramp_out_length = scaled;
                }
            }
            params.ramp_type_event = desc.ramp_type_event;
            params.weight_given = desc.weight_given;
            params.weight = desc.weight_given ? desc.weight : 0;
            params.priority_given = desc.priority_given;
            params.priority = desc.priority_given ? desc.priority : 0;
            params.freeze_at_end = desc.freeze_at_end;
        }
    }
    if (desc.kind == psb_block_blend) {
        if (!desc.overlay_given) {
            api::error("blend block overlay parameter not set - falling back to parallel");
            block.kind = psb_block_parallel;
        } else {
            block.overlay = desc.overlay;
            block.overlay_unit = desc.overlay_unit;
        }
    }
    return true;
}

float psb_block_tree_t::length(psb_block_t& block)
{
    if (block.cached_length >= 0)
        return block.cached_length;
    const float start = block.time_triggered ? block.time_trigger : 0;
    const float pace = block.has_speed ? block.speed : 1;
    float length = 0;
    if (block.kind == psb_block_animation) {
        float longest_child = 0;
        for (const auto& child : block.children)
            longest_child = std::max(longest_child, this->length(*child));
        length = start + block.animation.length / pace + (block.children.empty() ? 0 : longest_child / pace);
    } else if (block.kind == psb_block_blend && block.children.size() == 2) {
        settle_overlay(block);
        const float a = this->length(*block.children[0]);
        const float b = this->length(*block.children[1]);
        length = (a + b - block.overlay) / pace + start;
    } else if (block.kind == psb_block_sequence) {
        for (const auto& child : block.children)
            length += this->length(*child);
        length = length / pace + start;
    } else {
        for (const auto& child : block.children)
            length = std::max(length, this->length(*child));
        length = length / pace + start;
    }
    block.cached_length = length;
    return length;
}

void psb_block_tree_t::settle_overlay(psb_block_t& blend)
{
    if (blend.overlay_done)
        return;
    const float a = length(*blend.children[0]);
    const float b = length(*blend.children[1]);
    const float shorter = std::min(a, b);
    if (blend.overlay_unit == psb_overlay_percent) {
        blend.overlay = shorter * blend.overlay * 0.01f;
        blend.overlay_unit = psb_overlay_time;
    } else if (blend.overlay > shorter) {
        api::warning("<psb> overlay length too long");
        blend.overlay = shorter;
    }
    blend.overlay_start = a - blend.overlay;
    blend.overlay_done = true;
}

bool psb_block_tree_t::end_blend()
{
    psb_block_t& blend = *current_;
    if (blend.children.size() != 2) {
        api::error("blend block has to contain two subblocks !");
        return false;
    }
    settle_overlay(blend);
    return true;
}

void psb_block_tree_t::stretch(psb_block_t& block, float factor)
{
    const float scaled = length(block) * factor;
    block.cached_length = scaled;
    if (block.time_triggered)
        block.time_trigger *= factor;
    const float active = scaled - (block.time_triggered ? block.time_trigger : 0);
    // A block that spans no time cannot set a pace from it (nor spread it to its children).
    if (!(active > 0))
        return;
    // An animation of no length has no pace to set: it keeps its own.
    if (block.kind == psb_block_animation && block.animation.length > 0) {
        const float speed = block.animation.length / active;
        block.speed = speed;
        block.has_speed = speed != 1.0f;
    }
    for (const auto& child : block.children) {
        if (block.kind == psb_block_sequence) {
            stretch(*child, block.has_speed ? factor * block.speed : factor);
            continue;
        }
        const float child_length = length(*child);
        if (child_length > 0)
            stretch(*child, active / child_length);
    }
}

bool psb_block_tree_t::end_normalize()
{
    if (current_->children.size() >= 2)
        stretch(*current_, 1.0f);
    return true;
}

bool psb_block_tree_t::end_block()
{
    psb_block_t& block = *current_;
    --depth_;
    bool kept = true;
    if (block.kind == psb_block_base) {
        const float block_length = length(block);
        base_length_ = block_length;
        if (block_length == 0) {
            api::error("base block cannot be empty !");
            kept = false;
        }
        if (block.fade_length_given && !block.fade_time_given) {
            if (block.fade_length > block_length) {
                api::warning("fade out length longer than base block length ! resizing length to %f", block_length);
                block.fade_length = block_length;
            }
            block.fade_time = block_length - block.fade_length;
            block.fade_set = true;
        } else if (block.fade_time_given && !block.fade_length_given) {
            if (block.fade_time > block_length) {
                api::warning("fade out time set after base block end !");
                block.fade_time = block_length;
            }
            block.fade_length = block_length - block.fade_time;
            block.fade_set = true;
        } else if (block.fade_time_given && block.fade_length_given) {
            block.fade_set = true;
        }
    }
    if (block.parent)
        current_ = block.parent;
    return kept;
}
