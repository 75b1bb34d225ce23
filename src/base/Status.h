#pragma once

#include <string>
#include <utility>

namespace lumo {

// The outcome of an operation that may fail: success, or a failure that says what kind of
// failure it was, the number the library or server under it gave (SQLite's result code, errno,
// curl's code, an HTTP error status; 0 where there is none) and why, in words. The core's
// fetches, file writes, database calls and plan checks report through it, so a reason reaches the
// caller as it was given, never reduced to "failed".
//
// The reason is for people. The function returning the Status says its encoding: the reasons of
// a fetch and of a plan's check are GBK words for a log line; file and database reasons are
// English in UTF-8, with paths as the file system gave them. A failure always has a reason;
// success has none.
//
// A plain value: copy it and keep it; once made it may be read from any thread.
class Status {
public:
    enum class Kind {
        Ok,
        Missing,    // no file (or folder) of that name; a marker a page does not hold
        Exists,     // a file of that name is in the way
        Refused,    // present, but not what was asked for: not a lumo database, not a regular
                    // file, an address without a host, an empty statement, a pattern the regex
                    // engine rejects, a server's error status
        Empty,      // there, but holding nothing: an empty page, nothing between a plan's
                    // markers, no article in its region
        Busy,       // another connection held a lock longer than the wait allows
        Cancelled,  // stopped on request
        TimedOut,   // a time limit ended it
        Failed,     // anything else: a read or write error, SQLite's or the network's error, a
                    // size limit, a search over its step budget or the regex engine's own bound
    };

    // Success.
    Status() = default;

    // A failure of `kind`. Kind::Ok is taken as Failed and an empty reason as "failed", so a
    // failure can never read as success or come without words.
    static Status failure(Kind kind, std::string reason, int code = 0) {
        Status status;
        status.kind_ = kind == Kind::Ok ? Kind::Failed : kind;
        status.reason_ = reason.empty() ? std::string("failed") : std::move(reason);
        status.code_ = code;
        return status;
    }

    bool ok() const { return kind_ == Kind::Ok; }
    // True when ok, as std::optional's and std::expected's are when they hold a value.
    explicit operator bool() const { return ok(); }
    Kind kind() const { return kind_; }
    int code() const { return code_; }
    // Empty when ok.
    const std::string& reason() const { return reason_; }

private:
    Kind kind_ = Kind::Ok;
    int code_ = 0;
    std::string reason_;
};

}  // namespace lumo
