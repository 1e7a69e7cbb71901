#include "ui/components/ui_template.h"

#include <string_view>

#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/reset.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"

namespace {

// Class of the objects a template file holds.
constexpr const char* template_class = "template";

// The one buffer every `get` answers in.
std::string& shared_result()
{
    static std::string result;
    return result;
}

}  // namespace

std::string ui_template_substitute(const std::string& text, const char* args, const size_t limit)
{
    std::string out = text.substr(0, limit);
    if (!args)
        return out;
    std::string_view rest = args;
    for (int piece = 0; !rest.empty(); ++piece) {
        const size_t bar = rest.find('|');
        const std::string_view value = rest.substr(0, bar);
        rest = bar == std::string_view::npos ? std::string_view{} : rest.substr(bar + 1);
        // Appended, not "%" + std::to_string(piece): g++ 12 at -O2 warns falsely (-Wrestrict) on the latter.
        std::string mark = "%";
        mark += std::to_string(piece);
        for (size_t at = out.find(mark); at != std::string::npos; at = out.find(mark, at + value.size())) {
            out.replace(at, mark.size(), value);
            if (out.size() > limit)
                out.resize(limit);
        }
    }
    return out;
}

std::string ui_builtin_format(const char* form, const char* value, const size_t limit)
{
    std::string out = form;
    const size_t at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, value ? value : "");
    if (out.size() > limit)
        out.resize(limit);
    return out;
}

ui_template_t::ui_template_t() { build_choices(); }

ui_template_t::~ui_template_t() { release(); }

void ui_template_t::load(const char* path)
{
    release();
    pool_item_ = api::mm_precache(path);
    const auto* pool = static_cast<const def_pool_t*>(c_item_lock(pool_item_));
    if (pool) {
        for (const def_obj_t* object : pool->objects()) {
            if (object->class_name() != template_class)
                continue;
            const char* name = object->get_value("name");
            names_.emplace_back(std::string(name ? name : "").substr(0, max_name));
        }
        c_item_release(pool_item_);
    } else {
        api::warning("[ui] template file %s cannot be read; components show their built-in look", path);
    }
    build_choices();
}

void ui_template_t::release()
{
    if (pool_item_)
        api::ci_dec_refs(pool_item_);
    pool_item_ = nullptr;
    names_.clear();
    build_choices();
}

const def_obj_t* ui_template_t::find(const int index) const
{
    if (index < 0 || !pool_item_)
        return nullptr;
    const auto* pool = static_cast<const def_pool_t*>(c_item_lock(pool_item_));
    if (!pool)
        return nullptr;
    const def_obj_t* found = nullptr;
    int at = 0;
    for (const def_obj_t* object : pool->objects())
        if (object->class_name() == template_class && at++ == index) {
            found = object;
            break;
        }
    c_item_release(pool_item_);
    return found;
}

const char* ui_template_t::get(const int index, const char* key, const char* args) const
{
    const def_obj_t* object = find(index);
    const char* value = object ? object->get_value(key) : nullptr;
    if (!value)
        return nullptr;
    std::string& result = shared_result();
    result = ui_template_substitute(value, args, max_result);
    return result.c_str();
}

bool ui_template_t::has(const int index, const char* key) const
{
    const def_obj_t* object = find(index);
    return object && object->get_value(key);
}

void ui_template_t::build_choices()
{
    index_texts_.clear();
    for (size_t i = 0; i < names_.size(); ++i)
        index_texts_.emplace_back(i == 0 ? std::string() : std::string(1, static_cast<char>(i)));
    choices_.clear();
    for (size_t i = 0; i < names_.size(); ++i)
        choices_.push_back({names_[i].c_str(), index_texts_[i].c_str()});
    choices_.push_back({nullptr, nullptr});
}

namespace {

// Every share, so that the engine's reset can release their files.
std::vector<ui_template_share_t*>& all_shares()
{
    static std::vector<ui_template_share_t*> shares;
    return shares;
}

void reset_all_shares()
{
    for (ui_template_share_t* share : all_shares())
        share->reset();
}

// After the windows are gone (their properties may ask for the choices while they are destroyed) and
// before the cache's own reset, which reports every reference still held.
const engine_reset_registrar_t share_reset_registrar(reset_order_cache - 5, reset_all_shares);

}  // namespace

ui_template_share_t::ui_template_share_t(const char* path) : path_(path) { all_shares().push_back(this); }

ui_template_share_t::~ui_template_share_t() { std::erase(all_shares(), this); }

void ui_template_share_t::acquire()
{
    ++uses_;
    if (!loaded_) {
        templates.load(path_);
        loaded_ = true;
    }
}

void ui_template_share_t::release()
{
    if (uses_ > 0 && --uses_ == 0)
        reset();
}

const evalue_text_choice_t* ui_template_share_t::choices()
{
    if (!loaded_) {
        templates.load(path_);
        loaded_ = true;
    }
    return templates.choices();
}

void ui_template_share_t::reset()
{
    templates.release();
    loaded_ = false;
    uses_ = 0;
}
