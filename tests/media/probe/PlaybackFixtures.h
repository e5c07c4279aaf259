// Media files for the probe and player tests, made once per process with the
// ffmpeg tool in a folder of their own in the temporary folder.
#pragma once

#include <functional>
#include <string>

namespace mediatest {

// Names:
//   "clip.avi"      testsrc2 320x240 25 fps + 1 kHz sine 44.1 kHz, 2 s, mpeg4 (GOP 12, no B) + mp2, title "Clip"
//   "red.mkv"       solid red 64x48 25 fps, 1 s, ffv1 yuv420p
//   "tone.mp3"      440 Hz sine, 1 s, mp3 with an ID3v2 title "T" (audio only)
//   "two_audio.mkv" 160x120 video + two mp2 tracks
//   "offset.ts"     160x120 mpeg2video in MPEG-TS (non-zero start time)
//   "sar.mkv"       320x240 with sample aspect 4:3
//   "u8.wav", "flt.wav" 8-bit and float samples, 1 s; "six.ac3" 5.1 channels, 1 s
//   "dvdsub.mkv"    red.mkv's video with DVD (bitmap) subtitles: blue 16x8 boxes at
//                   (8, 8), one every 200 ms shown for 150 ms (needs the libraries loaded)
//   "subs.srt"      two text cues (subtitle only, no duration)
//   "img%03d.png"   three still pictures (image2)
//   "broken.avi"    a text file
std::string PlaybackFixture(const std::string& name);

// Loads the player's libraries once (SDL with the dummy audio driver).
bool LoadPlayerLibraries();

// Waits until pred() is true, running the main thread's queued calls
// meanwhile; false after timeoutMs.
bool WaitPumping(const std::function<bool()>& pred, int timeoutMs);

}  // namespace mediatest
