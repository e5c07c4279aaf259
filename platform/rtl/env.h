// Environment, random numbers and the message beep.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace rtl {

// Empty when the variable is not set.
std::string GetEnvironmentVariable(const std::string& name);
bool EnvironmentVariableExists(const std::string& name);
// Sets (or replaces) the variable; false for an invalid name.
bool SetEnvironmentVariable(const std::string& name, const std::string& value);
bool UnsetEnvironmentVariable(const std::string& name);

// The framework's linear congruential generator, seedable for tests:
// Random(n) is in [0, n), Random() in [0, 1).
int Random(int range);
double Random();
void Randomize();  // seeds from the clock
void SetRandSeed(std::uint32_t seed);
std::uint32_t RandSeed();

// The beep of message boxes; does nothing unless a hook is installed.
void MessageBeep(std::uint32_t type);
void SetMessageBeepHook(std::function<void(std::uint32_t)> hook);

}  // namespace rtl
