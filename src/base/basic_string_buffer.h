// The growable, always NUL-terminated buffer behind LStr (bytes) and LWStr
// (UTF-16 units). Length and capacity are 32-bit signed counts of units.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "base/heap_size.h"

template <class Ch>
class BasicStringBuffer {
public:
    using View = std::basic_string_view<Ch>;

    BasicStringBuffer() { reset(); }
    BasicStringBuffer(View v) : BasicStringBuffer() { assign(v); }
    BasicStringBuffer(const Ch* s) : BasicStringBuffer() { assign(View(s ? s : emptyText())); }
    BasicStringBuffer(const Ch* s, int32_t n) : BasicStringBuffer() { assign(View(s, n)); }
    BasicStringBuffer(const BasicStringBuffer& o) : BasicStringBuffer() { assign(o.view()); }
    BasicStringBuffer(BasicStringBuffer&& o) noexcept
        : data_(std::move(o.data_)), cap_(o.cap_), len_(o.len_) {
        o.reset();
    }
    BasicStringBuffer& operator=(const BasicStringBuffer& o) {
        if (this != &o) assign(o.view());
        return *this;
    }
    BasicStringBuffer& operator=(BasicStringBuffer&& o) noexcept {
        if (this != &o) {
            data_ = std::move(o.data_);
            cap_ = o.cap_;
            len_ = o.len_;
            o.reset();
        }
        return *this;
    }
    BasicStringBuffer& operator=(View v) { return assign(v); }
    BasicStringBuffer& operator=(const Ch* s) { return assign(View(s ? s : emptyText())); }

    const Ch* data() const { return data_.get(); }
    Ch* data() { return data_.get(); }
    const Ch* c_str() const { return data_.get(); }
    int32_t length() const { return len_; }
    int32_t size() const { return len_; }
    bool empty() const { return len_ == 0; }
    int32_t capacity() const { return cap_; }
    View view() const { return View(data_.get(), len_); }
    operator View() const { return view(); }
    Ch operator[](int32_t i) const { return data_[i]; }
    Ch& operator[](int32_t i) { return data_[i]; }
    Ch back() const { return len_ ? data_[len_ - 1] : Ch(0); }

    // Empties the string and shrinks it to the smallest size class.
    void clear() { reset(); }

    BasicStringBuffer& assign(View v) {
        if (v.data() >= data() && v.data() <= data() + len_) {  // self-overlap
            BasicStringBuffer copy(v);
            return *this = std::move(copy);
        }
        setLength(0);  // an empty v appends nothing, so end the old text here
        return append(v);
    }
    BasicStringBuffer& append(View v) {
        if (v.empty()) return *this;
        if (v.data() >= data() && v.data() <= data() + len_) {
            BasicStringBuffer copy(v);
            return append(copy.view());
        }
        reserveFor(int64_t(len_) + v.size());
        std::copy(v.begin(), v.end(), data_.get() + len_);
        setLength(len_ + int32_t(v.size()));
        return *this;
    }
    BasicStringBuffer& append(const Ch* s, int32_t n) { return append(View(s, n)); }
    BasicStringBuffer& append(Ch c) { return append(View(&c, 1)); }
    BasicStringBuffer& operator+=(View v) { return append(v); }
    BasicStringBuffer& operator+=(Ch c) { return append(c); }

    // Inserts v before position pos (clamped to the length).
    BasicStringBuffer& insert(int32_t pos, View v) {
        pos = std::clamp(pos, 0, len_);
        BasicStringBuffer tail(view().substr(pos));
        setLength(pos);
        append(v);
        return append(tail.view());
    }
    // Removes n units at pos (clamped).
    BasicStringBuffer& erase(int32_t pos, int32_t n = INT32_MAX) {
        pos = std::clamp(pos, 0, len_);
        n = std::clamp(n, 0, len_ - pos);
        std::copy(data_.get() + pos + n, data_.get() + len_, data_.get() + pos);
        setLength(len_ - n);
        return *this;
    }
    // Replaces every non-overlapping occurrence of `from`, left to right;
    // returns the number of replacements.
    int32_t replaceAll(View from, View to) {
        if (from.empty()) return 0;
        BasicStringBuffer out;
        int32_t count = 0;
        size_t pos = 0;
        View v = view();
        for (size_t hit; (hit = v.find(from, pos)) != View::npos; pos = hit + from.size()) {
            out.append(v.substr(pos, hit - pos));
            out.append(to);
            ++count;
        }
        if (count == 0) return 0;
        out.append(v.substr(pos));
        *this = std::move(out);
        return count;
    }
    // Cuts the string to n units (n at most the length).
    void truncate(int32_t n) {
        if (n >= 0 && n < len_) setLength(n);
    }
    // Appends what write(Ch* room) puts there, up to n units; write returns
    // how many it put (a negative count puts none). No unit is filled first.
    template <class Write>
    int32_t appendWith(int32_t n, Write&& write) {
        reserveFor(int64_t(len_) + n);
        const int32_t put = std::clamp(int32_t(write(data_.get() + len_)), 0, n);
        setLength(len_ + put);
        return put;
    }
    // Makes room for n units in all and sets the length to n; new units are 0.
    void resize(int32_t n) {
        if (n < 0) n = 0;
        reserveFor(n);
        if (n > len_) std::fill(data_.get() + len_, data_.get() + n, Ch(0));
        setLength(n);
    }
    void reserve(int32_t n) {
        if (n > cap_ - 1) reallocate(n + 1);
    }

    friend bool operator==(const BasicStringBuffer& a, const BasicStringBuffer& b) {
        return a.view() == b.view();
    }
    friend bool operator==(const BasicStringBuffer& a, View b) { return a.view() == b; }
    friend bool operator==(const BasicStringBuffer& a, const Ch* b) { return a.view() == View(b); }
    friend auto operator<=>(const BasicStringBuffer& a, const BasicStringBuffer& b) {
        return a.view() <=> b.view();
    }

private:
    static const Ch* emptyText() {
        static const Ch zero = 0;
        return &zero;
    }
    void reset() {
        cap_ = heapUsableSize(sizeof(Ch)) / int32_t(sizeof(Ch));
        data_ = std::make_unique<Ch[]>(cap_);
        len_ = 0;
    }
    void setLength(int32_t n) {
        len_ = n;
        data_[n] = 0;
    }
    // Ensures room for n units plus the NUL; growth follows the 5/4 rule.
    void reserveFor(int64_t n) {
        if (n + 1 <= cap_) return;
        reallocate(grownCapacity(n + 1, sizeof(Ch)));
    }
    void reallocate(int64_t units) {
        // Only the copied units and the NUL are ever read before written.
        auto fresh = std::make_unique_for_overwrite<Ch[]>(size_t(units));
        std::copy(data_.get(), data_.get() + len_ + 1, fresh.get());
        data_ = std::move(fresh);
        cap_ = int32_t(units);
    }

    std::unique_ptr<Ch[]> data_;
    int32_t cap_ = 0;
    int32_t len_ = 0;
};
