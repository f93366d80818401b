#include <gtest/gtest.h>

#include "util/arry.h"

namespace {

struct TCounted {
    explicit TCounted(int* live) : Live(live) { ++*Live; }
    ~TCounted() { --*Live; }
    int* Live;
};

TEST(Arry, InsertClampsPositionAndMovesLaterEntriesUp) {
    int a = 1, b = 2, c = 3, d = 4;
    TArry<int> arry(2, 2);
    EXPECT_EQ(arry.Insert(&a, 5), 0); // beyond the count appends
    EXPECT_EQ(arry.Insert(&b, -1), 1);
    EXPECT_EQ(arry.Insert(&c, 0), 0);
    EXPECT_EQ(arry.Insert(&d, 2), 2);
    ASSERT_EQ(arry.Count(), 4);
    EXPECT_EQ(*arry[0], 3);
    EXPECT_EQ(*arry[1], 1);
    EXPECT_EQ(*arry[2], 4);
    EXPECT_EQ(*arry[3], 2);
    EXPECT_EQ(arry.Find(&d), 2);
    EXPECT_EQ(arry.Detach(0), &c);
    EXPECT_EQ(arry.Detach(7), nullptr);
    EXPECT_EQ(arry.Find(&c), -1);
    EXPECT_EQ(arry.Count(), 3);
}

TEST(Arry, AutoDelArryDeletesWhatItStillHolds) {
    int live = 0;
    {
        TAutoDelArry<TCounted> arry;
        for (int i = 0; i < 3; ++i)
            arry.Add(new TCounted(&live));
        arry.Destroy(1);
        EXPECT_EQ(live, 2);
        arry.Destroy(9); // outside: nothing
        TCounted* kept = arry.Detach(0);
        EXPECT_EQ(live, 2);
        delete kept;
    }
    EXPECT_EQ(live, 0);
}

} // namespace
