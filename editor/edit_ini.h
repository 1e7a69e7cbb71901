#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "editor/edit_defaults.h"

// Bytes of "/edit.ini".
constexpr int32_t edit_ini_size = 1008;

// What "/edit.ini" carries from one editor run to the next: the default records of new items, the edit
// mode and sub-mode, the stamp the brush places and the heights given to the next node, aux node and
// item. 1008 bytes, little-endian, 32-bit words; no header.
struct edit_ini_t {
    edit_defaults_t defaults;
    int32_t mode = 0;
    int32_t sub_mode = 1;
    int32_t stamp_definition = 0;
    int32_t stamp_shader = 0;
    int32_t node_height = 0;
    int32_t aux_node_height = 0;
    int32_t item_height = 0;
};

// The file image of `ini`.
std::vector<uint8_t> edit_ini_write(const edit_ini_t& ini);
// Reads a file image into `out`. False (with `out_error`, `out` unchanged) when it is not exactly
// 1008 bytes or its mode or sub-mode is not one the editor has.
bool edit_ini_read(const std::vector<uint8_t>& bytes, edit_ini_t& out, std::string& out_error);
// True for an edit mode the editor has (0 to 13, without 8) and a sub-mode (0 to 7).
bool edit_mode_valid(int32_t mode);
bool edit_sub_mode_valid(int32_t sub_mode);
