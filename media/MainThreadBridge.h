// The engine's link to the UI-thread dispatcher of the runtime core.
#pragma once

#include <functional>

namespace media::bridge {

bool IsMainThread();
// Runs one queued call on the main thread; False when none was waiting.
bool ProcessOne();
void RunBlocking(const std::function<void()>& fn);
void Post(std::function<void()> fn);

}  // namespace media::bridge
