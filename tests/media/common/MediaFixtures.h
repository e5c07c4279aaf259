// Test media made at test time with the ffmpeg tool, shared by the media
// engine's test executables. Each fixture is made once per process in a
// private temporary folder that is removed at exit.
#pragma once

#include <functional>
#include <string>

namespace mediatest {

// A private temporary folder of this process (created on first use).
std::string TempDir();

// Path of `name` in `family`'s own folder of TempDir() ("" is TempDir()
// itself), made on first use by make(path), true on success. Families keep
// same-named files of different makers apart. An empty string when make
// fails; the next call tries again.
std::string MadeOnce(const std::string& family, const std::string& name,
                     const std::function<bool(const std::string& path)>& make);

// Path of a named fixture, made on first use. Names:
//   "av.mp4"      h264 + aac, 320x240, 25 fps, 2 s
//   "av.avi"      mpeg4 + mp3
//   "av.mkv"      h264 + vorbis
//   "av.mpg"      mpeg1video + mp2 (MPEG program stream)
//   "a.wav"       pcm s16le stereo 44100
//   "a.mp3"       mp3 stereo
//   "v_only.avi"  mpeg4, no audio
//   "two_audio.mkv" h264 + two aac tracks (2 s and 1 s)
//   "chap.mkv"    mpeg4 + mp3, 6 s, with two chapters, 0-10 s and 10-20 s
//   "视频 ü.avi"   a copy of av.avi with a Chinese name and a space
//   "truncated.mp4" the first 2000 bytes of av.mp4
//   "text.avi"    a text file
// An empty string when the tool fails (the caller's assertion then fails).
std::string Fixture(const std::string& name);

// Runs `ffmpeg -v error -y <args>`; true on exit code 0.
bool RunFfmpeg(const std::string& args);

// Loads the converter set (and SDL when withPlayer) from the system.
bool LoadEngineLibraries(bool withPlayer = false);

}  // namespace mediatest
