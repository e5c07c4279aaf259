#include "media/FFmpegLoader.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <stdexcept>

#include "media/FFmpegLogger.h"
#include "media/EngineUtils.h"
#include "media/UnicodeProtocol.h"

namespace media {

namespace {

const TLibraryItem kLibraries[LibraryCount] = {
    {TLibrary::avCodec, "avcodec", LIBAVCODEC_VERSION_MAJOR},
    {TLibrary::avDevice, "avdevice", LIBAVDEVICE_VERSION_MAJOR},
    {TLibrary::avFilter, "avfilter", LIBAVFILTER_VERSION_MAJOR},
    {TLibrary::avFormat, "avformat", LIBAVFORMAT_VERSION_MAJOR},
    {TLibrary::avUtil, "avutil", LIBAVUTIL_VERSION_MAJOR},
    {TLibrary::swScale, "swscale", LIBSWSCALE_VERSION_MAJOR},
    {TLibrary::swResample, "swresample", LIBSWRESAMPLE_VERSION_MAJOR},
    {TLibrary::myUtil, "c", 6},
    {TLibrary::lbSDL, "SDL-1.2", 0},
};

// Dependencies first: a library's DT_NEEDED entries are then satisfied by the
// copies already loaded (from the private folder when it holds them).
const TLibrary kLoadOrder[LibraryCount] = {
    TLibrary::avUtil,   TLibrary::swResample, TLibrary::swScale, TLibrary::avCodec, TLibrary::avFormat,
    TLibrary::avFilter, TLibrary::avDevice,   TLibrary::myUtil,  TLibrary::lbSDL,
};

int Index(TLibrary l) { return static_cast<int>(l); }

bool FileExistsPlain(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string DlErrorText() {
  const char* e = ::dlerror();
  return e ? std::string(e) : std::string("unknown error");
}

// The major version the library reports must be the one the engine was
// compiled against: the engine reads the libraries' structures directly.
void CheckMajor(const std::string& name, unsigned version, int headerMajor) {
  if (static_cast<int>(version >> 16) != headerMajor)
    throw std::runtime_error(FormatStr("version %u.%u.%u does not match the expected major version %d of %s",
                                       version >> 16, (version >> 8) & 0xFF, version & 0xFF, headerMajor,
                                       name.c_str()));
}

#define FF_BIND(name) BindFunction(file, h, #name, reinterpret_cast<void**>(&ffapi::name));
#define FF_CLEAR(name) ffapi::name = nullptr;

// Binds the version function first so that a library of another generation
// is refused with a clear text instead of a missing-symbol complaint.
template <typename VersionFn>
void BindVersioned(const std::string& file, void* h, const char* versionName, VersionFn& fn, int major) {
  BindFunction(file, h, versionName, reinterpret_cast<void**>(&fn));
  CheckMajor(file, fn(), major);
}

void Fixup(TLibrary lib, const std::string& file, void* h) {
  switch (lib) {
    case TLibrary::avUtil:
      BindVersioned(file, h, "avutil_version", ffapi::avutil_version, LIBAVUTIL_VERSION_MAJOR);
      FF_AVUTIL_FUNCS(FF_BIND)
      break;
    case TLibrary::swResample:
      BindVersioned(file, h, "swresample_version", ffapi::swresample_version, LIBSWRESAMPLE_VERSION_MAJOR);
      FF_SWRESAMPLE_FUNCS(FF_BIND)
      break;
    case TLibrary::swScale:
      BindVersioned(file, h, "swscale_version", ffapi::swscale_version, LIBSWSCALE_VERSION_MAJOR);
      FF_SWSCALE_FUNCS(FF_BIND)
      break;
    case TLibrary::avCodec:
      BindVersioned(file, h, "avcodec_version", ffapi::avcodec_version, LIBAVCODEC_VERSION_MAJOR);
      FF_AVCODEC_FUNCS(FF_BIND)
      break;
    case TLibrary::avFormat:
      BindVersioned(file, h, "avformat_version", ffapi::avformat_version, LIBAVFORMAT_VERSION_MAJOR);
      FF_AVFORMAT_FUNCS(FF_BIND)
      break;
    case TLibrary::avFilter:
      BindVersioned(file, h, "avfilter_version", ffapi::avfilter_version, LIBAVFILTER_VERSION_MAJOR);
      FF_AVFILTER_FUNCS(FF_BIND)
      break;
    case TLibrary::avDevice:
      BindVersioned(file, h, "avdevice_version", ffapi::avdevice_version, LIBAVDEVICE_VERSION_MAJOR);
      FF_AVDEVICE_FUNCS(FF_BIND)
      break;
    case TLibrary::myUtil:
      break;  // the C runtime is called directly
    case TLibrary::lbSDL:
      FF_SDL_FUNCS(FF_BIND)
      break;
  }
}

void Unfix(TLibrary lib) {
  switch (lib) {
    case TLibrary::avUtil:
      FF_AVUTIL_FUNCS(FF_CLEAR) break;
    case TLibrary::swResample:
      FF_SWRESAMPLE_FUNCS(FF_CLEAR) break;
    case TLibrary::swScale:
      FF_SWSCALE_FUNCS(FF_CLEAR) break;
    case TLibrary::avCodec:
      FF_AVCODEC_FUNCS(FF_CLEAR) break;
    case TLibrary::avFormat:
      FF_AVFORMAT_FUNCS(FF_CLEAR) break;
    case TLibrary::avFilter:
      FF_AVFILTER_FUNCS(FF_CLEAR) break;
    case TLibrary::avDevice:
      FF_AVDEVICE_FUNCS(FF_CLEAR) break;
    case TLibrary::myUtil:
      break;
    case TLibrary::lbSDL:
      FF_SDL_FUNCS(FF_CLEAR) break;
  }
}

#undef FF_BIND
#undef FF_CLEAR

}  // namespace

const TLibraryItem& LibraryItem(TLibrary lib) { return kLibraries[Index(lib)]; }
const TLibrary* LoadOrder() { return kLoadOrder; }

void* LoadLibraryInFolder(const std::string& AFolder, const std::string& AFileName, std::string& AError) {
  std::string target = AFileName;
  if (!AFolder.empty()) {
    std::string full = AFolder;
    if (full.back() != '/') full += '/';
    full += AFileName;
    if (FileExistsPlain(full)) target = full;
  }
  // The libraries install thread keys and callbacks (the log callback among
  // them); unmapping them while the process runs is not worth the risk.
  ::dlerror();
  void* h = ::dlopen(target.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!h) AError = DlErrorText();
  return h;
}

void BindFunction(const std::string& ALibName, void* AHandle, const char* AProcName, void** AProc, bool AllowMissing) {
  ::dlerror();
  *AProc = ::dlsym(AHandle, AProcName);
  if (!*AProc && !AllowMissing)
    throw std::runtime_error(
        FormatStr("Load function %s@%s error: %s", AProcName, ALibName.c_str(), DlErrorText().c_str()));
}

void BindVariable(const std::string& ALibName, void* AHandle, const char* AVarName, void** AVar, bool AllowMissing) {
  ::dlerror();
  *AVar = ::dlsym(AHandle, AVarName);
  if (!*AVar && !AllowMissing)
    throw std::runtime_error(
        FormatStr("Load variable %s@%s error: %s", AVarName, ALibName.c_str(), DlErrorText().c_str()));
}

TFFmpegLoader::TFFmpegLoader() = default;

std::string TFFmpegLoader::FileNameOf(TLibrary lib) const {
  std::lock_guard<std::recursive_mutex> lk(FLock);
  const Status& s = FStatus[Index(lib)];
  if (!s.NameOverride.empty()) return s.NameOverride;
  const TLibraryItem& it = kLibraries[Index(lib)];
  std::string name = std::string("lib") + it.Name + ".so";
  if (it.Version >= 0) name += "." + std::to_string(it.Version);
  return name;
}

void TFFmpegLoader::SetFileNameForTest(TLibrary lib, const std::string& name) {
  std::lock_guard<std::recursive_mutex> lk(FLock);
  FStatus[Index(lib)].NameOverride = name;
}

std::string TFFmpegLoader::LastErrMsg() const {
  std::lock_guard<std::recursive_mutex> lk(FLock);
  return FLastErrMsg;
}

std::string TFFmpegLoader::LibraryPath() const {
  std::lock_guard<std::recursive_mutex> lk(FLock);
  return FLibraryPath;
}

void TFFmpegLoader::SetLibraryPath(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lk(FLock);
  FLibraryPath = path;
}

bool TFFmpegLoader::Load(TLibrary lib) {
  std::lock_guard<std::recursive_mutex> lk(FLock);
  return LoadLocked(lib);
}

bool TFFmpegLoader::LoadLocked(TLibrary lib) {
  Status& s = FStatus[Index(lib)];
  const std::string file = FileNameOf(lib);
  if (!s.Handle) {
    std::string folder;
    if (!FLibraryPath.empty()) folder = FLibraryPath.back() == '/' ? FLibraryPath : FLibraryPath + '/';
    std::string err;
    void* h = LoadLibraryInFolder(folder, file, err);
    if (!h) {
      FLastErrMsg = FormatStr("Load library %s error: %s", (folder + file).c_str(), err.c_str());
      return false;
    }
    s.Handle = h;
  }
  if (!s.Fixuped) {
    try {
      Fixup(lib, file, s.Handle);
      s.Fixuped = true;
    } catch (const std::exception& e) {
      std::string msg = e.what();
      // A wrong generation is reported like any other unusable library.
      if (msg.rfind("Load ", 0) != 0) msg = FormatStr("Load library %s error: %s", file.c_str(), msg.c_str());
      FLastErrMsg = msg;
    }
  }
  if (!s.Fixuped) {
    UnloadLocked(lib);
    return false;
  }
  PostLoad(lib);
  return true;
}

void TFFmpegLoader::PostLoad(TLibrary lib) {
  switch (lib) {
    case TLibrary::avUtil:
      if (FInstallLogger) FFLoggerInstance().InstallAVLogCallback();
      break;
    case TLibrary::avFormat:
      RegisterUnicodeProtocol();
      break;
    case TLibrary::avDevice:
      ffapi::avdevice_register_all();
      break;
    default:
      break;
  }
}

bool TFFmpegLoader::Load(TLibraries libs) {
  if (libs.Empty()) throw EAssertionFailed("Assertion failure");
  std::lock_guard<std::recursive_mutex> lk(FLock);
  bool newlyLoaded[LibraryCount] = {};
  for (int i = 0; i < LibraryCount; ++i) {
    TLibrary lib = kLoadOrder[i];
    if (!libs.Has(lib)) continue;
    const bool before = FStatus[Index(lib)].Fixuped;
    if (!LoadLocked(lib)) {
      // Only what this call brought in goes away again: other components may
      // be using the members they loaded earlier.
      for (int j = LibraryCount - 1; j >= 0; --j)
        if (newlyLoaded[j]) UnloadLocked(static_cast<TLibrary>(j));
      return false;
    }
    newlyLoaded[Index(lib)] = !before;
  }
  return true;
}

bool TFFmpegLoader::Loaded(TLibrary lib) const {
  std::lock_guard<std::recursive_mutex> lk(FLock);
  const Status& s = FStatus[Index(lib)];
  return s.Handle && s.Fixuped;
}

bool TFFmpegLoader::Loaded(TLibraries libs) const {
  if (libs.Empty()) throw EAssertionFailed("Assertion failure");
  for (int i = 0; i < LibraryCount; ++i)
    if (libs.Has(static_cast<TLibrary>(i)) && !Loaded(static_cast<TLibrary>(i))) return false;
  return true;
}

void TFFmpegLoader::Unload(TLibrary lib) {
  std::lock_guard<std::recursive_mutex> lk(FLock);
  UnloadLocked(lib);
}

void TFFmpegLoader::UnloadLocked(TLibrary lib) {
  Status& s = FStatus[Index(lib)];
  // A half-bound library keeps the pointers bound before the failure: clear
  // them all so nothing calls into it.
  Unfix(lib);
  s.Fixuped = false;
  if (s.Handle) {
    ::dlclose(s.Handle);
    s.Handle = nullptr;
  }
}

void TFFmpegLoader::Unload(TLibraries libs) {
  if (libs.Empty()) throw EAssertionFailed("Assertion failure");
  std::lock_guard<std::recursive_mutex> lk(FLock);
  for (int i = LibraryCount - 1; i >= 0; --i)
    if (libs.Has(kLoadOrder[i])) UnloadLocked(kLoadOrder[i]);
}

TFFmpegLoader& FFLoader() {
  static TFFmpegLoader* loader = new TFFmpegLoader();  // lives to the end of the process
  return *loader;
}

std::recursive_mutex& CodecLock() {
  static std::recursive_mutex* lock = new std::recursive_mutex();
  return *lock;
}

}  // namespace media
