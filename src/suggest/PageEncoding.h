#pragma once

#include <optional>
#include <string_view>

#include "base/Text.h"

namespace lumo {

// How a page's bytes are to be read: GBK or UTF-8 (the two encodings a plan knows), and whether
// they are a text page at all.
//
// The encoding comes from, in this order: the user's choice, the charset the response declared,
// the charset a <meta> near the top of the page declares, and the bytes (valid UTF-8 reads as
// UTF-8, anything else as GBK). A page declared gb2312, gb18030 or any other name of the Chinese
// code pages is read as GBK, as browsers do; a charset that is neither family is passed over.
//
// Pure functions, safe from any thread.
class PageEncoding {
public:
    // True for the names of the GBK family (gbk, gb2312, gb18030, cp936, x-gbk, ...), ASCII case
    // ignored; false for the UTF-8 names. Empty for any other name.
    static std::optional<bool> gbkCharset(std::string_view name);

    // The charset parameter of the last Content-Type line of a response's header block, or empty.
    static Text charsetOfHeaders(const Text& headerBlock);

    // The charset a <meta charset> or <meta http-equiv content="...; charset=..."> declares in the
    // first 16 KB of the page, or empty.
    static Text charsetOfMeta(const Bytes& body);

    // True when the bytes are valid UTF-8 (ASCII included).
    static bool isUtf8(const Bytes& body);

    // Whether the page is read as GBK, by the order above.
    static bool readsAsGbk(const Bytes& body, const Text& declaredCharset,
                           std::optional<bool> chosen);

    // True when the body is not a text page: a NUL byte or many control bytes near its start.
    static bool looksBinary(const Bytes& body);

    // True when the body holds nothing but white space.
    static bool isBlank(const Bytes& body);
};

}  // namespace lumo
