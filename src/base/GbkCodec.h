#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/Text.h"

// Conversions between UTF-8 and GBK (code page 936) that give exactly what the Windows converter
// gives with no flags: invalid UTF-8 becomes U+FFFD, characters that code page 936 cannot write
// become a best-fit look-alike where Windows has one and its default character "?" otherwise
// (U+FFFD included; a character outside the BMP gives "??"). The result stops at the first NUL.
//
// Pure functions, safe from any thread.
namespace lumo {

// UTF-8 bytes to a GBK text.
Text utf8ToGbk(const Bytes& data);

// Where convertUtf8ToGbk stopped: the end of what it wrote, and whether a NUL ended the text.
struct Utf8ToGbkStep {
    char* end;
    bool stoppedAtNul;
};

// The step under utf8ToGbk and Utf8ToGbkStream: converts the `size` bytes at `data` to GBK at
// `out`, which has room for `size` bytes (the output is never longer), up to the first NUL. The
// bytes are taken as the whole input: a sequence cut off at their end is converted as such.
Utf8ToGbkStep convertUtf8ToGbk(const char* data, std::size_t size, char* out);

// A GBK text to UTF-8, for showing it in a widget. A lead byte with a byte after it that is no
// trail byte, or with nothing after it, becomes "?", the default character Windows gives for code
// page 936.
std::string gbkToUtf8(const Text& text);

// A program text written in UTF-8 in the source, as the GBK text the program works with.
inline Text gbk(std::string_view utf8) {
    return utf8ToGbk(Bytes(utf8));
}

}  // namespace lumo
