// PlaySound for WAV files. It never opens the audio device itself: a sound
// server client (paplay, else aplay) plays the file, so the preview player
// keeps the device it may hold. A missing file, a missing player or no
// device is silent.
#pragma once

#include <string>

namespace shell {

constexpr unsigned SND_SYNC = 0, SND_ASYNC = 1, SND_NODEFAULT = 2, SND_PURGE = 0x40, SND_FILENAME = 0x20000;

class ISoundPlayer {
 public:
  virtual ~ISoundPlayer() = default;
  // Starts playing the file and returns at once; false when nothing plays.
  virtual bool Play(const std::string& path) = 0;
  virtual void Stop() = 0;
};

// The player in use (a process-based one until another is set; the caller
// keeps ownership; nullptr goes back to the default).
ISoundPlayer& SoundPlayer();
void SetSoundPlayer(ISoundPlayer* player);

// An empty path (or SND_PURGE) stops the sound playing. Returns whether a sound started.
bool PlaySound(const std::string& path, void* module, unsigned flags);

}  // namespace shell
