#include "engine/mbio.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

void mbio_t::reset()
{
    read_ = nullptr;
    write_ = nullptr;
    size_ = capacity_ = position_ = 0;
    grows_ = false;
    owned_.clear();
    error_.clear();
}

void mbio_t::open_read(const void* data, size_t size)
{
    reset();
    read_ = static_cast<const uint8_t*>(data);
    size_ = data ? size : 0;
}

void mbio_t::open_write(void* data, size_t size)
{
    reset();
    write_ = static_cast<uint8_t*>(data);
    read_ = write_;
    size_ = capacity_ = data ? size : 0;
}

void mbio_t::open_grow()
{
    reset();
    grows_ = true;
}

void mbio_t::fail(const char* what, size_t count, const char* limit)
{
    char text[160];
    snprintf(text, sizeof text, "%s of %zu bytes at offset %zu: %s (%zu bytes)", what, count, position_, limit, size_);
    error_ = text;
}

bool mbio_t::can_read(size_t count, const char* what)
{
    if (count <= remaining())
        return true;
    fail(what, count, "past the end");
    return false;
}

bool mbio_t::can_write(size_t count, const char* what)
{
    if (grows_) {
        if (count > SIZE_MAX - position_) {
            fail(what, count, "too large");
            return false;
        }
        const size_t end = position_ + count;
        if (end > owned_.size()) {
            owned_.resize(end);
            write_ = owned_.data();
            read_ = write_;
        }
        if (end > size_)
            size_ = end;
        return true;
    }
    if (!write_) {
        fail(what, count, "stream is not writable");
        return false;
    }
    if (count <= capacity_ - position_)
        return true;
    fail(what, count, "past the end");
    return false;
}

uint64_t mbio_t::get_le(size_t count)
{
    // Callers checked with can_read first.
    kv_assert(position_ <= size_ && count <= size_ - position_);
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i)
        value |= uint64_t{read_[position_ + i]} << (8 * i);
    position_ += count;
    return value;
}

void mbio_t::put_le(uint64_t value, size_t count)
{
    // Callers checked with can_write first, which grows a growing stream to fit.
    kv_assert(position_ <= size_ && count <= size_ - position_);
    for (size_t i = 0; i < count; ++i)
        write_[position_ + i] = static_cast<uint8_t>(value >> (8 * i));
    position_ += count;
}

template <typename integer_t> bool mbio_t::read_le(integer_t& out, const char* what)
{
    if (!can_read(sizeof(integer_t), what))
        return false;
    out = static_cast<integer_t>(static_cast<std::make_unsigned_t<integer_t>>(get_le(sizeof(integer_t))));
    return true;
}

bool mbio_t::write_le(uint64_t value, size_t count, const char* what)
{
    if (!can_write(count, what))
        return false;
    put_le(value, count);
    return true;
}

bool mbio_t::write_str(const char* text, size_t length_bytes)
{
    const size_t length = text ? strlen(text) : 0;
    if (length > (uint64_t{1} << (8 * length_bytes)) - 1) {
        char limit[40];
        snprintf(limit, sizeof limit, "longer than a u%zu length", 8 * length_bytes);
        fail("write text", length, limit);
        return false;
    }
    if (length > SIZE_MAX - length_bytes || !can_write(length_bytes + length, "write text"))
        return false;
    put_le(length, length_bytes);
    return write_bytes(text, length);
}

bool mbio_t::read_u8(uint8_t& out) { return read_le(out, "read u8"); }

bool mbio_t::read_u16(uint16_t& out) { return read_le(out, "read u16"); }

bool mbio_t::read_i16(int16_t& out) { return read_le(out, "read i16"); }

bool mbio_t::read_u32(uint32_t& out) { return read_le(out, "read u32"); }

bool mbio_t::read_i32(int32_t& out) { return read_le(out, "read i32"); }

bool mbio_t::read_u64(uint64_t& out) { return read_le(out, "read u64"); }

bool mbio_t::read_f32(float& out)
{
    uint32_t bits = 0;
    if (!read_le(bits, "read f32"))
        return false;
    memcpy(&out, &bits, sizeof out);
    return true;
}

