#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class psb_info_t;

// Compiles a parsed info into its description block (laid out in docs/formats.md, "Compiled
// description block"): the header, the compiled layer entries with their animations, runner records,
// hold sets and transitions, the looks and the sound names.

// The block's bytes; its model field is left 0 (`psb_info_compile` hands the model over).
std::vector<uint8_t> psb_info_layout(const psb_info_t& info);
// Writes the laid-out block into `block` (`layout.size()` bytes) with the info's model, which the block
// then owns.
void psb_info_compile(psb_info_t& info, const std::vector<uint8_t>& layout, void* block);
