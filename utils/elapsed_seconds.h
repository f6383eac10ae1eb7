#pragma once

#include <cstdint>

namespace Utils {

// When a measured span began; seconds are counted only once it is armed.
struct ElapsedStart {
    uint32_t startTick = 0;  // GetTickCount() at the start, in milliseconds
    bool armed = false;
};

ElapsedStart StartElapsed();
// Seconds since the start tick; 0 when the record is not armed.
float ElapsedSeconds(const ElapsedStart& start);

}  // namespace Utils
