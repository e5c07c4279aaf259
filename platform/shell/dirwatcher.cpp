#include "platform/shell/dirwatcher.h"

#include "platform/rtl/dispatcher.h"

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <map>
#include <vector>

namespace shell {

// What the UI thread and the watching thread share.
struct DirWatcher::Shared {
  std::mutex lock;
  std::string dir;
  uint32_t filters = 0;
  bool subtree = false;
  bool optionsChanged = false;
  std::atomic<bool> stop{false};
  // UI thread only: cleared by the destructor, so queued deliveries do nothing.
  bool alive = true;
  std::function<void()> onChange;
  std::atomic<bool> deliveryQueued{false};
};

namespace {

constexpr int kQuietMs = 100;

uint32_t InotifyMask(uint32_t filters) {
  uint32_t m = 0;
  if (filters & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME))
    m |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
  if (filters & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)) m |= IN_ATTRIB;
  if (filters & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE)) m |= IN_MODIFY | IN_CLOSE_WRITE;
  return m;
}

// Whether an event is one of the kinds asked for (name changes of files and
// of directories are told apart by IN_ISDIR).
bool Wanted(const inotify_event& e, uint32_t filters) {
  const uint32_t naming = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
  if (e.mask & naming) {
    bool dir = e.mask & IN_ISDIR;
    return filters & (dir ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME);
  }
  if (e.mask & IN_ATTRIB) return filters & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY);
  if (e.mask & (IN_MODIFY | IN_CLOSE_WRITE)) return filters & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
  return (e.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0;
}

void AddWatches(int fd, const std::string& dir, uint32_t mask, bool subtree, std::map<int, std::string>& watches) {
  int wd = inotify_add_watch(fd, dir.c_str(), mask | (subtree ? uint32_t(IN_CREATE) : 0u) | IN_ONLYDIR);
  if (wd < 0) return;
  watches[wd] = dir;
  if (!subtree) return;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* de = readdir(d)) {
      std::string n = de->d_name;
      if (n == "." || n == ".." || de->d_type != DT_DIR) continue;
      AddWatches(fd, dir + "/" + n, mask, subtree, watches);
    }
    closedir(d);
  }
}

}  // namespace

DirWatcher::DirWatcher(const std::string& dir, uint32_t filters, bool subtree, std::function<void()> onChange)
    : shared_(std::make_shared<Shared>()), wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  shared_->dir = dir;
  shared_->filters = filters;
  shared_->subtree = subtree;
  shared_->onChange = std::move(onChange);
  // Armed before the constructor returns: a change made right after it is seen.
  inotifyFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (inotifyFd_ >= 0) AddWatches(inotifyFd_, dir, InotifyMask(filters), subtree, watches_);
  shared_->optionsChanged = false;
  thread_ = std::thread([this] { Run(); });
}

DirWatcher::~DirWatcher() {
  shared_->alive = false;
  shared_->stop = true;
  uint64_t one = 1;
  [[maybe_unused]] ssize_t r = ::write(wakeFd_, &one, sizeof one);
  if (thread_.joinable()) thread_.join();
  ::close(wakeFd_);
  if (inotifyFd_ >= 0) ::close(inotifyFd_);
}

void DirWatcher::SetOptions(const std::string& dir, uint32_t filters, bool subtree) {
  {
    std::lock_guard<std::mutex> g(shared_->lock);
    shared_->dir = dir;
    shared_->filters = filters;
    shared_->subtree = subtree;
    shared_->optionsChanged = true;
  }
  uint64_t one = 1;
  [[maybe_unused]] ssize_t r = ::write(wakeFd_, &one, sizeof one);
}

void DirWatcher::SetOnChange(std::function<void()> onChange) { shared_->onChange = std::move(onChange); }

void DirWatcher::Run() {
  std::shared_ptr<Shared> sh = shared_;
  int fd = inotifyFd_;
  std::map<int, std::string>& watches = watches_;
  uint32_t filters = sh->filters;
  std::vector<char> buf(64 * 1024);
  while (!sh->stop) {
    {
      std::lock_guard<std::mutex> g(sh->lock);
      if (sh->optionsChanged && fd >= 0) {
        for (auto& [wd, path] : watches) inotify_rm_watch(fd, wd);
        watches.clear();
        filters = sh->filters;
        AddWatches(fd, sh->dir, InotifyMask(filters), sh->subtree, watches);
        sh->optionsChanged = false;
      }
    }
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {fd, POLLIN, 0}};
    int n = ::poll(fds, fd >= 0 ? 2 : 1, -1);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents & POLLIN) {
      uint64_t v;
      [[maybe_unused]] ssize_t r = ::read(wakeFd_, &v, sizeof v);
    }
    if (sh->stop) break;
    if (fd < 0 || !(fds[1].revents & POLLIN)) continue;
    // Everything pending now is one change, and so is what follows within a
    // short quiet period (a burst of copies refreshes a view once).
    bool changed = false;
    for (;;) {
      ssize_t len = ::read(fd, buf.data(), buf.size());
      if (len <= 0) {
        pollfd more[2] = {{wakeFd_, POLLIN, 0}, {fd, POLLIN, 0}};
        if (sh->stop || ::poll(more, 2, kQuietMs) <= 0 || (more[0].revents & POLLIN)) break;
        continue;
      }
      for (ssize_t off = 0; off < len;) {
        auto* e = reinterpret_cast<inotify_event*>(buf.data() + off);
        if (Wanted(*e, filters)) changed = true;
        // A new directory in a watched tree is watched too.
        if ((e->mask & IN_CREATE) && (e->mask & IN_ISDIR) && e->len) {
          std::lock_guard<std::mutex> g(sh->lock);
          if (sh->subtree && watches.count(e->wd))
            AddWatches(fd, watches[e->wd] + "/" + e->name, InotifyMask(filters), true, watches);
        }
        off += ssize_t(sizeof(inotify_event) + e->len);
      }
    }
    if (!changed || sh->stop) continue;
    // At most one delivery waits on the UI loop; later changes join it.
    if (sh->deliveryQueued.exchange(true)) continue;
    rtl::Post([sh] {
      sh->deliveryQueued = false;
      if (sh->alive && sh->onChange) sh->onChange();
    });
  }
}

}  // namespace shell
