#include "platform/rtl/env.h"

#include <stdlib.h>
#include <time.h>

#include <mutex>

namespace rtl {
namespace {
// setenv/getenv are not safe against each other; every access from the
// program goes through this lock.
std::mutex& EnvMutex() {
  static std::mutex m;
  return m;
}

bool ValidName(const std::string& name) { return !name.empty() && name.find('=') == std::string::npos; }

std::mutex g_randMutex;
std::uint32_t g_randSeed = 0;

std::mutex g_beepMutex;
std::function<void(std::uint32_t)> g_beep;
}  // namespace

std::string GetEnvironmentVariable(const std::string& name) {
  std::lock_guard lock(EnvMutex());
  const char* v = ValidName(name) ? ::getenv(name.c_str()) : nullptr;
  return v ? std::string(v) : std::string();
}

bool EnvironmentVariableExists(const std::string& name) {
  std::lock_guard lock(EnvMutex());
  return ValidName(name) && ::getenv(name.c_str()) != nullptr;
}

bool SetEnvironmentVariable(const std::string& name, const std::string& value) {
  if (!ValidName(name)) return false;
  std::lock_guard lock(EnvMutex());
  return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool UnsetEnvironmentVariable(const std::string& name) {
  if (!ValidName(name)) return false;
  std::lock_guard lock(EnvMutex());
  return ::unsetenv(name.c_str()) == 0;
}

namespace {
std::uint32_t NextSeed() {
  g_randSeed = g_randSeed * 0x08088405u + 1u;
  return g_randSeed;
}
}  // namespace

int Random(int range) {
  if (range <= 0) return 0;
  std::lock_guard lock(g_randMutex);
  return static_cast<int>((static_cast<std::uint64_t>(NextSeed()) * static_cast<std::uint32_t>(range)) >> 32);
}

double Random() {
  std::lock_guard lock(g_randMutex);
  return NextSeed() / 4294967296.0;
}

void Randomize() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  SetRandSeed(static_cast<std::uint32_t>(ts.tv_sec * 1000003u + ts.tv_nsec));
}

void SetRandSeed(std::uint32_t seed) {
  std::lock_guard lock(g_randMutex);
  g_randSeed = seed;
}

std::uint32_t RandSeed() {
  std::lock_guard lock(g_randMutex);
  return g_randSeed;
}

void MessageBeep(std::uint32_t type) {
  std::function<void(std::uint32_t)> hook;
  {
    std::lock_guard lock(g_beepMutex);
    hook = g_beep;
  }
  if (hook) hook(type);
}

void SetMessageBeepHook(std::function<void(std::uint32_t)> hook) {
  std::lock_guard lock(g_beepMutex);
  g_beep = std::move(hook);
}

}  // namespace rtl
