#include "state/body_list.h"

#include <gtest/gtest.h>

namespace zib {
namespace {

BodyList listOf(std::initializer_list<int> tailFirst) {
    BodyList b;
    for (auto it = std::rbegin(tailFirst); it != std::rend(tailFirst); ++it) b.pushFront(*it);
    return b;
}

TEST(BodyList, RotateMovesTheTailToTheHead) {
    BodyList b = listOf({3, 2, 1, 0});
    EXPECT_EQ(b.rotate(), 3);
    EXPECT_EQ(b.text(), "2,1,0,3");
    EXPECT_EQ(b.head(), 3);
    EXPECT_EQ(b.tail(), 2);
}

TEST(BodyList, GrowthPutsTheNewIndexAtTheFrontAfterRotations) {
    BodyList b = listOf({2, 1, 0});
    b.rotate();  // 1,0,2
    b.pushFront(4);
    EXPECT_EQ(b.text(), "4,1,0,2");
    EXPECT_EQ(b.rotate(), 4);
    EXPECT_EQ(b.text(), "1,0,2,4");
}

TEST(BodyList, IndicesHaveNoDigitLimit) {
    BodyList b = listOf({123456, 0});
    EXPECT_EQ(b.rotate(), 123456);
    EXPECT_EQ(b.text(), "0,123456");
}

}  // namespace
}  // namespace zib
