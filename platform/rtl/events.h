// Single-handler events: each event holds at most one handler, which can be
// replaced at any time ("the combo takes over the list's OnMouseMove").
#pragma once

#include <functional>
#include <utility>

#include "platform/rtl/types.h"

namespace rtl {

template <class Sig>
class Event;

template <class R, class... Args>
class Event<R(Args...)> {
 public:
  using Handler = std::function<R(Args...)>;

  Event() = default;
  Event(std::nullptr_t) {}
  template <class F,
            class = std::enable_if_t<std::is_constructible_v<Handler, F> && !std::is_same_v<std::decay_t<F>, Event>>>
  Event(F&& f) : fn_(std::forward<F>(f)) {}

  // Binds a method of an object: Event(this, &TForm1::Button1Click).
  template <class C, class M>
  Event(C* obj, M method)
      : fn_([obj, method](Args... args) -> R { return (obj->*method)(std::forward<Args>(args)...); }) {}

  bool Assigned() const { return static_cast<bool>(fn_); }
  explicit operator bool() const { return Assigned(); }
  void Clear() { fn_ = nullptr; }

  // Calling an unassigned event does nothing (and returns a default value).
  R operator()(Args... args) const {
    if (!fn_) {
      if constexpr (std::is_void_v<R>)
        return;
      else
        return R{};
    }
    return fn_(std::forward<Args>(args)...);
  }

  const Handler& handler() const { return fn_; }

 private:
  Handler fn_;
};

using TNotifyEvent = Event<void(TObject* Sender)>;

}  // namespace rtl
