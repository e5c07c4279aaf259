#include "platform/cl/object.h"

#include "platform/rtl/strings.h"

#include <algorithm>
#include <functional>

namespace cl {

void TObject::Free() {
  if (!destroyed_) {
    destroyed_ = true;
    RefAdd();
    try {
      Destroy();
    } catch (...) {
      RefRelease();
      if (!lifeReleased_) {
        lifeReleased_ = true;
        RefRelease();
      }
      throw;
    }
    RefRelease();
  }
  if (!lifeReleased_) {
    lifeReleased_ = true;
    RefRelease();
  }
}

void TPersistent::Assign(TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  throw rtl::EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* dest) {
  throw rtl::EConvertError("Cannot assign a " + ClassName() + " to a " + (dest ? dest->ClassName() : "nil"));
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent* TComponent::Components(int i) const {
  if (i < 0 || i >= int(components_.size()))
    throw rtl::EListError("List index out of bounds (" + std::to_string(i) + ")");
  return components_[size_t(i)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& l = owner_->components_;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : int(it - l.begin());
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && owner_) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this) throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (rtl::SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
  if (!c || c->owner_ == this) return;
  if (c->owner_) c->owner_->RemoveComponent(c);
  if (!c->name_.empty() && FindComponent(c->name_))
    throw EComponentError("A component named " + c->name_ + " already exists");
  components_.push_back(c);
  c->owner_ = this;
  Notification(c, opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  auto it = std::find(components_.begin(), components_.end(), c);
  if (it == components_.end()) return;
  Notification(c, opRemove);
  it = std::find(components_.begin(), components_.end(), c);
  if (it != components_.end()) components_.erase(it);
  c->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* c) {
  if (!c || c == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end()) freeNotifies_.push_back(c);
  if (std::find(c->freeNotifies_.begin(), c->freeNotifies_.end(), this) == c->freeNotifies_.end())
    c->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  if (!c) return;
  std::erase(freeNotifies_, c);
  std::erase(c->freeNotifies_, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  // Both directions: a link kept on the other side would later reach this
  // object after it is gone.
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (std::find(components_.begin(), components_.end(), c) != components_.end())
      c->Notification(AComponent, Operation);
}

void TComponent::SetLoadingTree(bool on) {
  if (on) state_ |= csLoading;
  for (TComponent* c : components_) c->SetLoadingTree(on);
}

void TComponent::BeginLoading() { SetLoadingTree(true); }

void TComponent::EndLoading() {
  std::vector<TComponent*> all;
  std::function<void(TComponent*)> collect = [&](TComponent* c) {
    all.push_back(c);
    for (TComponent* o : c->components_) collect(o);
  };
  collect(this);
  for (TComponent* c : all) c->Loaded();
}

void TComponent::Destroy() {
  Destroying_();
  // Everyone who asked hears of the removal; they drop their references.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    std::erase(c->freeNotifies_, this);
    c->Notification(this, opRemove);
  }
  // Owned components go first, newest last-in first-out.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    c->Free();
  }
  if (owner_) owner_->RemoveComponent(this);
  TPersistent::Destroy();
}

}  // namespace cl
