#pragma once
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/text.h"

// Entry of a `vdatahash_t`: its key bytes and its value. It stays at its address until removed.
template <typename T> class vdatahash_entry_t {
public:
    // The key's bytes (followed by a NUL, so a text key reads as a C string) and its length.
    const char* key() const { return key_.c_str(); }
    size_t key_length() const { return key_.size(); }
    T& value() { return value_; }
    const T& value() const { return value_; }
    // The entry put after (before) this one; null at the ends. Iteration follows the order of `put`.
    vdatahash_entry_t* next() const { return order_next_; }
    vdatahash_entry_t* prev() const { return order_prev_; }

private:
    template <typename> friend class vdatahash_t;
    vdatahash_entry_t(std::string key, uint32_t hash, const T& value) : key_(std::move(key)), hash_(hash), value_(value)
    {}

    std::string key_;
    uint32_t hash_;
    T value_;
    vdatahash_entry_t* chain_next_ = nullptr;
    vdatahash_entry_t* order_prev_ = nullptr;
    vdatahash_entry_t* order_next_ = nullptr;
};

// Hash table from byte-string keys (any bytes, compared by bytes and length, case-sensitive) to
// records held by value. Entries are kept in the order they were first put.
template <typename T> class vdatahash_t {
public:
    using entry_t = vdatahash_entry_t<T>;

    vdatahash_t() = default;
    ~vdatahash_t() { remove_all(); }
    vdatahash_t(const vdatahash_t&) = delete;
    vdatahash_t& operator=(const vdatahash_t&) = delete;

    // The entry with this key, or null.
    entry_t* find_entry(const void* key, size_t length) const
    {
        if (buckets_.empty())
            return nullptr;
        const uint32_t hash = v_memhash(key, length);
        for (entry_t* e = buckets_[hash % buckets_.size()]; e; e = e->chain_next_) {
            if (e->hash_ == hash && e->key_.size() == length &&
                (length == 0 || memcmp(e->key_.data(), key, length) == 0))
                return e;
        }
        return nullptr;
    }
    entry_t* find_entry(const char* text) const { return find_entry(text, text ? strlen(text) : 0); }

    // The value with this key, or null.
    T* find(const void* key, size_t length) const
    {
        entry_t* e = find_entry(key, length);
        return e ? &e->value_ : nullptr;
    }
    T* find(const char* text) const { return find(text, text ? strlen(text) : 0); }

    // Stores `value` under the key: a new key is added at the end of the order, an existing key keeps
    // its place and gets the new value. Returns the entry.
    entry_t* put(const void* key, size_t length, const T& value)
    {
        if (entry_t* e = find_entry(key, length)) {
            e->value_ = value;
            return e;
        }
        if (count_ + 1 > buckets_.size())
            rehash(buckets_.empty() ? 16 : buckets_.size() * 2);
        const uint32_t hash = v_memhash(key, length);
        auto* e = new entry_t(std::string(static_cast<const char*>(key), length), hash, value);
        entry_t*& head = buckets_[hash % buckets_.size()];
        e->chain_next_ = head;
        head = e;
        e->order_prev_ = last_;
        (last_ ? last_->order_next_ : first_) = e;
        last_ = e;
        ++count_;
        return e;
    }
    entry_t* put(const char* text, const T& value) { return put(text, text ? strlen(text) : 0, value); }

    // Removes the entry with this key; false when there is none.
    bool remove(const void* key, size_t length) { return remove_entry(find_entry(key, length)); }
    bool remove(const char* text) { return remove(text, text ? strlen(text) : 0); }
    // Removes an entry of this table; false for null.
    bool remove_entry(entry_t* e)
    {
        if (!e)
            return false;
        entry_t** link = &buckets_[e->hash_ % buckets_.size()];
        while (*link != e)
            link = &(*link)->chain_next_;
        *link = e->chain_next_;
        (e->order_prev_ ? e->order_prev_->order_next_ : first_) = e->order_next_;
        (e->order_next_ ? e->order_next_->order_prev_ : last_) = e->order_prev_;
        delete e;
        --count_;
        return true;
    }
    // Removes every entry.
    void remove_all()
    {
        while (first_)
            remove_entry(first_);
    }

    // Entries in the order they were put.
    entry_t* first() const { return first_; }
    entry_t* last() const { return last_; }
    size_t count() const { return count_; }
    bool is_empty() const { return count_ == 0; }

private:
    void rehash(size_t bucket_count)
    {
        std::vector<entry_t*> buckets(bucket_count, nullptr);
        for (entry_t* e = first_; e; e = e->order_next_) {
            entry_t*& head = buckets[e->hash_ % bucket_count];
            e->chain_next_ = head;
            head = e;
        }
        buckets_ = std::move(buckets);
    }

    std::vector<entry_t*> buckets_;
    entry_t* first_ = nullptr;
    entry_t* last_ = nullptr;
    size_t count_ = 0;
};
