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
        if (state_ == 0 && !ignoreCase_ && !skipToCandidate()) return Text::npos;
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

bool GbkTextSearch::skipToCandidate() {
    // Nothing matched yet: jump to the next whole copy of `what` (memmem never reads a byte
    // twice over, and the scan below re-reads only the copy it lands on), or to the next copy of
    // its first byte where the library has no memmem.
    const std::size_t n = text_.size();
#if defined(__GLIBC__)
    const void* hit = memmem(text_.data() + scanned_, n - scanned_, what_.data(), what_.size());
#else
    const void* hit = std::memchr(text_.data() + scanned_, what_[0], n - scanned_);
#endif
    if (hit == nullptr) {
        scanned_ = n;
        return false;
    }
    scanned_ = static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
    return true;
}

bool GbkTextSearch::onBoundary(std::size_t position) {
    if (walk_ >= position) return walk_ == position;
    // A unit always ends right after a byte below 0x80 (it is a unit of its own or the second
    // byte of one), and bytes of 0x80 or more after that pair up. So only the run of such bytes
    // just before `position` (back to where the walk stands) decides, by its parity.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
    std::size_t runStart = position;
    while (runStart > walk_ && bytes[runStart - 1] >= 0x80) --runStart;
    const bool boundary = (position - runStart) % 2 == 0;
    walk_ = boundary ? position : position + 1;  // else the unit at position - 1 ends there
    return boundary;
}

std::size_t GbkTextSearch::next(std::size_t notBefore) {
    for (;;) {
        const std::size_t at = nextOccurrence();
        if (at == Text::npos) return Text::npos;
        if (at < notBefore || at < walk_) continue;
        if (onBoundary(at)) return at;
    }
}

void GbkTextSearch::restartAt(std::size_t position) {
    walk_ = position;
}

}  // namespace lumo
