// TCustomImageList / TImageList: the component over the image-list storage.
// Users that keep a pointer to a list call FreeNotification on it, so they
// hear (Notification opRemove) when the list goes away.
#pragma once

#include "platform/cl/object.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/imagelist.h"
#include "platform/rtl/events.h"

namespace cl {

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}
  int Width() const { return list_.Width(); }
  int Height() const { return list_.Height(); }
  // Changing the size clears the list.
  void SetWidth(int w) { SetSize(w, list_.Height()); }
  void SetHeight(int h) { SetSize(list_.Width(), h); }
  void SetSize(int w, int h);
  int Count() const { return list_.Count(); }
  gfx::TColor BkColor() const { return list_.BkColor(); }
  void SetBkColor(gfx::TColor c) {
    list_.SetBkColor(c);
    Change();
  }
  int Add(gfx::TBitmap* image, gfx::TBitmap* mask);
  int AddMasked(gfx::TBitmap* image, gfx::TColor maskColor);
  int AddIcon(gfx::TIcon* icon);
  void Replace(int index, gfx::TBitmap* image, gfx::TBitmap* mask);
  void Delete(int index);
  void Clear();
  void Move(int from, int to);
  void Draw(gfx::TCanvas* canvas, int x, int y, int index, bool enabled = true) const {
    list_.Draw(canvas, x, y, index, enabled);
  }
  void GetBitmap(int index, gfx::TBitmap* out) const { list_.GetBitmap(index, out); }
  void GetIcon(int index, gfx::TIcon* out) const { list_.GetIcon(index, out); }
  gfx::HIMAGELIST Handle() { return &list_; }
  void BeginUpdate() { updating_++; }
  void EndUpdate();
  rtl::TNotifyEvent OnChange;

 protected:
  virtual void Change();
  std::string ClassName() const override { return "TCustomImageList"; }

 private:
  gfx::ImageList list_;
  int updating_ = 0;
  bool changed_ = false;
};

class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;

 protected:
  std::string ClassName() const override { return "TImageList"; }
};

}  // namespace cl
