#pragma once

#include <compare>
#include <cstddef>
#include <iterator>

#include "check/SearchGuard.h"

namespace lumo {

// A random-access iterator over bytes that reports every read and every move to a SearchGuard, so
// a regular-expression matcher running over it can be ended from inside. Comparisons and
// distances are free. It is as cheap to copy as a pointer; every copy reports to the same guard,
// which must outlive it.
class GuardedTextIterator {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    GuardedTextIterator() = default;
    GuardedTextIterator(const char* at, SearchGuard* guard) : at_(at), guard_(guard) {}

    const char* base() const { return at_; }

    reference operator*() const {
        guard_->step();
        return *at_;
    }
    reference operator[](difference_type n) const {
        guard_->step();
        return at_[n];
    }
    GuardedTextIterator& operator++() {
        guard_->step();
        ++at_;
        return *this;
    }
    GuardedTextIterator operator++(int) {
        GuardedTextIterator before = *this;
        ++*this;
        return before;
    }
    GuardedTextIterator& operator--() {
        guard_->step();
        --at_;
        return *this;
    }
    GuardedTextIterator operator--(int) {
        GuardedTextIterator before = *this;
        --*this;
        return before;
    }
    GuardedTextIterator& operator+=(difference_type n) {
        guard_->step();
        at_ += n;
        return *this;
    }
    GuardedTextIterator& operator-=(difference_type n) {
        guard_->step();
        at_ -= n;
        return *this;
    }
    friend GuardedTextIterator operator+(GuardedTextIterator it, difference_type n) {
        return it += n;
    }
    friend GuardedTextIterator operator+(difference_type n, GuardedTextIterator it) {
        return it += n;
    }
    friend GuardedTextIterator operator-(GuardedTextIterator it, difference_type n) {
        return it -= n;
    }
    friend difference_type operator-(const GuardedTextIterator& a, const GuardedTextIterator& b) {
        return a.at_ - b.at_;
    }
    friend bool operator==(const GuardedTextIterator& a, const GuardedTextIterator& b) {
        return a.at_ == b.at_;
    }
    friend auto operator<=>(const GuardedTextIterator& a, const GuardedTextIterator& b) {
        return a.at_ <=> b.at_;
    }

private:
    const char* at_ = nullptr;
    SearchGuard* guard_ = nullptr;
};

}  // namespace lumo
