#include "key_names.h"

#include <cstdio>
#include <cstring>

namespace {

// Keyboard scan codes with a name. The Pause key reads as 69, which the game reserves beside Esc and F1.
struct key_name_t {
    uint32_t code;
    const char* name;
};

constexpr key_name_t key_names[] = {
    {0x01, "esc"},     {0x02, "1"},         {0x03, "2"},     {0x04, "3"},          {0x05, "4"},      {0x06, "5"},
    {0x07, "6"},       {0x08, "7"},         {0x09, "8"},     {0x0A, "9"},          {0x0B, "0"},      {0x0C, "-"},
    {0x0D, "="},       {0x0E, "backspace"}, {0x0F, "tab"},   {0x10, "q"},          {0x11, "w"},      {0x12, "e"},
    {0x13, "r"},       {0x14, "t"},         {0x15, "y"},     {0x16, "u"},          {0x17, "i"},      {0x18, "o"},
    {0x19, "p"},       {0x1A, "["},         {0x1B, "]"},     {0x1C, "enter"},      {0x1D, "lctrl"},  {0x1E, "a"},
    {0x1F, "s"},       {0x20, "d"},         {0x21, "f"},     {0x22, "g"},          {0x23, "h"},      {0x24, "j"},
    {0x25, "k"},       {0x26, "l"},         {0x27, ";"},     {0x28, "'"},          {0x29, "`"},      {0x2A, "lshift"},
    {0x2B, "\\"},      {0x2C, "z"},         {0x2D, "x"},     {0x2E, "c"},          {0x2F, "v"},      {0x30, "b"},
    {0x31, "n"},       {0x32, "m"},         {0x33, ","},     {0x34, "."},          {0x35, "/"},      {0x36, "rshift"},
    {0x37, "num*"},    {0x38, "lalt"},      {0x39, "space"}, {0x3A, "capslock"},   {0x3B, "F1"},     {0x3C, "F2"},
    {0x3D, "F3"},      {0x3E, "F4"},        {0x3F, "F5"},    {0x40, "F6"},         {0x41, "F7"},     {0x42, "F8"},
    {0x43, "F9"},      {0x44, "F10"},       {0x45, "pause"}, {0x46, "scrolllock"}, {0x47, "num7"},   {0x48, "num8"},
    {0x49, "num9"},    {0x4A, "num-"},      {0x4B, "num4"},  {0x4C, "num5"},       {0x4D, "num6"},   {0x4E, "num+"},
    {0x4F, "num1"},    {0x50, "num2"},      {0x51, "num3"},  {0x52, "num0"},       {0x53, "num."},   {0x57, "F11"},
    {0x58, "F12"},     {0x9C, "numenter"},  {0x9D, "rctrl"}, {0xB5, "num/"},       {0xB7, "sysrq"},  {0xB8, "ralt"},
    {0xC5, "numlock"}, {0xC7, "home"},      {0xC8, "up"},    {0xC9, "pgup"},       {0xCB, "left"},   {0xCD, "right"},
    {0xCF, "end"},     {0xD0, "down"},      {0xD1, "pgdn"},  {0xD2, "insert"},     {0xD3, "delete"},
};

// Codes named by a prefix and their number from 1 within the range ("mouse1", "joy3", ...).
struct numbered_range_t {
    uint32_t first;
    uint32_t count;
    const char* prefix;
};

constexpr numbered_range_t numbered_ranges[] = {
    {inp_code_mouse_first, inp_code_mouse_count, "mouse"},
    {inp_code_joy_button_first, inp_code_joy_button_count, "joy"},
    {inp_code_pov_first, inp_code_pov_count, "pov"},
    {inp_code_joystick_first, inp_code_joystick_count, "joystick"},
};

}  // namespace

std::string key_name_of(uint32_t code)
{
    char name[24];
    if (code >= 1 && code <= inp_code_key_last) {
        for (const key_name_t& key : key_names)
            if (key.code == code)
                return key.name;
        snprintf(name, sizeof name, "key%u", code);
        return name;
    }
    for (const numbered_range_t& range : numbered_ranges) {
        if (code >= range.first && code < range.first + range.count) {
            snprintf(name, sizeof name, "%s%u", range.prefix, code - range.first + 1);
            return name;
        }
    }
    return {};
}

// Characters of the keys of a US keyboard by scan code, without and with Shift.
char key_character(uint32_t scan, bool shift)
{
    static const char* const rows[][3] = {
        // first scan code, plain, shifted
        {"\x02", "1234567890-=", "!@#$%^&*()_+"},
        {"\x10", "qwertyuiop[]", "QWERTYUIOP{}"},
        {"\x1E", "asdfghjkl;'`", "ASDFGHJKL:\"~"},
        {"\x2B", "\\zxcvbnm,./", "|ZXCVBNM<>?"},
    };
    if (scan == 0x39)
        return ' ';
    for (const auto& row : rows) {
        const uint32_t first = static_cast<unsigned char>(row[0][0]);
        const size_t count = strlen(row[1]);
        if (scan >= first && scan < first + count)
            return (shift ? row[2] : row[1])[scan - first];
    }
    return 0;
}
