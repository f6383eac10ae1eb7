// The frame arithmetic of the sequence controls: which numbered frame a timer tick shows,
// forward, looping, or in a round trip (0 1 2 3 2 1 0 1 ...).
#pragma once

#include <cstdint>
#include <optional>

struct FrameSequence {
    bool loop = true;
    bool forward = true;
    bool round = false;
    uint32_t index = 0;  // the next frame to show
    int32_t count = 0;
};

struct FrameStep {
    std::optional<uint32_t> frame;  // the frame to show now, if any
    bool stopTimer = false;         // the sequence has ended
};

// Advances one tick. A count too small to name a real frame (below 1, or below 2 in a round
// trip) does nothing.
FrameStep NextFrame(FrameSequence& sequence);
