// TCustomAction / TAction and TActionList: a command shared by several
// controls. A linked control takes the action's caption, enabled, visible
// and hint state, and is told again whenever one of them changes; clicking
// it executes the action. Actions and their clients hear of each other's
// end through free notifications.
#pragma once

#include <string>
#include <vector>

#include "platform/cl/object.h"
#include "platform/rtl/events.h"

namespace cl {

class TControl;
class TCustomImageList;

// The list that groups actions and gives them their images.
class TCustomActionList : public TComponent {
 public:
  explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  std::string ClassName() const override { return "TCustomActionList"; }

 private:
  TCustomImageList* images_ = nullptr;
};
using TActionList = TCustomActionList;

class TCustomAction : public TComponent {
 public:
  explicit TCustomAction(TComponent* AOwner) : TComponent(AOwner) {}

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  bool Checked() const { return checked_; }
  void SetChecked(bool Value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value);
  TCustomActionList* ActionList() const { return list_; }
  void SetActionList(TCustomActionList* Value);

  // Runs OnExecute when the action is enabled and has a handler; answers
  // whether it ran.
  virtual bool Execute();
  rtl::TNotifyEvent OnExecute;

  // Clients (controls link and unlink themselves through TControl::SetAction).
  void RegisterClient(TControl* C);
  void UnRegisterClient(TControl* C);
  const std::vector<TControl*>& Clients() const { return clients_; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Destroy() override;
  std::string ClassName() const override { return "TCustomAction"; }
  // Every client hears of a change of a shown property.
  void Change();

 private:
  std::string caption_, hint_;
  bool enabled_ = true, visible_ = true, checked_ = false;
  int imageIndex_ = -1;
  TCustomActionList* list_ = nullptr;
  std::vector<TControl*> clients_;
};
using TAction = TCustomAction;

}  // namespace cl
