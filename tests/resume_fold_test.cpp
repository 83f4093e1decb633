// The resume source's fold of the notices of one resume, called as its
// thread calls it.
#include <gtest/gtest.h>

#include "platform/power.h"

namespace {

TEST(ResumeFold, EachRoadOnceWithinTheWhileMakesOneResume)
{
    const struct {
        int road;
        DWORD tick;
        BOOL begins;
    } notices[] = {
        {ROAD_WAKEUP, 1000, TRUE},
        {ROAD_TRANSITION, 1500, FALSE},
        {ROAD_PM_RESUME, 2999, FALSE},
        {ROAD_WAKEUP, 3000, TRUE},          // a road again: the next resume
        {ROAD_TRANSITION, 5000, TRUE},      // too late for the one before
        {ROAD_PM_RESUME, 0xFFFFFF00, TRUE},
        {ROAD_WAKEUP, 0x100, FALSE},        // across the tick count's wrap
    };
    ResumeFold fold = {};
    for (const auto& n : notices)
        EXPECT_EQ(n.begins, FoldResumeNotice(&fold, n.road, n.tick)) << "road " << n.road << " at " << n.tick;
}

}  // namespace
