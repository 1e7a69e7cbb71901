#include "engine/lcl.h"

#include "engine/reset.h"

namespace {

int api_uses = 0;
lcl_callback_fn translator = nullptr;
std::string last_translation;

void lcl_reset()
{
    api_uses = 0;
    translator = nullptr;
    last_translation.clear();
}

engine_reset_registrar_t lcl_reset_registrar(reset_order_devices + 10, lcl_reset);

}  // namespace

void lcl_api_request() { ++api_uses; }

void lcl_api_release()
{
    if (api_uses > 0 && --api_uses == 0)
        translator = nullptr;
}

void lcl_callback(lcl_callback_fn callback) { translator = callback; }
int lcl_api_uses() { return api_uses; }

std::string lcl_translate_text(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t position = 0;
    while (position < text.size()) {
        const size_t open = text.find("@@", position);
        const size_t close = open == std::string_view::npos ? open : text.find("@@", open + 2);
        if (close == std::string_view::npos) {
            out.append(text.substr(position));
            break;
        }
        out.append(text.substr(position, open - position));
        const std::string key(text.substr(open + 2, close - open - 2));
        const char* shown = translator ? translator(key.c_str()) : nullptr;
        if (shown)
            out.append(shown);
        else
            out.append(text.substr(open, close + 2 - open));
        position = close + 2;
    }
    return out;
}

const char* lcl_translate(const char* text)
{
    last_translation = lcl_translate_text(text ? text : "");
    return last_translation.c_str();
}
