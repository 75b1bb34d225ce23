#pragma once

#include <cstddef>
#include <string_view>

namespace lumo {

// Takes a response body piece by piece as it arrives, for a caller that converts or scans it on
// the way instead of keeping it whole (see FetchRequest::bodySink). The pieces are those of the
// final response only, in order; a fetch that fails may have given some of them before.
//
// Called on the fetching thread only.
class BodySink {
public:
    virtual ~BodySink() = default;

    // The length the response announced, within the fetcher's limit; may never be called.
    virtual void expect(std::size_t bytes) = 0;

    // The next piece of the body.
    virtual void receive(std::string_view piece) = 0;
};

}  // namespace lumo
