// The machine-readable line a benchmark prints per figure, beside its human output; the
// format and the table made from it are described in bench/results.py.
//   RESULT<TAB>figure<TAB>value<TAB>unit<TAB>baseline<TAB>ratio<TAB>goal<TAB>met<TAB>baseline is
// The goal is about the value itself or about the ratio value / baseline.
#pragma once

#include <cstdio>
#include <limits>

namespace Bench {

enum class GoalOn { Value, Ratio };
enum class Bound { Below, AtLeast };

struct Goal {
    GoalOn on;
    Bound bound;
    double limit;
};

inline bool GoalMet(const Goal& goal, double value, double ratio) {
    const double measured = goal.on == GoalOn::Value ? value : ratio;
    return goal.bound == Bound::Below ? measured < goal.limit : measured >= goal.limit;
}

// Text without tabs; baselineIs says what the baseline measures ("bare window", "jsoncpp").
inline void PrintResult(const char* figure, double value, const char* unit, double baseline, const char* baselineIs,
                        const Goal& goal) {
    // A baseline of nothing is a broken measurement; "nan" makes the table say so.
    const double ratio = baseline != 0.0 ? value / baseline : std::numeric_limits<double>::quiet_NaN();
    std::printf("RESULT\t%s\t%.6g\t%s\t%.6g\t%.6g\t%s%s%.6g\t%s\t%s\n", figure, value, unit, baseline, ratio,
                goal.on == GoalOn::Value ? "value" : "ratio", goal.bound == Bound::Below ? "<" : ">=", goal.limit,
                GoalMet(goal, value, ratio) ? "yes" : "no", baselineIs);
}

}  // namespace Bench
