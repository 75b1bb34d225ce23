#pragma once

#include "base/Text.h"
#include "base/Utf8ToGbkStream.h"
#include "http/BodySink.h"

namespace lumo {

// A UTF-8 body converted to GBK text as it arrives (see Utf8ToGbkStream), so the page is never
// held twice.
//
// Not thread-safe: one per fetch.
class GbkTextBody final : public BodySink {
public:
    void expect(std::size_t bytes) override { stream_.reserve(bytes); }
    void receive(std::string_view piece) override { stream_.append(piece); }

    // The text of the whole body.
    Text finish() { return stream_.finish(); }

private:
    Utf8ToGbkStream stream_;
};

}  // namespace lumo
