// The gradient's fold: a channel pushed past 1 runs back down, and past 2 starts again from 0.
#pragma once

inline double foldColour(double c) {
    if (c > 2.0)
        return c - 2.0;
    if (c > 1.0)
        return 2.0 - c;
    return c;
}
