#include "platform/cl/imglist.h"

namespace cl {

void TCustomImageList::SetSize(int w, int h) {
  if (w == list_.Width() && h == list_.Height()) return;
  list_.SetSize(w, h);
  Change();
}

int TCustomImageList::Add(gfx::TBitmap* image, gfx::TBitmap* mask) {
  int r = list_.Add(image, mask);
  Change();
  return r;
}

int TCustomImageList::AddMasked(gfx::TBitmap* image, gfx::TColor maskColor) {
  int r = list_.AddMasked(image, maskColor);
  Change();
  return r;
}

int TCustomImageList::AddIcon(gfx::TIcon* icon) {
  int r = list_.AddIcon(icon);
  Change();
  return r;
}

void TCustomImageList::Replace(int index, gfx::TBitmap* image, gfx::TBitmap* mask) {
  list_.Replace(index, image, mask);
  Change();
}

void TCustomImageList::Delete(int index) {
  list_.Delete(index);
  Change();
}

void TCustomImageList::Clear() {
  list_.Clear();
  Change();
}

void TCustomImageList::Move(int from, int to) {
  list_.Move(from, to);
  Change();
}

void TCustomImageList::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && changed_) Change();
}

void TCustomImageList::Change() {
  if (updating_) {
    changed_ = true;
    return;
  }
  changed_ = false;
  OnChange(this);
}

}  // namespace cl
