#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The bytes of a compiled description block while it is laid out. Places are taken in layout order
// and zero-filled; every reference inside the block is a 32-bit offset from the block's start (0 is
// none: the header lies there), so the block stays valid wherever it is copied.

// Rounds up to a multiple of 4.
constexpr uint32_t psb_roundup4(uint32_t size) { return (size + 3u) & ~3u; }

class psb_block_builder_t {
public:
    // Takes `size` bytes (rounded up to 4) at the end: their offset.
    uint32_t take(uint32_t size)
    {
        const uint32_t at = static_cast<uint32_t>(bytes_.size());
        bytes_.resize(at + psb_roundup4(size), 0);
        return at;
    }
    // Takes the text's zero-terminated bytes: their offset.
    uint32_t take_text(const std::string& text)
    {
        const uint32_t at = take(static_cast<uint32_t>(text.size() + 1));
        memcpy(bytes_.data() + at, text.c_str(), text.size() + 1);
        return at;
    }
    template <typename T> void put(uint32_t at, T value) { memcpy(bytes_.data() + at, &value, sizeof(T)); }
    uint32_t size() const { return static_cast<uint32_t>(bytes_.size()); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};
