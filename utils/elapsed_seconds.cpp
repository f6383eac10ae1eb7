#include "utils/elapsed_seconds.h"

#include <windows.h>

namespace Utils {

ElapsedStart StartElapsed() { return ElapsedStart{static_cast<uint32_t>(::GetTickCount()), true}; }

float ElapsedSeconds(const ElapsedStart& start) {
    if (!start.armed) return 0.0f;
    // Unsigned subtraction stays right across the 49-day wrap of the tick count.
    const uint32_t elapsed = static_cast<uint32_t>(::GetTickCount()) - start.startTick;
    return static_cast<float>(elapsed) / 1000.0f;
}

}  // namespace Utils
