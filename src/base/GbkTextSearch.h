#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/Text.h"

namespace lumo {

// The occurrences of `what` in `text` that begin on a GBK unit boundary, in order, in time linear
// in the text and `what` together: a Knuth-Morris-Pratt scan finds every occurrence (jumping
// with memmem while nothing is half matched), and a walk over the units (a byte of 0x80 or more
// and the byte after it form one unit; a lone lead byte at the very end ends the walk) drops
// those that begin inside a two-byte character. The walk looks back only over the bytes of 0x80
// or more just before an occurrence, never further back than it stood.
//
// The walk starts at byte 0; restartAt() starts it afresh at a later byte, as a scan does after
// consuming an occurrence. With `ignoreCase`, ASCII letters are folded.
//
// Holds references to `text` and `what`, which must outlive it. Not thread-safe; cheap to make.
class GbkTextSearch {
public:
    // `what` must not be empty.
    GbkTextSearch(const Text& text, const Text& what, bool ignoreCase);

    // The next occurrence on a unit boundary at or after `notBefore`, or Text::npos.
    std::size_t next(std::size_t notBefore = 0);

    // The walk over units starts again at `position`; occurrences before it are no longer found.
    void restartAt(std::size_t position);

private:
    std::size_t nextOccurrence();
    bool skipToCandidate();
    bool onBoundary(std::size_t position);
    unsigned char fold(unsigned char c) const;

    const Text& text_;
    Text what_;  // folded
    bool ignoreCase_;
    std::vector<std::uint32_t> fallback_;
    std::size_t scanned_ = 0;  // bytes of the text the scan has consumed
    std::size_t state_ = 0;    // bytes of `what` matched so far
    std::size_t walk_ = 0;     // the unit boundary the walk has reached
};

}  // namespace lumo
