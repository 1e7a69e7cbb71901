#pragma once
#include <cstddef>
#include <new>
#include <utility>

#include "engine/bmem.h"

// Node of a `vdatalist_t`: the record and its links. A node stays at its address until it is removed,
// so owners may remember it (a slot remembers its node to move it to the front later).
template <typename T> class vdatalist_node_t {
public:
    // The record this node holds.
    T& value() { return value_; }
    const T& value() const { return value_; }
    // The neighbours in list order; null at the ends.
    vdatalist_node_t* next() const { return next_; }
    vdatalist_node_t* prev() const { return prev_; }

private:
    template <typename> friend class vdatalist_t;
    template <typename... A> explicit vdatalist_node_t(A&&... args) : value_(std::forward<A>(args)...) {}

    vdatalist_node_t* prev_ = nullptr;
    vdatalist_node_t* next_ = nullptr;
    T value_;
};

// Doubly linked list of records held by value, its nodes drawn from a `bmem_manager` pool: its own
// pool by default, or one shared with other lists (`init_mm`; the pool must outlive them). Adding
// returns the new node (null when memory runs out); removing gives the node back to the pool.
template <typename T> class vdatalist_t {
public:
    using node_t = vdatalist_node_t<T>;

    vdatalist_t() { own_pool_.fit_item_size(sizeof(node_t)); }
    ~vdatalist_t() { remove_all(); }
    vdatalist_t(const vdatalist_t&) = delete;
    vdatalist_t& operator=(const vdatalist_t&) = delete;

    // Sets how many nodes each block of the list's own pool holds. Only while the list is empty.
    bool init_mm(size_t nodes_per_block)
    {
        if (count_ != 0)
            return false;
        pool_ = &own_pool_;
        return own_pool_.set_pars(sizeof(node_t), nodes_per_block);
    }
    // Draws the nodes from `pool`, shared with other lists. Only while the list is empty and when the
    // pool's items can hold this list's nodes (see `bmem_manager::fit_item_size`).
    bool init_mm(bmem_manager& pool)
    {
        if (count_ != 0 || !pool.fit_item_size(sizeof(node_t)))
            return false;
        pool_ = &pool;
        return true;
    }

    // Adds a record at the end, at the front, or beside an existing node of this list.
    node_t* append(const T& value) { return link(make(value), last_, nullptr); }
    node_t* prepend(const T& value) { return link(make(value), nullptr, first_); }
    node_t* insert_before(node_t* node, const T& value)
    {
        return node ? link(make(value), node->prev_, node) : append(value);
    }
    node_t* insert_after(node_t* node, const T& value)
    {
        return node ? link(make(value), node, node->next_) : prepend(value);
    }

    // Removes a node of this list (null is ignored).
    void remove(node_t* node)
    {
        if (!node)
            return;
        unlink(node);
        node->~node_t();
        pool_->free(node);
    }
    // Removes the first (last) node, copying its record to `out` when given; false when empty.
    bool remove_first(T* out = nullptr) { return take(first_, out); }
    bool remove_last(T* out = nullptr) { return take(last_, out); }
    // Removes every node.
    void remove_all()
    {
        while (first_)
            remove(first_);
    }

    // Moves a node of this list to the front (back) without copying its record.
    void move_to_front(node_t* node)
    {
        if (node && node != first_) {
            unlink(node);
            link(node, nullptr, first_);
        }
    }
    void move_to_back(node_t* node)
    {
        if (node && node != last_) {
            unlink(node);
            link(node, last_, nullptr);
        }
    }

    // The first node whose record equals `value`, or null.
    node_t* find(const T& value) const
    {
        for (node_t* n = first_; n; n = n->next_) {
            if (n->value_ == value)
                return n;
        }
        return nullptr;
    }
    // The node at position `index`, or null when out of range.
    node_t* at(size_t index) const
    {
        node_t* n = first_;
        for (; n && index > 0; --index)
            n = n->next_;
        return n;
    }

    node_t* first() const { return first_; }
    node_t* last() const { return last_; }
    size_t count() const { return count_; }
    bool is_empty() const { return count_ == 0; }

    // Iteration over the records, front to back.
    template <typename N, typename V> class iterator_t {
    public:
        explicit iterator_t(N* node) : node_(node) {}
        V& operator*() const { return node_->value(); }
        iterator_t& operator++()
        {
            node_ = node_->next();
            return *this;
        }
        bool operator!=(const iterator_t& other) const { return node_ != other.node_; }

    private:
        N* node_;
    };
    iterator_t<node_t, T> begin() { return iterator_t<node_t, T>(first_); }
    iterator_t<node_t, T> end() { return iterator_t<node_t, T>(nullptr); }
    iterator_t<const node_t, const T> begin() const { return iterator_t<const node_t, const T>(first_); }
    iterator_t<const node_t, const T> end() const { return iterator_t<const node_t, const T>(nullptr); }

private:
    node_t* make(const T& value)
    {
        void* memory = pool_->alloc();
        return memory ? new (memory) node_t(value) : nullptr;
    }
    node_t* link(node_t* node, node_t* prev, node_t* next)
    {
        if (!node)
            return nullptr;
        node->prev_ = prev;
        node->next_ = next;
        (prev ? prev->next_ : first_) = node;
        (next ? next->prev_ : last_) = node;
        ++count_;
        return node;
    }
    void unlink(node_t* node)
    {
        (node->prev_ ? node->prev_->next_ : first_) = node->next_;
        (node->next_ ? node->next_->prev_ : last_) = node->prev_;
        node->prev_ = node->next_ = nullptr;
        --count_;
    }
    bool take(node_t* node, T* out)
    {
        if (!node)
            return false;
        if (out)
            *out = node->value_;
        remove(node);
        return true;
    }

    bmem_manager own_pool_;
    bmem_manager* pool_ = &own_pool_;
    node_t* first_ = nullptr;
    node_t* last_ = nullptr;
    size_t count_ = 0;
};
