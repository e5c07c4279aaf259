#include "media/FrameHook.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <new>
#include <string>

#include "media/FFmpegLoader.h"

namespace media {

namespace {

// Libraries are loaded once per process and stay loaded: a hook's code may
// be referenced by entries of other tasks.
std::mutex& CacheLock() {
  static std::mutex* m = new std::mutex();
  return *m;
}
std::map<std::string, void*>& Cache() {
  static auto* c = new std::map<std::string, void*>();
  return *c;
}

void HookLog(const char* fmt, const char* arg) {
  if (ffapi::av_log) ffapi::av_log(nullptr, AV_LOG_ERROR, fmt, arg);
}

}  // namespace

int add_frame_hook(TFrameHookEntry** chain, int argc, char* argv[]) {
  if (argc < 1 || !argv || !argv[0]) return -2;
  const std::string name = argv[0];
  void* lib = nullptr;
  {
    // Linux finds a library's own dependencies through its RUNPATH, not
    // through PATH or the working folder, so neither is changed here.
    std::lock_guard<std::mutex> lk(CacheLock());
    auto it = Cache().find(name);
    if (it != Cache().end()) {
      lib = it->second;
    } else {
      lib = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (!lib) {
        const char* e = ::dlerror();
        HookLog("%s\n", e ? e : "cannot load library");
        return -1;
      }
      Cache()[name] = lib;
    }
  }
  auto* fhe = new (std::nothrow) TFrameHookEntry();
  if (!fhe) return -12;
  fhe->Configure = reinterpret_cast<FrameHookConfigureFn>(::dlsym(lib, "Configure"));
  fhe->Process = reinterpret_cast<FrameHookProcessFn>(::dlsym(lib, "Process"));
  fhe->Release = reinterpret_cast<FrameHookReleaseFn>(::dlsym(lib, "Release"));
  if (!fhe->Process) {
    HookLog("Failed to find Process entrypoint in %s\n", argv[0]);
    delete fhe;
    return -2;
  }
  if (!fhe->Configure && argc > 1) {
    HookLog("Failed to find Configure entrypoint in %s\n", argv[0]);
    delete fhe;
    return -2;
  }
  if (fhe->Configure && fhe->Configure(&fhe->ctx, argc, argv) != 0) {
    HookLog("Failed to Configure %s\n", argv[0]);
    delete fhe;
    return -22;
  }
  TFrameHookEntry** p = chain;
  while (*p) p = &(*p)->next;
  *p = fhe;
  return 0;
}

void process_frame_hooks(TFrameHookEntry* first, HookPicture* pict, int pix_fmt, int width, int height, int64_t pts) {
  for (TFrameHookEntry* e = first; e; e = e->next) e->Process(e->ctx, pict, pix_fmt, width, height, pts);
}

void release_frame_hooks(TFrameHookEntry** chain) {
  TFrameHookEntry* e = *chain;
  *chain = nullptr;
  while (e) {
    TFrameHookEntry* next = e->next;
    if (e->Release) e->Release(e->ctx);
    delete e;
    e = next;
  }
}

}  // namespace media
