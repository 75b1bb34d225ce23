#include "base/GbkTextSearch.h"

#include <cstdint>
#include <cstring>

namespace lumo {

GbkTextSearch::GbkTextSearch(const Text& text, const Text& what, bool ignoreCase)
    : text_(text), what_(what), ignoreCase_(ignoreCase), fallback_(what.size(), 0) {
    for (char& c : what_) c = static_cast<char>(fold(static_cast<unsigned char>(c)));
    // fallback_[k]: length of the longest proper prefix of what_[0..k] that is also its suffix.
    std::size_t k = 0;
    for (std::size_t i = 1; i < what_.size(); ++i) {
        while (k > 0 && what_[i] != what_[k]) k = fallback_[k - 1];
        if (what_[i] == what_[k]) ++k;
        fallback_[i] = static_cast<std::uint32_t>(k);
    }
}

unsigned char GbkTextSearch::fold(unsigned char c) const {
    if (ignoreCase_ && c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + ('a' - 'A'));
    return c;
}

std::size_t GbkTextSearch::nextOccurrence() {
    const std::size_t n = text_.size();
    const std::size_t m = what_.size();
    while (scanned_ < n) {
        if (state_ == 0 && !ignoreCase_) {
            // Nothing matched yet: jump to the next copy of the first byte.
            const void* hit = std::memchr(text_.data() + scanned_, what_[0], n - scanned_);
            if (hit == nullptr) {
                scanned_ = n;
                return Text::npos;
            }
            scanned_ = static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
        }
        const char c = static_cast<char>(fold(static_cast<unsigned char>(text_[scanned_])));
        while (state_ > 0 && c != what_[state_]) state_ = fallback_[state_ - 1];
        if (c == what_[state_]) ++state_;
        ++scanned_;
        if (state_ == m) {
            state_ = fallback_[m - 1];
            return scanned_ - m;
        }
    }
    return Text::npos;
}

bool GbkTextSearch::onBoundary(std::size_t position) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
    while (!walkEnded_ && walk_ < position) {
        // Bytes below 0x80 are units of their own: a run of them goes eight at a time.
        while (walk_ + 8 <= position) {
            std::uint64_t word;
            std::memcpy(&word, bytes + walk_, 8);
            if ((word & 0x8080808080808080ULL) != 0) break;
            walk_ += 8;
        }
        if (walk_ >= position) break;
        if (bytes[walk_] < 0x80) {
            walk_ += 1;
        } else if (walk_ + 1 < text_.size()) {
            walk_ += 2;
        } else {
            walkEnded_ = true;  // a lone lead byte at the end: the last unit
        }
    }
    return walk_ == position;
}

std::size_t GbkTextSearch::next(std::size_t notBefore) {
    for (;;) {
        const std::size_t at = nextOccurrence();
        if (at == Text::npos) return Text::npos;
        if (at < notBefore || at < walk_) continue;
        if (onBoundary(at)) return at;
        if (walkEnded_) return Text::npos;
    }
}

void GbkTextSearch::restartAt(std::size_t position) {
    walk_ = position;
    walkEnded_ = false;
}

}  // namespace lumo