bool mbio_t::read_bytes(void* out, size_t count)
{
    if (!can_read(count, "read bytes"))
        return false;
    if (count)
        memcpy(out, read_ + position_, count);
    position_ += count;
    return true;
}

bool mbio_t::read_count(uint32_t& out, size_t element_bytes)
{
    if (!can_read(4, "read count"))
        return false;
    const size_t start = position_;
    const auto count = static_cast<uint32_t>(get_le(4));
    if (element_bytes && count > remaining() / element_bytes) {
        position_ = start;
        char what[64];
        snprintf(what, sizeof what, "count %u of %zu-byte elements", count, element_bytes);
        fail(what, 4, "more than the bytes that remain");
        return false;
    }
    out = count;
    return true;
}

bool mbio_t::read_str_u8(char* out, size_t out_size)
{
    if (!can_read(1, "read text length"))
        return false;
    const size_t length = read_[position_];
    if (length >= out_size) {
        fail("text", length, "longer than its buffer");
        return false;
    }
    if (!can_read(1 + length, "read text"))
        return false;
    memcpy(out, read_ + position_ + 1, length);
    out[length] = '\0';
    position_ += 1 + length;
    return true;
}

bool mbio_t::read_str_u32(std::string& out)
{
    if (!can_read(4, "read text length"))
        return false;
    const size_t start = position_;
    const size_t length = static_cast<uint32_t>(get_le(4));
    if (length > remaining()) {
        position_ = start;
        return can_read(4 + length, "read text");
    }
    out.assign(reinterpret_cast<const char*>(read_ + position_), length);
    position_ += length;
    return true;
}

bool mbio_t::read_fixed_str(char* out, size_t out_size, size_t field_size)
{
    if (!can_read(field_size, "read text field"))
        return false;
    const auto* field = reinterpret_cast<const char*>(read_ + position_);
    const size_t length = strnlen(field, field_size);
    if (length >= out_size) {
        fail("text field", field_size, "longer than its buffer");
        return false;
    }
    memcpy(out, field, length);
    out[length] = '\0';
    position_ += field_size;
    return true;
}

bool mbio_t::write_u8(uint8_t value) { return write_le(value, 1, "write u8"); }

bool mbio_t::write_u16(uint16_t value) { return write_le(value, 2, "write u16"); }

bool mbio_t::write_i16(int16_t value) { return write_u16(static_cast<uint16_t>(value)); }

bool mbio_t::write_u32(uint32_t value) { return write_le(value, 4, "write u32"); }

bool mbio_t::write_i32(int32_t value) { return write_u32(static_cast<uint32_t>(value)); }

bool mbio_t::write_u64(uint64_t value) { return write_le(value, 8, "write u64"); }

bool mbio_t::write_f32(float value)
{
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return write_u32(bits);
}

bool mbio_t::write_bytes(const void* data, size_t count)
{
    if (!can_write(count, "write bytes"))
        return false;
    if (count)
        memcpy(write_ + position_, data, count);
    position_ += count;
    return true;
}

bool mbio_t::write_str_u8(const char* text) { return write_str(text, 1); }

bool mbio_t::write_str_u32(const char* text) { return write_str(text, 4); }

bool mbio_t::write_fixed_str(const char* text, size_t field_size)
{
    const size_t length = text ? strlen(text) : 0;
    if (length >= field_size) {
        fail("write text field", field_size, "text leaves no room for its NUL");
        return false;
    }
    if (!can_write(field_size, "write text field"))
        return false;
    if (length)
        memcpy(write_ + position_, text, length);
    memset(write_ + position_ + length, 0, field_size - length);
    position_ += field_size;
    return true;
}

bool mbio_t::seek(size_t position)
{
    if (position > size_) {
        const size_t here = position_;
        fail("seek", position, "past the end");
        position_ = here;
        return false;
    }
    position_ = position;
    return true;
}

bool mbio_t::skip(size_t count)
{
    if (!can_read(count, "skip"))
        return false;
    position_ += count;
    return true;
}
