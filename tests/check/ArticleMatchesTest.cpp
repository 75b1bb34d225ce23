#include "check/ArticleMatches.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "base/GbkCodec.h"

namespace lumo {
namespace {

TEST(ArticleMatchesTest, CollectsEveryMatchWithItsGroupsInPageOrder) {
    const auto matches = ArticleMatches::search("<a href=\"(\\d+)\">(.*?)</a>(x)?",
                                                "<a href=\"1\">one</a>x<a href=\"22\">two</a>");
    ASSERT_FALSE(matches.failed());
    EXPECT_EQ(matches.groupCount(), 3);
    ASSERT_EQ(matches.count(), 2);
    EXPECT_EQ(matches.sub(1, 0), "<a href=\"1\">one</a>x");
    EXPECT_EQ(matches.sub(1, 1), "1");
    EXPECT_EQ(matches.sub(1, 2), "one");
    EXPECT_EQ(matches.sub(1, 3), "x");
    EXPECT_EQ(matches.sub(2, 1), "22");
    EXPECT_EQ(matches.sub(2, 3), "");  // the group took no part
    // Outside the groups or the matches: empty.
    EXPECT_EQ(matches.sub(1, 4), "");
    EXPECT_EQ(matches.sub(1, -1), "");
    EXPECT_EQ(matches.sub(0, 0), "");
    EXPECT_EQ(matches.sub(3, 0), "");
}

TEST(ArticleMatchesTest, EachSearchStartsAFreshTextWhereTheLastMatchEnded) {
    // "^" matches again where the previous match ended, so every "a" is a match of its own.
    EXPECT_EQ(ArticleMatches::search("^a", "aaab").count(), 3);
    // Matches never overlap.
    EXPECT_EQ(ArticleMatches::search("aba", "ababa").count(), 1);
    // "^" and "$" also match at line breaks, and "." crosses them.
    EXPECT_EQ(ArticleMatches::search("^x$", "x\ny\rx").count(), 2);
    const auto crossing = ArticleMatches::search("a.b", "a\nb");
    ASSERT_EQ(crossing.count(), 1);
    EXPECT_EQ(crossing.sub(1, 0), "a\nb");
}

TEST(ArticleMatchesTest, AZeroLengthMatchIsKeptAndEndsTheSearch) {
    const auto matches = ArticleMatches::search("(x*)", "abcxx");
    EXPECT_EQ(matches.count(), 1);
    EXPECT_EQ(matches.sub(1, 0), "");
    // After a real match at the end, the empty rest still gets its one empty match.
    EXPECT_EQ(ArticleMatches::search("x*", "xx").count(), 2);
    // An empty text has no match at all.
    EXPECT_EQ(ArticleMatches::search("x*", "").count(), 0);
}

TEST(ArticleMatchesTest, MatchesGbkBytewiseAndFoldsOnlyAsciiCase) {
    const Text text = gbk("标题：ABC");
    // "." takes one byte: the two two-byte characters need four dots.
    EXPECT_EQ(ArticleMatches::search(gbk("标....abc"), text).count(), 1);
    EXPECT_EQ(ArticleMatches::search(gbk("标..abc"), text).count(), 0);
    // Bytes of 0x80 and above are never folded, whatever the process locale is.
    const Text upper = "\xC1\xA1";
    const Text lower = "\xE1\xA1";
    EXPECT_EQ(ArticleMatches::search(lower, upper).count(), 0);
}

TEST(ArticleMatchesTest, RejectedOrRunawayPatternsGiveNoMatchesAndSayWhy) {
    const auto invalid = ArticleMatches::search("([a", "abc");
    EXPECT_TRUE(invalid.failed());
    EXPECT_EQ(invalid.count(), 0);
    EXPECT_EQ(invalid.groupCount(), 0);
    EXPECT_LT(invalid.failure().reason().size(), 200u);
    EXPECT_EQ(invalid.failure().kind(), Status::Kind::Refused);

    // Catastrophic backtracking: Boost gives up; earlier matches are dropped as well.
    const Text text = "ab" + Text(5000, 'a');
    const auto runaway = ArticleMatches::search("(ab)|(.*a){20}b", text);
    EXPECT_EQ(runaway.failure().kind(), Status::Kind::Failed);
    EXPECT_EQ(runaway.count(), 0);
    EXPECT_EQ(runaway.sub(1, 0), "");
}

TEST(ArticleMatchesTest, StopsAfterTheFirstMatchWhoseGroupReadsTheText) {
    // Nothing after the stop is searched, so the runaway below it is never met.
    const Text text = "x1ab2ab3ab" + Text(5000, 'a');
    const auto stopped =
        ArticleMatches::search("(ab|x)(\\d)|(.*a){20}b", text, 10, ArticleMatches::StopAt{1, "ab"});
    EXPECT_FALSE(stopped.failed());
    EXPECT_EQ(stopped.count(), 2);
    EXPECT_EQ(stopped.sub(2, 2), "2");
    EXPECT_FALSE(stopped.truncated());

    // The group must read the text exactly; a group outside the pattern, or one that took no
    // part, reads empty.
    EXPECT_EQ(
        ArticleMatches::search("(a+)", "a aa aaa", 10, ArticleMatches::StopAt{1, "aa"}).count(), 2);
    EXPECT_EQ(ArticleMatches::search("(a)", "a a a", 10, ArticleMatches::StopAt{7, ""}).count(), 1);
    EXPECT_EQ(ArticleMatches::search("(a)|(b)", "a b", 10, ArticleMatches::StopAt{2, ""}).count(),
              1);
    EXPECT_EQ(ArticleMatches::search("(a)", "a a a", 10, ArticleMatches::StopAt{1, "b"}).count(),
              3);
}

TEST(ArticleMatchesTest, APaddedRunawayPatternEndsAtItsLimitOrAtAStop) {
    // Boost's own bound grows with the pattern's length: a long comment lifts it out of reach.
    const Text padded = "(a+)+b(?#" + Text(3000, 'x') + ")";
    const Text line(2000, 'a');

    ArticleMatches::Limits shortTime;
    shortTime.timeLimit = std::chrono::milliseconds(200);
    const auto timedOut = ArticleMatches::search(padded, line, 10, std::nullopt, shortTime);
    EXPECT_EQ(timedOut.failure().reason(), "The search ran out of time (runaway backtracking).");
    EXPECT_EQ(timedOut.failure().kind(), Status::Kind::TimedOut);
    EXPECT_EQ(timedOut.count(), 0);
    EXPECT_FALSE(timedOut.stopped());

    ArticleMatches::Limits fewSteps;
    fewSteps.stepLimit = 100'000;
    const Status overBudget =
        ArticleMatches::search(padded, line, 10, std::nullopt, fewSteps).failure();
    EXPECT_EQ(overBudget.reason(),
              "The search took more steps than allowed (runaway backtracking).");
    EXPECT_EQ(overBudget.kind(), Status::Kind::Failed);

    // A stop from another thread ends the search; the time limit alone would take minutes.
    std::atomic<bool> stop{false};
    ArticleMatches::Limits stoppable;
    stoppable.timeLimit = std::chrono::minutes(10);
    stoppable.stopped = [&stop] { return stop.load(); };
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop = true;
    });
    const auto stopped = ArticleMatches::search(padded, line, 10, std::nullopt, stoppable);
    stopper.join();
    EXPECT_TRUE(stopped.stopped());
    EXPECT_EQ(stopped.failure().kind(), Status::Kind::Cancelled);
    EXPECT_EQ(stopped.count(), 0);

