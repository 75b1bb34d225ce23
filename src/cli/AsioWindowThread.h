#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>

#include "base/WindowThread.h"

namespace lumo::cli {

// The window thread of the command line: work is posted to an asio io_context, and runs on the
// thread that runs it (the main thread), in order of posting.
//
// Thread-safe: post() may be called from any thread.
class AsioWindowThread : public WindowThread {
public:
    explicit AsioWindowThread(boost::asio::io_context& context) : context_(context) {}

    void post(std::function<void()> work) override { boost::asio::post(context_, std::move(work)); }

private:
    boost::asio::io_context& context_;
};

}  // namespace lumo::cli
