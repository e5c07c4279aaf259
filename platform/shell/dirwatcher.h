// Watches a directory on a thread of its own (inotify, woken by an eventfd,
// waiting in poll) and tells the UI thread of changes: every event pending
// when the thread wakes is drained and becomes one OnChange call on the UI
// loop, and calls still queued when the watcher is destroyed are dropped, so
// no change arrives after destruction. Destruction returns promptly.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace shell {

// The change kinds, as the FILE_NOTIFY_CHANGE flags.
enum : uint32_t {
  FILE_NOTIFY_CHANGE_FILE_NAME = 0x1,
  FILE_NOTIFY_CHANGE_DIR_NAME = 0x2,
  FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x4,
  FILE_NOTIFY_CHANGE_SIZE = 0x8,
  FILE_NOTIFY_CHANGE_LAST_WRITE = 0x10,
  FILE_NOTIFY_CHANGE_SECURITY = 0x100
};

class DirWatcher {
 public:
  // A directory that cannot be watched gives no events and no error.
  DirWatcher(const std::string& dir, uint32_t filters, bool subtree, std::function<void()> onChange);
  ~DirWatcher();
  DirWatcher(const DirWatcher&) = delete;
  DirWatcher& operator=(const DirWatcher&) = delete;

  // New options take effect at once (the thread is woken and re-arms).
  void SetOptions(const std::string& dir, uint32_t filters, bool subtree);
  // UI thread only.
  void SetOnChange(std::function<void()> onChange);

 private:
  struct Shared;
  void Run();
  std::shared_ptr<Shared> shared_;
  int wakeFd_ = -1;
  int inotifyFd_ = -1;
  std::map<int, std::string> watches_;  // the watching thread's, once it runs
  std::thread thread_;
};

}  // namespace shell
