#pragma once
// One line per goal figure, in a form `./tq bench` collects after every benchmark has run
// and prints as one table: figure, goal, measured, met or not.

#include <cstdio>

namespace bench {

enum class Goal { AtLeast, AtMost };

// Prints "summary<TAB>figure<TAB>goal<TAB>measured<TAB>met|NOT met".
inline void summary(const char* figure, Goal goal, double limit, double measured)
{
    const bool met = goal == Goal::AtLeast ? measured >= limit : measured <= limit;
    std::printf("summary\t%s\t%s %.2f\t%.2f\t%s\n", figure, goal == Goal::AtLeast ? ">=" : "<=", limit, measured,
                met ? "met" : "NOT met");
    std::fflush(stdout);
}

} // namespace bench
