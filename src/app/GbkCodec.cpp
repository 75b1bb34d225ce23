// Interim implementation over iconv; replaced by the table-driven converter.
#include "app/GbkCodec.h"

#include <iconv.h>

namespace lumo {
namespace {
std::string convert(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
            ++src;
            --srcLeft;
            *dst++ = '?';
            --dstLeft;
        }
    }
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}
}  // namespace

Text utf8ToGbk(const Bytes& data) { const std::string out = convert("GBK", "UTF-8", data);
    return out.substr(0, out.find('\0')); }

std::string gbkToUtf8(const Text& text) { return convert("UTF-8", "GBK", text); }

}  // namespace lumo
