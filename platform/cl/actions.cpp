#include "platform/cl/actions.h"

#include <algorithm>

#include "platform/cl/controls.h"
#include "platform/cl/imglist.h"

namespace cl {

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (Value == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) images_ = nullptr;
}

void TCustomAction::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  Change();
}

void TCustomAction::SetVisible(bool Value) {
  if (Value == visible_) return;
  visible_ = Value;
  Change();
}

void TCustomAction::SetChecked(bool Value) {
  if (Value == checked_) return;
  checked_ = Value;
  Change();
}

void TCustomAction::SetHint(const std::string& Value) {
  if (Value == hint_) return;
  hint_ = Value;
  Change();
}

void TCustomAction::SetImageIndex(int Value) {
  if (Value == imageIndex_) return;
  imageIndex_ = Value;
  Change();
}

void TCustomAction::SetActionList(TCustomActionList* Value) {
  if (Value == list_) return;
  if (list_) list_->RemoveFreeNotification(this);
  list_ = Value;
  if (list_) list_->FreeNotification(this);
  Change();
}

bool TCustomAction::Execute() {
  if (!enabled_ || !OnExecute) return false;
  OnExecute(this);
  return true;
}

void TCustomAction::RegisterClient(TControl* C) {
  if (!C || std::find(clients_.begin(), clients_.end(), C) != clients_.end()) return;
  clients_.push_back(C);
  FreeNotification(C);
}

void TCustomAction::UnRegisterClient(TControl* C) {
  if (std::find(clients_.begin(), clients_.end(), C) == clients_.end()) return;
  std::erase(clients_, C);
  RemoveFreeNotification(C);
}

void TCustomAction::Change() {
  // A client may unlink itself while it hears of the change.
  std::vector<TControl*> all = clients_;
  for (TControl* C : all)
    if (std::find(clients_.begin(), clients_.end(), C) != clients_.end()) C->ActionChange(this, false);
}

void TCustomAction::Destroy() {
  // Every client forgets the link, also one whose own notification chain
  // would not reach the control's.
  for (TControl* C : clients_) {
    C->action_ = nullptr;
    C->ControlStyle &= ~unsigned(csActionClient);
  }
  clients_.clear();
  TComponent::Destroy();
}

void TCustomAction::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == list_) list_ = nullptr;
  std::erase_if(clients_, [&](TControl* c) { return static_cast<TComponent*>(c) == AComponent; });
}

}  // namespace cl
