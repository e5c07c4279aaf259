// Frame-hook plug-ins: shared objects exporting Configure, Process and
// Release (C calling convention), called for every decoded picture of a task.
#pragma once

#include <cstdint>

namespace media {

// The picture handed to Process: four plane pointers and four line sizes.
struct HookPicture {
  uint8_t* data[4];
  int linesize[4];
};

using FrameHookConfigureFn = int (*)(void** ctx, int argc, char* argv[]);
using FrameHookProcessFn = void (*)(void* ctx, HookPicture* pict, int pix_fmt, int width, int height, int64_t pts);
using FrameHookReleaseFn = void (*)(void* ctx);

struct TFrameHookEntry {
  TFrameHookEntry* next = nullptr;
  FrameHookConfigureFn Configure = nullptr;
  FrameHookProcessFn Process = nullptr;
  FrameHookReleaseFn Release = nullptr;
  void* ctx = nullptr;
};

// argv[0] is the library; the rest are its arguments. 0 on success, -1 when
// the library cannot be loaded, -2 without arguments or entry points, -12
// without memory, -22 when Configure fails. Failures are logged through the
// libraries' log at the error level.
int add_frame_hook(TFrameHookEntry** chain, int argc, char* argv[]);
void process_frame_hooks(TFrameHookEntry* first, HookPicture* pict, int pix_fmt, int width, int height, int64_t pts);
void release_frame_hooks(TFrameHookEntry** chain);

}  // namespace media
