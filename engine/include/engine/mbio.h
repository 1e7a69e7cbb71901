#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/check.h"

// Bounded binary stream over a block of memory: little-endian whatever the host, never past the end.
// A read or write that does not fit the bytes that remain fails, returns false, leaves its output and
// the position untouched, and records why (`last_error`); the stream stays usable. Files the game lays
// out (maps, saves, network frames) are read and written through it field by field.
class mbio_t {
public:
    // An empty stream: every read and write fails until one of the `open_` calls.
    mbio_t() = default;
    // Same as `open_read`.
    mbio_t(const void* data, size_t size) { open_read(data, size); }

    // Reads `size` bytes at `data` (the memory must outlive the reading).
    void open_read(const void* data, size_t size);
    // Writes into `size` bytes at `data`, never further; reading them back is allowed too.
    void open_write(void* data, size_t size);
    // Writes into memory of its own that grows as needed (`data`, `size` give the bytes so far).
    void open_grow();

    bool read_u8(uint8_t& out);
    bool read_u16(uint16_t& out);
    bool read_i16(int16_t& out);
    bool read_u32(uint32_t& out);
    bool read_i32(int32_t& out);
    bool read_u64(uint64_t& out);
    // An IEEE single, bit for bit.
    bool read_f32(float& out);
    // `count` raw bytes.
    bool read_bytes(void* out, size_t count);
    // A u32 count of elements of at least `element_bytes` each, checked against the bytes that remain
    // before the caller allocates for them.
    bool read_count(uint32_t& out, size_t element_bytes);
    // A text stored as a u8 (u32) length and that many bytes; it must fit `out_size` with its NUL.
    bool read_str_u8(char* out, size_t out_size);
    bool read_str_u32(std::string& out);
    // A text stored in a fixed field of `field_size` bytes, ended by the first NUL (or the field's
    // end); it must fit `out_size` with its NUL. Consumes the whole field.
    bool read_fixed_str(char* out, size_t out_size, size_t field_size);

    bool write_u8(uint8_t value);
    bool write_u16(uint16_t value);
    bool write_i16(int16_t value);
    bool write_u32(uint32_t value);
    bool write_i32(int32_t value);
    bool write_u64(uint64_t value);
    bool write_f32(float value);
    bool write_bytes(const void* data, size_t count);
    // A NUL-terminated text as a u8 length (at most 255) or a u32 length, then its bytes.
    bool write_str_u8(const char* text);
    bool write_str_u32(const char* text);
    // A text in a fixed field of `field_size` bytes, padded with NULs; it must leave room for one NUL.
    bool write_fixed_str(const char* text, size_t field_size);

    // Moves to an absolute position, at most the size; false (and unmoved) past it.
    bool seek(size_t position);
    // Moves forward `count` bytes without reading them; false when they are not there.
    bool skip(size_t count);

    size_t position() const { return position_; }
    // Bytes in the stream: the block's size, or what has been written to a growing stream.
    size_t size() const { return size_; }
    // Bytes between the position and the end. Every move of the position is checked against the
    // size first, so the position never passes the end.
    size_t remaining() const
    {
        kv_assert(position_ <= size_);
        return size_ - position_;
    }
    // Start of the stream's bytes (null for an empty stream).
    const uint8_t* data() const { return read_; }
    // Why the last failing call failed ("" when none has failed since opening).
    const std::string& last_error() const { return error_; }
    // True when some call failed since opening.
    bool failed() const { return !error_.empty(); }

private:
    // True when `count` bytes can be read at the position; records the failure otherwise.
    bool can_read(size_t count, const char* what);
    // Room for `count` bytes at the position (growing a growing stream); records the failure otherwise.
    bool can_write(size_t count, const char* what);
    void fail(const char* what, size_t count, const char* limit);
    uint64_t get_le(size_t count);
    void put_le(uint64_t value, size_t count);
    // Reads a little-endian integer of the size of `out`; `what` names the read in a failure.
    template <typename integer_t> bool read_le(integer_t& out, const char* what);
    // Writes `value` as `count` little-endian bytes; `what` names the write in a failure.
    bool write_le(uint64_t value, size_t count, const char* what);
    // Writes a text as a `length_bytes` little-endian length and its bytes.
    bool write_str(const char* text, size_t length_bytes);
    void reset();

    const uint8_t* read_ = nullptr;
    uint8_t* write_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    size_t position_ = 0;
    bool grows_ = false;
    std::vector<uint8_t> owned_;
    std::string error_;
};
