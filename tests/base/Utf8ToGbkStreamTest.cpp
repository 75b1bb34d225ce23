#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/GbkCodec.h"
#include "base/Utf8ToGbkStream.h"

namespace lumo {
namespace {

class Random {
public:
    explicit Random(std::uint32_t seed) : seed_(seed) {}
    std::uint32_t below(std::uint32_t bound) {
        seed_ = seed_ * 1664525u + 1013904223u;
        return (seed_ >> 8) % bound;
    }

private:
    std::uint32_t seed_;
};

// Text with every kind of sequence: ASCII, two-, three- and four-byte characters, long Chinese
// runs, stray continuation bytes, leads without their continuation bytes, overlong and surrogate
// sequences, and (when asked) a NUL.
std::string mixedUtf8(Random& random, bool withNul) {
    static const char* const pieces[] = {
        "a",
        "<td>",
        "\xC3\xA9",
        "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE7\xAC\xA6",
        "\x80",
        "\xBF",
        "\xE4\xB8",
        "\xF0\x9F\x98",
        "\xF0\x9F\x98\x80",
        "\xE0\x80\x80",
        "\xED\xA0\x80",
        "\xC3",
        "\xF5",
        "\xE2\x82\xAC",
        "\r\n",
    };
    std::string text;
    const std::uint32_t count = random.below(200);
    for (std::uint32_t k = 0; k < count; ++k) {
        text += pieces[random.below(std::size(pieces))];
        if (withNul && random.below(150) == 0) text += '\0';
    }
    return text;
}

Text streamed(std::string_view bytes, Random& random) {
    Utf8ToGbkStream stream;
    stream.reserve(bytes.size());
    while (!bytes.empty()) {
        // Mostly short pieces, so characters straddle the cuts in every way; now and then an
        // empty one.
        const std::size_t size = std::min<std::size_t>(bytes.size(), random.below(9));
        stream.append(bytes.substr(0, size));
        bytes.remove_prefix(size);
    }
    return stream.finish();
}

// However the bytes are cut into pieces, the stream gives what the whole converts to, a NUL
// ending the text and a character cut off at the very end included.
TEST(Utf8ToGbkStreamTest, AnyCuttingGivesTheWholesConversion) {
    Random random(2026);
    for (int round = 0; round < 3000; ++round) {
        const std::string bytes = mixedUtf8(random, round % 3 == 0);
        ASSERT_EQ(streamed(bytes, random), utf8ToGbk(bytes)) << "round " << round;
    }
}

TEST(Utf8ToGbkStreamTest, StartsAnewAfterFinish) {
    Utf8ToGbkStream stream;
    stream.append("a\xE4\xB8");  // a character cut off by the end
    stream.append(std::string_view("\0b", 2));
    EXPECT_EQ(stream.finish(), "a?");
    stream.append("\xE4\xB8");
    stream.append("\xAD");
    EXPECT_EQ(stream.finish(), "\xD6\xD0");
    EXPECT_EQ(stream.finish(), "");
}

}  // namespace
}  // namespace lumo
