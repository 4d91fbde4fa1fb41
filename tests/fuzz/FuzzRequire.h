#pragma once
// A fuzz target's check: a broken one stops the run where the input that broke it is kept.

inline void require(bool condition) {
    if (!condition)
        __builtin_trap();
}
