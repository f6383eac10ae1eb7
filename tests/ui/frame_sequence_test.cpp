#include "ui/frame_sequence.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The frames shown by `ticks` timer events; -1 marks the tick that stopped the timer.
std::vector<int> Play(FrameSequence sequence, int ticks) {
    std::vector<int> shown;
    for (int tick = 0; tick < ticks; ++tick) {
        const FrameStep step = NextFrame(sequence);
        if (step.frame) shown.push_back(static_cast<int>(*step.frame));
        if (step.stopTimer) {
            shown.push_back(-1);
            break;
        }
    }
    return shown;
}

TEST(FrameSequence, Modes) {
    struct Case {
        const char* name;
        FrameSequence sequence;
        int ticks;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {"round trip with loop", {true, true, true, 0, 4}, 12, {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1}},
        {"round trip without loop", {false, true, true, 0, 4}, 20, {0, 1, 2, 3, 2, 1, -1}},
        {"forward without loop keeps the last frame", {false, true, false, 0, 3}, 10, {0, 1, 2, -1}},
        {"count below 1 does nothing", {true, true, false, 0, 0}, 5, {}},
        {"round trip of one frame does nothing", {true, true, true, 0, 1}, 5, {}},
        {"round trip of two frames", {true, true, true, 0, 2}, 6, {0, 1, 0, 1, 0, 1}},
    };
    for (const Case& c : cases) EXPECT_EQ(Play(c.sequence, c.ticks), c.shown) << c.name;
}

TEST(FrameSequence, EightyNineFramesLoopBackOnTheNinetiethTick) {
    FrameSequence sequence{true, true, false, 0, 89};
    for (int tick = 0; tick < 89; ++tick) {
        const FrameStep step = NextFrame(sequence);
        ASSERT_TRUE(step.frame.has_value());
        ASSERT_EQ(*step.frame, static_cast<uint32_t>(tick));
    }
    const FrameStep ninetieth = NextFrame(sequence);
    ASSERT_TRUE(ninetieth.frame.has_value());
    EXPECT_EQ(*ninetieth.frame, 0u);
    EXPECT_FALSE(ninetieth.stopTimer);
}

TEST(FrameSequence, RestartWhileRunningBackwardShowsFrameZeroThenTurns) {
    FrameSequence sequence{true, true, true, 0, 4};
    for (int tick = 0; tick < 5; ++tick) NextFrame(sequence);  // 0 1 2 3 2: now backward
    ASSERT_FALSE(sequence.forward);
    sequence.index = 0;  // what starting the label again does
    EXPECT_EQ(Play(sequence, 3), (std::vector<int>{0, 1, 2}));
}

}  // namespace
