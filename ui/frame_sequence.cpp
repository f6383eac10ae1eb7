#include "ui/frame_sequence.h"

FrameStep NextFrame(FrameSequence& s) {
    if (s.count < 1 || (s.round && s.count < 2)) return {};
    const uint32_t last = static_cast<uint32_t>(s.count) - 1;
    if (s.forward && s.index > last) {
        if (s.round) {
            s.forward = false;
            s.index = last - 1;
        } else {
            s.index = 0;
            if (!s.loop) return {std::nullopt, true};
        }
    }
    if (!s.forward && s.index == 0) {
        if (s.round) s.forward = true;
        s.index = 0;
        if (!s.loop) return {std::nullopt, true};
    }
    const uint32_t shown = s.index;
    s.index = s.forward ? s.index + 1 : s.index - 1;
    return {shown, false};
}
