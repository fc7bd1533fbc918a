// The result type every layer reports failures with: a value or a message, never both; a value of
// the message's own type, or a false one, is still a value; a failure passes on unchanged.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/result.h"

namespace zib {
namespace {

Result<int> half(int n) {
    if (n % 2 != 0) return Failure{"liché číslo " + std::to_string(n)};
    return n / 2;
}

// Halves twice, passing the first failure on.
Result<int> quarter(int n) {
    Result<int> h = half(n);
    if (!h) return h.failure();
    return half(*h);
}

Status even(int n) {
    if (Result<int> h = half(n); !h) return h.failure();
    return {};
}

TEST(PlatformResult, HoldsAValueOrTheFirstFailure) {
    const struct {
        int n;
        int quarter;          // when it works
        const char* failure;  // nullptr: it works
    } cases[] = {
        {8, 2, nullptr},         {0, 0, nullptr},         {-4, -1, nullptr},
        {6, 0, "liché číslo 3"}, {7, 0, "liché číslo 7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        const Result<int> q = quarter(c.n);
        const Status e = even(c.n);
        ASSERT_EQ(q.ok(), c.failure == nullptr);
        EXPECT_EQ(static_cast<bool>(q), q.ok());
        EXPECT_EQ(e.ok(), c.n % 2 == 0);
        if (q) {
            EXPECT_EQ(*q, c.quarter);
        } else {
            EXPECT_EQ(q.error(), c.failure);
        }
        if (!e) {
            EXPECT_EQ(e.error(), "liché číslo " + std::to_string(c.n));
        }
    }
}

// The pitfalls of a value that looks like a failure or a truth value.
TEST(PlatformResult, AValueIsAValueWhateverItHolds) {
    const Result<std::string> text = std::string("zpráva");
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(*text, "zpráva");
    EXPECT_EQ(text->size(), std::string("zpráva").size());

    const Result<bool> no = false;
    EXPECT_TRUE(no.ok());
    EXPECT_FALSE(*no);

    const Result<std::string> failed = Failure{""};
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), "");

    Result<std::unique_ptr<int>> owned = std::make_unique<int>(5);
    ASSERT_TRUE(owned.ok());
    const std::unique_ptr<int> taken = std::move(owned).value();
    EXPECT_EQ(*taken, 5);
}

}  // namespace
}  // namespace zib
