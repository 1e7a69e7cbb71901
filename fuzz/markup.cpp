// Renders arbitrary markup, translated and not: it must lay out or refuse, never crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/lcl.h"
#include "engine/log.h"
#include "engine/pml.h"

namespace {

// Answers markup for one key, so translations feed back into the layout.
const char* translate(const char* key) { return key[0] == 'f' ? "<font big><color value=ff00ff00>x" : nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        pml_init();
        lcl_api_request();
        lcl_callback(translate);
        return true;
    }();
    (void)ready;
    const std::string text(reinterpret_cast<const char*>(data), size);
    pml_set_bounds(10.0f, 200.0f, 700.0f, 600.0f, true);
    for (const bool localized : {false, true}) {
        pml_localized(localized);
        pml_reset();
        pml_render(text.c_str());
        pml_buffer_t buffer(64 * pml_item_bytes);
        pml_buffer_get(buffer, false);
        pml_rect_t box;
        pml_get_bounds(text.c_str(), box);
    }
    log_clear_capture();
    return 0;
}