    // A search within its limits is unchanged by them.
    const auto fine = ArticleMatches::search("(a)a", Text(10, 'a'), 10, std::nullopt, fewSteps);
    EXPECT_EQ(fine.count(), 5);
    EXPECT_EQ(fine.span(5, 1).position, 8u);
}

TEST(ArticleMatchesTest, ProbeRefusesRunawayPatternsAndPassesBoardPatterns) {
    EXPECT_EQ(ArticleMatches::probe("(a+)+b(?#" + Text(3000, 'x') + ")").kind(),
              Status::Kind::Failed);
    EXPECT_FALSE(ArticleMatches::probe("(x+x+)+y").ok());
    EXPECT_EQ(ArticleMatches::probe("([a").kind(), Status::Kind::Refused);
    for (const char* pattern :
         {"<a href=\"(thread-(\\d+)-1-1\\.html)\" onclick=\"atarget\\(this\\)\" class=\"s "
          "xst\">(.*?)</a>.*?<cite><a href=\"space-uid-\\d+\\.html\" c=\"1\">(.*?)</a>",
          "<li>(.*?)</li>", ".", "(.*?)(.*?)x", "\\d+", "^(.*)$"}) {
        EXPECT_TRUE(ArticleMatches::probe(pattern).ok()) << pattern;
    }
}

}  // namespace
}  // namespace lumo
