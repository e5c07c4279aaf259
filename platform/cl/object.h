// The object model of the class library: TObject with two-phase Free,
// TPersistent and TComponent (ownership, names, notifications, loading).
//
// Free runs the object's Destroy at once (handles released, detached from
// owner and parent, notifications sent), but the memory stays until the
// last Keep guard lets go. Every dispatch, timer tick and event invocation
// holds a Keep on its target, so an object freed inside its own handler is
// never touched after its memory is gone. Objects are created with new and
// ended with Free, never with delete.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"
#include "platform/win/messages.h"

#include <string>
#include <vector>

namespace cl {

using win::TMessage;

class TObject : public rtl::TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  // Destroy now, release the memory when nobody holds a Keep any more.
  void Free();
  bool Destroyed() const { return destroyed_; }
  // The memory reference count behind Keep (not the object's life).
  void RefAdd() { refs_++; }
  void RefRelease() {
    if (--refs_ == 0) delete this;
  }

  // Message dispatch: classes override Dispatch with a switch over the message
  // numbers they handle and pass the rest to the inherited Dispatch; the root
  // calls DefaultHandler.
  virtual void Dispatch(TMessage& msg) { DefaultHandler(msg); }
  virtual void DefaultHandler(TMessage&) {}

 protected:
  ~TObject() override = default;
  // The destructor's work. Overrides call the inherited Destroy last.
  virtual void Destroy() {}

 private:
  int refs_ = 1;
  bool destroyed_ = false;
  bool lifeReleased_ = false;
};

inline void FreeAndNil(auto*& p) {
  auto* q = p;
  p = nullptr;
  if (q) q->Free();
}

// Holds an object's memory (not its life) for a scope.
template <class T>
class Keep {
 public:
  Keep() = default;
  explicit Keep(T* p) : p_(p) {
    if (p_) p_->RefAdd();
  }
  Keep(const Keep& o) : Keep(o.p_) {}
  Keep& operator=(const Keep& o) {
    Keep tmp(o);
    std::swap(p_, tmp.p_);
    return *this;
  }
  ~Keep() {
    if (p_) p_->RefRelease();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // True while the object is held and not yet destroyed.
  bool Alive() const { return p_ && !p_->Destroyed(); }

 private:
  T* p_ = nullptr;
};

class TPersistent : public TObject {
 public:
  // Copies from `source`; raises EConvertError when the pair is not supported.
  virtual void Assign(TPersistent* source);

 protected:
  virtual void AssignTo(TPersistent* dest);
  virtual std::string ClassName() const { return "TPersistent"; }
};

enum TOperation { opInsert, opRemove };
enum TComponentStateFlag { csLoading = 1, csReading = 2, csWriting = 4, csDestroying = 8, csDesigning = 16 };

class EComponentError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return int(components_.size()); }
  TComponent* Components(int i) const;
  int ComponentIndex() const;
  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name);
  intptr_t Tag = 0;
  // Case-insensitive, among the owned components.
  TComponent* FindComponent(const std::string& name) const;
  // csDesigning never appears: there is no design time.
  unsigned ComponentState() const { return state_; }
  bool Loading() const { return state_ & csLoading; }
  bool Destroying() const { return state_ & csDestroying; }

  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);
  // `c` hears (Notification opRemove) when this component is destroyed.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);
  // Forms built in code: setters stay quiet between the two; EndLoading
  // calls Loaded once per component, owned ones included.
  void BeginLoading();
  void EndLoading();

 protected:
  void Destroy() override;
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  virtual void Loaded() { state_ &= ~unsigned(csLoading); }
  virtual void Destroying_() { state_ |= csDestroying; }
  std::string ClassName() const override { return "TComponent"; }

 private:
  void SetLoadingTree(bool on);
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  unsigned state_ = 0;
};

}  // namespace cl
