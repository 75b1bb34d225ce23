#pragma once

#include <cstddef>
#include <string_view>

#include "base/Text.h"

namespace lumo {

// Converts UTF-8 that arrives in pieces (a page as it comes off the network) to a GBK text, with
// exactly the result utf8ToGbk gives for all the pieces joined, and without keeping the UTF-8:
// each piece is converted as it comes, but for the last few bytes of a character that the next
// piece may finish. The text ends at the first NUL of the result; what comes after is ignored.
//
// Not thread-safe: one stream serves one transfer.
class Utf8ToGbkStream {
public:
    // Makes room for a text converted from this many bytes, so the text is not moved as it grows.
    void reserve(std::size_t bytes);

    // Converts the next piece.
    void append(std::string_view piece);

    // The text of everything appended, a character cut off at the very end included; the stream
    // starts empty again afterwards.
    Text finish();

private:
    void convert(std::string_view bytes);
    // Adds the piece's first bytes to the held character as far as they can belong to it; true
    // when the character is then complete (the next byte starts another), false when the next
    // piece may still add to it.
    bool completeHeld(std::string_view& piece);

    Text text_;
    // The start of a character whose remaining bytes may come in the next piece (at most three
    // bytes, or four while completing).
    char held_[4] = {};
    std::size_t heldSize_ = 0;
    bool ended_ = false;  // a NUL ended the text
};

}  // namespace lumo
