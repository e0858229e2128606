// LPtrArray: growable list of non-owning pointers whose slot after the last
// element always holds null. LOwnedArray holds owned objects.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "base/heap_size.h"

template <class T>
class LPtrArray {
public:
    LPtrArray() { items_.push_back(nullptr); }

    int32_t count() const { return int32_t(items_.size()) - 1; }
    bool empty() const { return count() == 0; }
    int32_t capacity() const { return int32_t(items_.capacity()); }
    T* operator[](int32_t i) const { return items_[i]; }
    T*& operator[](int32_t i) { return items_[i]; }
    // The elements followed by a null slot.
    T* const* data() const { return items_.data(); }
    T* const* begin() const { return items_.data(); }
    T* const* end() const { return items_.data() + count(); }

    void add(T* p) { insert(count(), p); }
    void insert(int32_t pos, T* p) {
        growFor(count() + 2);
        items_.insert(items_.begin() + pos, p);
    }
    T* removeAt(int32_t pos) {
        T* p = items_[pos];
        items_.erase(items_.begin() + pos);
        return p;
    }
    void clear() {
        items_.clear();
        items_.shrink_to_fit();
        items_.push_back(nullptr);
    }

private:
    void growFor(int32_t slots) {
        if (slots > int32_t(items_.capacity())) items_.reserve(grownCapacity(slots, sizeof(T*)));
    }
    std::vector<T*> items_;
};

// A list that owns its elements; destroying the list destroys them.
template <class T>
using LOwnedArray = std::vector<std::unique_ptr<T>>;
