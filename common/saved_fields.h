#pragma once
#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/check.h"
#include "engine/mbio.h"
#include "engine/quat.h"
#include "engine/vec.h"

// A saved record described once: a function template `describe(io, record)` names the record's fields
// in file order, each with the save versions that hold it, and the visitors here run that one
// description to count its bytes, to write it, to read it and to check its numbers. Numbers are
// little-endian without padding; a char array is a text field of its size (written zero-padded after
// the text, its last byte always zero; read ended within it); any other array is its elements in
// order; a field that is a record is its own description.

// A field that every save version holds.
constexpr int every_save_version = -1;

// Whether a save of `version` holds a field of versions `first` to `last`.
constexpr bool save_version_holds(const int version, const int first, const int last)
{
    return first == every_save_version || (version >= first && version <= last);
}

// `record_t` is `plain_t`, or `const plain_t` as the writer describes it.
template <typename record_t, typename plain_t>
concept saved_record_of = std::same_as<std::remove_const_t<record_t>, plain_t>;

// Counts the bytes a save of one version holds of the fields described.
class saved_size_t {
public:
    constexpr explicit saved_size_t(const int version) : version_(version) {}
    template <typename value_t>
    constexpr void field(const value_t& value, const int first = every_save_version,
                         const int last = every_save_version)
    {
        if (save_version_holds(version_, first, last))
            bytes += of(value);
    }
    size_t bytes = 0;

private:
    template <typename value_t> constexpr size_t of(const value_t& value)
    {
        if constexpr (std::is_arithmetic_v<value_t>)
            return sizeof value;
        else if constexpr (std::is_same_v<value_t, vec3_t>)
            return 12;
        else if constexpr (std::is_same_v<value_t, quat_t>)
            return 16;
        else if constexpr (std::is_array_v<value_t>)
            return std::extent_v<value_t> * of(value[0]);
        else {
            saved_size_t inner(version_);
            describe(inner, value);
            return inner.bytes;
        }
    }
    int version_;
};

// Bytes of a record that every save version holds whole.
template <typename record_t> constexpr size_t saved_record_bytes()
{
    saved_size_t size(every_save_version);
    const record_t record{};
    size.field(record);
    return size.bytes;
}

// Writes the fields a save of `version` holds into a stream, until one does not fit.
class saved_writer_t {
public:
    saved_writer_t(mbio_t& out, const int version) : out_(out), version_(version) {}
    template <typename value_t>
    void field(const value_t& value, const int first = every_save_version, const int last = every_save_version)
    {
        if (ok_ && save_version_holds(version_, first, last))
            ok_ = put(value);
    }
    // A u32 count of the records before the `spare` ones that stand behind the last, then every record.
    template <typename record_t> void records(const std::vector<record_t>& values, const size_t spare)
    {
        kv_assert(values.size() >= spare);
        field(static_cast<uint32_t>(values.size() - spare));
        for (const record_t& value : values)
            field(value);
    }
    bool ok() const { return ok_; }

private:
    bool put(const uint8_t value) { return out_.write_u8(value); }
    bool put(const int8_t value) { return out_.write_u8(static_cast<uint8_t>(value)); }
    bool put(const uint16_t value) { return out_.write_u16(value); }
    bool put(const int16_t value) { return out_.write_i16(value); }
    bool put(const uint32_t value) { return out_.write_u32(value); }
    bool put(const int32_t value) { return out_.write_i32(value); }
    bool put(const float value) { return out_.write_f32(value); }
    bool put(const double value)
    {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return out_.write_u64(bits);
    }
    bool put(const vec3_t& value) { return put(value.x) && put(value.y) && put(value.z); }
    bool put(const quat_t& value) { return put(value.x) && put(value.y) && put(value.z) && put(value.w); }
    template <size_t size> bool put(const char (&text)[size])
    {
        char padded[size] = {};
        std::memcpy(padded, text, strnlen(text, size - 1));
        return out_.write_bytes(padded, size);
    }
    template <typename element_t, size_t count> bool put(const element_t (&values)[count])
    {
        for (const element_t& value : values)
            if (!put(value))
                return false;
        return true;
    }
    template <typename record_t> bool put(const record_t& record)
    {
        describe(*this, record);
        return ok_;
    }

    mbio_t& out_;
    int version_;
    bool ok_ = true;
};

