#include "base/Utf8ToGbkStream.h"

#include <algorithm>
#include <utility>

#include "base/GbkCodec.h"

namespace lumo {
namespace {

// A UTF-8 character has at most four bytes.
constexpr std::size_t kLongestCharacter = 4;

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// How many bytes at the end of `bytes` the next piece may add to: from the last byte that can
// begin a character with more bytes (0xC0 and above) among the last three, if the bytes after it
// are all continuation bytes. Every byte that is no continuation byte starts a character of its
// own, so the bytes before it convert the same whatever follows.
std::size_t openTail(std::string_view bytes) {
    const std::size_t look = std::min(bytes.size(), kLongestCharacter - 1);
    for (std::size_t k = 1; k <= look; ++k) {
        const char c = bytes[bytes.size() - k];
        if (isContinuation(c)) continue;
        return static_cast<unsigned char>(c) >= 0xC0 ? k : 0;
    }
    return 0;
}

}  // namespace

void Utf8ToGbkStream::reserve(std::size_t bytes) {
    text_.reserve(bytes);
}

void Utf8ToGbkStream::append(std::string_view piece) {
    if (heldSize_ > 0) {
        if (!completeHeld(piece)) return;
        convert(std::string_view(held_, std::exchange(heldSize_, 0)));
    }
    const std::size_t tail = openTail(piece);
    convert(piece.substr(0, piece.size() - tail));
    if (ended_) return;
    std::copy(piece.end() - static_cast<std::ptrdiff_t>(tail), piece.end(), held_);
    heldSize_ = tail;
}

bool Utf8ToGbkStream::completeHeld(std::string_view& piece) {
    std::size_t taken = 0;
    while (heldSize_ < kLongestCharacter && taken < piece.size() && isContinuation(piece[taken])) {
        held_[heldSize_++] = piece[taken++];
    }
    piece.remove_prefix(taken);
    return heldSize_ == kLongestCharacter || !piece.empty();
}

Text Utf8ToGbkStream::finish() {
    convert(std::string_view(held_, std::exchange(heldSize_, 0)));
    ended_ = false;
    return std::exchange(text_, Text());
}

void Utf8ToGbkStream::convert(std::string_view bytes) {
    if (ended_ || bytes.empty()) return;
    const std::size_t start = text_.size();
    text_.resize(start + bytes.size());  // the text is never longer than the UTF-8
    const Utf8ToGbkStep step = convertUtf8ToGbk(bytes.data(), bytes.size(), text_.data() + start);
    text_.resize(static_cast<std::size_t>(step.end - text_.data()));
    ended_ = step.stoppedAtNul;
}

}  // namespace lumo
