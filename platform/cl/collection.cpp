#include "platform/cl/collection.h"

#include <algorithm>

namespace cl {

static rtl::EListError IndexError(int i) {
  return rtl::EListError("List index out of bounds (" + std::to_string(i) + ")");
}

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

void TCollectionItem::SetCollection(TCollection* c) {
  if (c == collection_) return;
  if (collection_) collection_->RemoveItem(this);
  if (c) c->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  auto& l = collection_->items_;
  return int(std::find(l.begin(), l.end(), this) - l.begin());
}

void TCollectionItem::SetIndex(int i) {
  if (!collection_) return;
  auto& l = collection_->items_;
  int cur = Index();
  if (i < 0 || i >= int(l.size())) i = int(l.size()) - 1;
  if (cur == i) return;
  l.erase(l.begin() + cur);
  l.insert(l.begin() + i, this);
  Changed(true);
}

void TCollectionItem::Changed(bool allItems) {
  if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

void TCollectionItem::Destroy() {
  SetCollection(nullptr);
  TPersistent::Destroy();
}

TCollection::TCollection(std::function<TCollectionItem*(TCollection*)> makeItem, TPersistent* owner)
    : makeItem_(std::move(makeItem)), owner_(owner) {}

TCollectionItem* TCollection::Items(int i) const {
  if (i < 0 || i >= int(items_.size())) throw IndexError(i);
  return items_[size_t(i)];
}

TCollectionItem* TCollection::Add() {
  TCollectionItem* item = makeItem_(this);
  if (item->collection_ != this) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) { Items(index)->Free(); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) items_.back()->Free();
  EndUpdate();
}

void TCollection::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* i : items_)
    if (i->id_ == id) return i;
  return nullptr;
}

void TCollection::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TCollection*>(source);
  if (!src) {
    TPersistent::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* i : src->items_) Add()->Assign(i);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextId_++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  std::erase(items_, item);
  item->collection_ = nullptr;
  Changed();
}

void TCollection::Destroy() {
  updateCount_ = 1;
  Clear();
  TPersistent::Destroy();
}

}  // namespace cl
