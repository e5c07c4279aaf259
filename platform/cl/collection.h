// TCollection and TCollectionItem: an owned, ordered list of items that
// report their changes to the collection (Update), with the class library's
// index errors.
#pragma once

#include "platform/cl/object.h"

#include <functional>
#include <string>
#include <vector>

namespace cl {

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  // Adds itself to `collection` (which may be nullptr).
  explicit TCollectionItem(TCollection* collection);
  TCollection* Collection() const { return collection_; }
  void SetCollection(TCollection* c);
  int Index() const;
  void SetIndex(int i);
  int ID() const { return id_; }
  virtual std::string GetDisplayName() const { return ClassName(); }

 protected:
  void Destroy() override;
  // Tells the collection: this item (allItems = false) or everything changed.
  void Changed(bool allItems);
  std::string ClassName() const override { return "TCollectionItem"; }

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
 public:
  // `makeItem` creates one item of the collection's item class.
  explicit TCollection(std::function<TCollectionItem*(TCollection*)> makeItem, TPersistent* owner = nullptr);
  int Count() const { return int(items_.size()); }
  TCollectionItem* Items(int i) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  void BeginUpdate() { updateCount_++; }
  void EndUpdate();
  TCollectionItem* FindItemID(int id) const;
  // Replaces the items by copies of the source's (each item's Assign).
  void Assign(TPersistent* source) override;
  virtual TPersistent* GetOwner() const { return owner_; }

 protected:
  void Destroy() override;
  // Called after a change: `item` changed, or nullptr for the whole list.
  virtual void Update(TCollectionItem* item) { (void)item; }
  void Changed();
  std::string ClassName() const override { return "TCollection"; }

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  std::function<TCollectionItem*(TCollection*)> makeItem_;
  TPersistent* owner_;
  std::vector<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};

}  // namespace cl
