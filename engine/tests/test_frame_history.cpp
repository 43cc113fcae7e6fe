#include "engine/frame_history.h"

#include <gtest/gtest.h>

using namespace tv;

TEST(FrameHistory, SameFrameTwiceIsOneEntryAndThe21stPushesTheOldestOut) {
    FrameHistory h;
    h.FramesHistoryAdd("Hall");
    h.FramesHistoryAdd("Hall");
    EXPECT_EQ(h.count(), 1);
    h.FramesHistoryAdd("hall");
    EXPECT_EQ(h.count(), 2) << "names are compared exactly";
    h.clear();
    for (int i = 1; i <= 21; ++i)
        h.FramesHistoryAdd(QString("F%1").arg(i));
    EXPECT_EQ(h.count(), 20);
    EXPECT_EQ(h.entries().first(), "F2");
    EXPECT_EQ(h.entries().last(), "F21");
}

TEST(FrameHistory, GoingBackNeedsTwoEntries) {
    FrameHistory h;
    EXPECT_EQ(h.goBack(), "");
    h.FramesHistoryAdd("A");
    EXPECT_EQ(h.goBack(), "");
    EXPECT_EQ(h.count(), 1);
    h.FramesHistoryAdd("B");
    h.FramesHistoryAdd("C");
    EXPECT_EQ(h.goBack(), "B");
    EXPECT_EQ(h.entries(), (QStringList{"A", "B"}));
}
