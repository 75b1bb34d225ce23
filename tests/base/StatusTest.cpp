#include "base/Status.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(StatusTest, SuccessHasNoReasonAndAFailureNeverReadsAsOne) {
    const Status done;
    EXPECT_TRUE(done.ok());
    EXPECT_TRUE(done);
    EXPECT_EQ(done.kind(), Status::Kind::Ok);
    EXPECT_TRUE(done.reason().empty());

    const Status busy = Status::failure(Status::Kind::Busy, "database is locked", 5);
    EXPECT_FALSE(busy.ok());
    EXPECT_FALSE(busy);
    EXPECT_EQ(busy.kind(), Status::Kind::Busy);
    EXPECT_EQ(busy.code(), 5);
    EXPECT_EQ(busy.reason(), "database is locked");

    // A failure made with the kind of success, or without words, is still a failure that says so.
    const Status careless = Status::failure(Status::Kind::Ok, "");
    EXPECT_FALSE(careless.ok());
    EXPECT_EQ(careless.kind(), Status::Kind::Failed);
    EXPECT_EQ(careless.reason(), "failed");
}

}  // namespace
}  // namespace lumo
