#include "road/sign_board.h"

#include <cstdio>

namespace {

constexpr const char* compass_labels[sign_compass_labels] = {" ", "@@gb_north@@", "@@gb_east@@", "@@gb_south@@",
                                                             "@@gb_west@@"};
constexpr uint32_t black = 0xff000000u;
constexpr uint32_t white = 0xffffffffu;

std::string key_of(const uint32_t colour, const char* text)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%x|%s", colour, text);
    return buffer;
}

}  // namespace

int32_t sign_board_key(const char* name, const int32_t index, std::string& out_key)
{
    if (name[0] != '\0' && name[1] == 'c') {
        out_key = key_of(black, "  ");
        return -1;
    }
    if (name[0] == 'I') {
        out_key = key_of(white, name + 1);
        return 0;
    }
    out_key = key_of(black, name);
    return index != -1 ? 1 : -1;
}

const char* sign_compass_label(const uint32_t value)
{
    return value < static_cast<uint32_t>(sign_compass_labels) ? compass_labels[value] : " ";
}
