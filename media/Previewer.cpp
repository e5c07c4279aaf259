#include "media/Previewer.h"

#include <mutex>

#include "media/EngineUtils.h"

namespace media {

namespace {

std::mutex& FactoryLock() {
  static std::mutex* m = new std::mutex();
  return *m;
}
TPreviewWindowFactory& Factory() {
  static auto* f = new TPreviewWindowFactory();
  return *f;
}

}  // namespace

TPreviewWindowFactory SetPreviewWindowFactory(TPreviewWindowFactory factory) {
  std::lock_guard<std::mutex> lk(FactoryLock());
  TPreviewWindowFactory old = std::move(Factory());
  Factory() = std::move(factory);
  return old;
}

void FreePreviewer(TPreviewer* p) { delete p; }

TPreviewer::TPreviewer() : FClosedFlag(std::make_shared<std::atomic<bool>>(false)) {}

TPreviewer::~TPreviewer() {
  if (!FForm) return;
  try {
    RunInMainThread([this] { FForm.reset(); });
  } catch (...) {
    // The main thread is gone (program end): the window goes with it.
    (void)FForm.release();
  }
}

bool TPreviewer::PaintFrame(TBitmap24* ABitmap, int AFrameNumber, int64_t APTS) {
  if (FClosed || FClosedFlag->load()) {
    FClosed = true;
    return false;
  }
  FBitmap = ABitmap;
  FFrameNumber = AFrameNumber;
  FPTS = APTS;
  try {
    RunInMainThread([this] { Paint(); });
  } catch (...) {
    FClosed = true;
  }
  if (FClosedFlag->load()) FClosed = true;
  return !FClosed;
}

void TPreviewer::Paint() {
  if (FClosed || FClosedFlag->load() || !FBitmap) return;
  if (!FForm) {
    TPreviewWindowFactory f;
    {
      std::lock_guard<std::mutex> lk(FactoryLock());
      f = Factory();
    }
    if (f) FForm = f();
    if (!FForm) {
      FClosed = true;
      return;
    }
    // The window keeps its first size.
    std::shared_ptr<std::atomic<bool>> flag = FClosedFlag;
    FForm->Show(FBitmap->Width(), FBitmap->Height(), [flag] { flag->store(true); });
  }
  FForm->SetCaption(FormatTimeText(FPTS));
  FForm->Draw(*FBitmap);
}

}  // namespace media
