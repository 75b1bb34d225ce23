#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>

#include "base/WindowThread.h"

namespace lumo::cli {

// The command line's main thread, in the role the core calls the window thread (the program has
// no window): work is posted to an asio io_context, and runs on the thread that runs it (the
// main thread), in order of posting.
//
// Thread-safe: post() may be called from any thread.
class AsioMainThread : public WindowThread {
public:
    explicit AsioMainThread(boost::asio::io_context& context) : context_(context) {}

    void post(std::function<void()> work) override { boost::asio::post(context_, std::move(work)); }

private:
    boost::asio::io_context& context_;
};

}  // namespace lumo::cli
