#pragma once
#include <chrono>
#include <cstdint>

// A seed for a prompt's random source, read from the clock in nanoseconds, so
// two prompts made within one second still differ.
inline std::uint64_t clockSeed()
{
    return std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count())
        ^ std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
}
