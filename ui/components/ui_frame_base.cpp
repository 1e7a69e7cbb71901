#include "ui/components/ui_frame_base.h"

#include "engine/cache.h"
#include "engine/gfx_render.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "ui/components/ui_markup_view.h"

namespace {

// Every property of a frame marks the one status byte.
constexpr evalue_status_fn status_of_frame = evalue_bind_status<&ui_frame_base_t::frame_status>;

// The texture size of picture `name`, looked up in the resource cache; absent for an empty name, a
// picture that cannot be found and a shader without a texture.
ui_frame_picture_t picture_size(const char* name)
{
    ui_frame_picture_t size;
    if (!name[0])
        return size;
    c_item_t* const item = api::mm_precache(name);
    if (!item)
        return size;
    if (const auto* shader = static_cast<const gfx_shader_t*>(c_item_lock(item))) {
        if (shader->has_texture) {
            size.present = true;
            size.width = shader->width;
            size.height = shader->height;
        }
        c_item_release(item);
    }
    api::ci_dec_refs(item);
    return size;
}

}  // namespace

const evalue_def_t ui_frame_base_t::evd_text =
    evalue_member("text", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_frame_base_t::text>, &ui_view_t::evd_id,
                  nullptr, status_of_frame);
const evalue_def_t ui_frame_base_t::evd_tile = evalue_member(
    "tile", evalue_bool, sizeof(bool), evalue_bind<&ui_frame_base_t::tile>, &evd_text, "true", status_of_frame);
const evalue_def_t ui_frame_base_t::evd_hline =
    evalue_member("hline", evalue_text, ui_frame_name_bytes, evalue_bind<&ui_frame_base_t::hline>, &evd_tile, nullptr,
                  status_of_frame);
const evalue_def_t ui_frame_base_t::evd_vline =
    evalue_member("vline", evalue_text, ui_frame_name_bytes, evalue_bind<&ui_frame_base_t::vline>, &evd_hline, nullptr,
                  status_of_frame);
const evalue_def_t ui_frame_base_t::evd_inside_tile =
    evalue_member("inside_tile", evalue_bool, sizeof(bool), evalue_bind<&ui_frame_base_t::inside_tile>, &evd_vline,
                  "false", status_of_frame);
const evalue_def_t ui_frame_base_t::evd_inside_inset =
    evalue_member("inside_inset", evalue_bool, sizeof(bool), evalue_bind<&ui_frame_base_t::inside_inset>,
                  &evd_inside_tile, "true", status_of_frame);
const evalue_def_t ui_frame_base_t::evd_inside =
    evalue_member("inside", evalue_text, ui_frame_name_bytes, evalue_bind<&ui_frame_base_t::inside>, &evd_inside_inset,
                  nullptr, status_of_frame);
const evalue_def_t ui_frame_base_t::evd_corner =
    evalue_member("corner", evalue_text, ui_frame_name_bytes, evalue_bind<&ui_frame_base_t::corner>, &evd_inside,
                  nullptr, status_of_frame);
const evalue_def_t ui_frame_base_t::evd_color =
    evalue_member("color", evalue_hex, sizeof(uint32_t), evalue_bind<&ui_frame_base_t::color>, &evd_corner, "FFFFFFFF",
                  status_of_frame);

ui_frame_base_t::ui_frame_base_t() { class_flags |= ui_class_markup; }

int ui_frame_base_t::init(const int phase)
{
    const int result = ui_view_t::init(phase);
    if (result != 0)
        return result;
    if (phase == 0)
        changed(ui_change_property);
    return 0;
}

void ui_frame_base_t::read_pictures()
{
    const ui_frame_picture_t corner_picture = picture_size(corner);
    corner_size = {corner_picture.present, corner_picture.width / 2, corner_picture.height / 2};
    const ui_frame_picture_t vline_picture = picture_size(vline);
    vline_size = {vline_picture.present, vline_picture.width / 2, vline_picture.height};
    const ui_frame_picture_t hline_picture = picture_size(hline);
    hline_size = {hline_picture.present, hline_picture.width, hline_picture.height / 2};
    inside_size = picture_size(inside);
}

void ui_frame_base_t::handler()
{
    ui_view_t::handler();
    if (frame_status & evalue_changed) {
        frame_status &= static_cast<uint8_t>(~evalue_changed);
        changed(ui_change_property);
    }
    if (!ui_markup_view_visible(this, window_item, shown, false))
        return;
    if (!rebuild_needed && shown)
        return;
    if (rebuild_needed)
        generate();
    if (ui_view_invalidate_layer(this, window_item, true))
        shown = true;
}

void ui_frame_base_t::pml_precache() { ui_markup_view_precache(this, window_item, shown, markup); }

void ui_frame_base_t::offset(float dx, float dy, unsigned flags)
{
    ui_markup_view_offset(this, window_item, !rebuild_needed, shown, {&markup, 1}, dx, dy, flags);
}

void ui_frame_base_t::notify(int code)
{
    if (code < 0) {
        built = false;
        rebuild_needed = true;
    }
    ui_view_t::notify(code);
}

void ui_frame_base_t::changed(unsigned mask)
{
    if (mask & (ui_change_rect | ui_change_property)) {
        built = false;
        rebuild_needed = true;
    }
    if (mask & ui_change_property)
        read_pictures();
    ui_view_t::changed(mask);
}
