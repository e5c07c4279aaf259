// The edit that list and tree views open over a label: Enter accepts,
// Escape abandons, losing the focus accepts. The view decides what an end
// means; the edit only reports it.
#pragma once

#include "platform/ctl/edit.h"

#include <functional>

namespace ctl {

class TInplaceEdit : public TEdit {
 public:
  explicit TInplaceEdit(TComponent* owner);
  // Called once per end, with true to accept. The view frees the edit there.
  std::function<void(bool accept)> OnEnd;
  void Dispatch(TMessage& m) override;

 protected:
  std::string ClassName() const override { return "TInplaceEdit"; }
};

}  // namespace ctl