// Reads the fields a save of `version` holds from a stream, up to the first that does not come whole:
// the fields after it keep their values.
class saved_reader_t {
public:
    saved_reader_t(mbio_t& in, const int version) : in_(in), version_(version) {}
    template <typename value_t>
    void field(value_t& value, const int first = every_save_version, const int last = every_save_version)
    {
        if (ok_ && save_version_holds(version_, first, last)) {
            ok_ = get(value);
            if (ok_ && keeps_taken_)
                taken_.push_back(&value);
        }
    }
    // A u32 count and that many records, with `spare` records more behind them; the count is checked
    // against the bytes that remain before anything is allocated.
    template <typename record_t> void records(std::vector<record_t>& values, const size_t spare)
    {
        constexpr size_t bytes = saved_record_bytes<record_t>();
        uint32_t count = 0;
        if (!ok_ || !(ok_ = in_.read_count(count, bytes) && (count + spare) * bytes <= in_.remaining()))
            return;
        std::vector<record_t> read(count + spare);
        for (record_t& value : read)
            field(value);
        if (ok_)
            values = std::move(read);
    }
    bool ok() const { return ok_; }
    // Keeps which fields come whole, for a record whose fields are taken one by one up to where a
    // save ends early (off unless asked: most records are taken whole or not at all).
    void keep_taken() { keeps_taken_ = true; }
    // Whether the field at `field` was read whole.
    bool took(const void* field) const
    {
        kv_assert(keeps_taken_);
        return std::find(taken_.begin(), taken_.end(), field) != taken_.end();
    }

private:
    bool get(uint8_t& value) { return in_.read_u8(value); }
    bool get(int8_t& value)
    {
        uint8_t byte = 0;
        if (!in_.read_u8(byte))
            return false;
        value = static_cast<int8_t>(byte);
        return true;
    }
    bool get(uint16_t& value) { return in_.read_u16(value); }
    bool get(int16_t& value) { return in_.read_i16(value); }
    bool get(uint32_t& value) { return in_.read_u32(value); }
    bool get(int32_t& value) { return in_.read_i32(value); }
    bool get(float& value) { return in_.read_f32(value); }
    bool get(double& value)
    {
        uint64_t bits = 0;
        if (!in_.read_u64(bits))
            return false;
        std::memcpy(&value, &bits, sizeof bits);
        return true;
    }
    bool get(vec3_t& value) { return get(value.x) && get(value.y) && get(value.z); }
    bool get(quat_t& value) { return get(value.x) && get(value.y) && get(value.z) && get(value.w); }
    template <size_t size> bool get(char (&text)[size])
    {
        if (!in_.read_bytes(text, size))
            return false;
        text[size - 1] = '\0';
        return true;
    }
    template <typename element_t, size_t count> bool get(element_t (&values)[count])
    {
        for (element_t& value : values)
            if (!get(value))
                return false;
        return true;
    }
    template <typename record_t> bool get(record_t& record)
    {
        describe(*this, record);
        return ok_;
    }

    mbio_t& in_;
    int version_;
    bool ok_ = true;
    bool keeps_taken_ = false;
    std::vector<const void*> taken_;
};

// Whether every single-precision number a save of `version` holds of the fields described is finite.
class saved_finite_t {
public:
    explicit saved_finite_t(const int version) : version_(version) {}
    template <typename value_t>
    void field(const value_t& value, const int first = every_save_version, const int last = every_save_version)
    {
        if (ok && save_version_holds(version_, first, last))
            check(value);
    }
    template <typename record_t> void records(const std::vector<record_t>& values, size_t)
    {
        for (const record_t& value : values)
            field(value);
    }
    bool ok = true;

private:
    template <typename value_t> void check(const value_t& value)
    {
        if constexpr (std::is_same_v<value_t, float>)
            ok = ok && std::isfinite(value);
        else if constexpr (std::is_same_v<value_t, vec3_t>)
            ok = ok && std::isfinite(value.x) && std::isfinite(value.y) && std::isfinite(value.z);
        else if constexpr (std::is_same_v<value_t, quat_t>)
            ok = ok && std::isfinite(value.x) && std::isfinite(value.y) && std::isfinite(value.z) &&
                 std::isfinite(value.w);
        else if constexpr (std::is_array_v<value_t>) {
            for (const auto& element : value)
                check(element);
        } else if constexpr (std::is_class_v<value_t>)
            describe(*this, value);
    }
    int version_;
};
