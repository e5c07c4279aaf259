// Unusual but legitimate inputs, as users' own files are, made with the
// ffmpeg tool once per process in a folder of their own in the temporary folder.
#pragma once

#include <string>

namespace mediatest {

// Names:
//   "odd.avi"         641x353 mpeg4 + mp3, 2 s
//   "tiny.avi"        2x2 raw yuv420p + pcm, 2 s
//   "anamorphic.mp4"  720x576 with pixels 64:45 (16:9 shown), h264 + aac 48 kHz, 2 s
//   "vfr.mkv"         12.5 fps for 2 s, then 25 fps for 1 s; h264 + vorbis, 3 s
//   "surround51.mkv"  h264 + 5.1 ac3 48 kHz, 2 s
//   "surround71.mkv"  mpeg4 + 7.1 float pcm 48 kHz, 2 s
//   "mono8k.avi"      mpeg4 + mono pcm 8 kHz, 2 s
//   "cover.mp3"       2 s of mp3 with a 300x300 cover picture (attached picture)
//   "cover.m4a"       3 s of aac in mp4 with a 300x300 png cover picture
//   "silent.mp4"      h264 without audio, 2 s
//   "sound.wav"       stereo pcm without video, 2 s
//   "oneframe.avi"    a single mpeg4 picture
//   "oneframe.mp4"    a single h264 picture, which the decoder gives out only at the end
//   "lateaudio.mp4"   4 s of video, audio from 2 s on
//   "interlaced.mpg"  720x576 interlaced mpeg2 (top field first) + mp2 in a DVD stream, 2 s
//   "switch.ts"       320x240 stereo 48 kHz for 1 s, then 640x480 5.1 44.1 kHz; mpeg2 + ac3
//   "emptyaudio.mkv"  video with an audio track that holds no packet
//   "deep422.mkv"     10-bit 4:2:2 h264 + aac, 2 s
//   "rotated.mp4"     a phone clip held upright: stored 360x640 with a display
//                     matrix that turns it a quarter clockwise, shown 640x360
//                     with only its top left quarter white; h264 + aac, 2 s
//   "vp9opus.webm"    320x240 25 fps vp9 + opus 48 kHz, 2 s
// An empty string when the tool fails.
std::string OddInput(const std::string& name);

}  // namespace mediatest
