// Ownership, names, notifications, the loading bracket and objects freed
// inside their own handlers.
#include "fixtures.h"

#include <gtest/gtest.h>

using namespace fx;
using plat::test::Harness;
using plat::test::MessageLog;

namespace {

struct Watcher : TComponent {
  using TComponent::TComponent;
  std::vector<std::string> removed;
  int loaded = 0;
  TComponent* ref = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) {
      removed.push_back(c->Name());
      if (c == ref) ref = nullptr;
    }
  }
  void Loaded() override {
    TComponent::Loaded();
    loaded++;
  }
};

TEST(Component, OwnershipNamesAndNotifications) {
  auto* owner = new Watcher(nullptr);
  auto* a = new Watcher(owner);
  auto* b = new Watcher(owner);
  a->SetName("Alpha");
  b->SetName("Beta");
  EXPECT_EQ(owner->FindComponent("ALPHA"), a);
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_THROW(b->SetName("alpha"), EComponentError);
  EXPECT_THROW(owner->Components(5), rtl::EListError);
  // A reference across owners needs a free notification.
  auto* other = new Watcher(nullptr);
  other->ref = a;
  a->FreeNotification(other);
  a->Free();
  EXPECT_EQ(other->ref, nullptr);
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->removed, (std::vector<std::string>{"Alpha"}));
  // The loading bracket calls Loaded once per component.
  owner->BeginLoading();
  EXPECT_TRUE(b->Loading());
  owner->EndLoading();
  EXPECT_FALSE(b->Loading());
  EXPECT_EQ(b->loaded, 1);
  EXPECT_EQ(owner->loaded, 1);
  owner->Free();  // frees b
  other->Free();
  // A removal notice drops the link both ways: neither side may later
  // reach the other once one of them is gone.
  for (bool ownerFirst : {true, false}) {
    auto* p = new Watcher(nullptr);
    auto* q = new Watcher(p);
    q->FreeNotification(p);
    p->RemoveComponent(q);  // p hears opRemove for q
    if (ownerFirst) {
      p->Free();
      q->Free();
    } else {
      q->Free();
      p->Free();
    }
  }
}

TEST(Component, TextChangedOnlyOnRealChange) {
  Harness h;
  TForm* form = MakeForm();
  auto* l = new TLabel(form);
  l->SetParent(form);
  MessageLog log(l, {win::CM_TEXTCHANGED});
  l->SetCaption("a");
  l->SetCaption("a");
  l->SetCaption("b");
  EXPECT_EQ(log.entries.size(), 2u);
  form->Free();
}

TEST(Component, ControlFreedInItsOwnClickHandler) {
  Harness h;
  size_t windows = h.LiveWindowCount();
  TForm* form = MakeForm();
  auto* button = new TButton(form);
  button->SetBounds(10, 10, 75, 25);
  button->SetParent(form);
  int ups = 0;
  button->OnMouseUp = [&](rtl::TObject*, TMouseButton, TShiftState, int, int) { ups++; };
  button->OnClick = [&](rtl::TObject* s) { static_cast<TButton*>(s)->Free(); };
  form->Show();
  h.Pump();
  h.input.MoveTo(button, 5, 5);
  h.input.Click();
  h.input.MoveTo(form, 100, 100);
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_EQ(ups, 0);  // nothing runs on a destroyed control after its click
  EXPECT_TRUE(h.exceptions.empty());
  form->Free();
  h.Pump();
  EXPECT_EQ(h.LiveWindowCount(), windows);
}

// A linked action shows its state on the control and runs on its click
// unless the control has a handler of its own; either side may go first.
TEST(Component, ActionLinkStateClickAndLifetime) {
  Harness h;
  TForm* form = MakeForm();
  for (bool actionFirst : {true, false}) {
    SCOPED_TRACE(actionFirst ? "action freed first" : "control freed first");
    auto* action = new TAction(form);
    action->SetCaption("Go");
    action->SetHint("Go on");
    int runs = 0;
    action->OnExecute = [&](rtl::TObject* s) {
      EXPECT_EQ(s, action);
      runs++;
    };
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetAction(action);
    EXPECT_EQ(button->Caption(), "Go");
    EXPECT_EQ(button->Hint, "Go on");
    EXPECT_TRUE(button->ControlStyle & csActionClient);
    action->SetEnabled(false);
    action->SetVisible(false);
    action->SetCaption("Stop");
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(button->Visible());
    EXPECT_EQ(button->Caption(), "Stop");
    action->SetEnabled(true);
    button->Click();
    EXPECT_EQ(runs, 1);
    int own = 0;
    button->OnClick = [&](rtl::TObject*) { own++; };
    button->Click();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(own, 1);
    if (actionFirst) {
      action->Free();
      EXPECT_EQ(button->Action(), nullptr);
      EXPECT_FALSE(button->ControlStyle & csActionClient);
      button->Click();
      EXPECT_EQ(own, 2);
      button->Free();
    } else {
      button->Free();
      EXPECT_TRUE(action->Clients().empty());
      action->SetCaption("after");
      action->Free();
    }
  }
  form->Free();
}

}  // namespace

#include "platform/cl/collection.h"

namespace {
struct Item : TCollectionItem {
  using TCollectionItem::TCollectionItem;
  std::string text;
  void Assign(TPersistent* src) override {
    if (auto* o = dynamic_cast<Item*>(src)) {
      text = o->text;
      Changed(false);
      return;
    }
    TCollectionItem::Assign(src);
  }
};
struct ItemList : TCollection {
  ItemList() : TCollection([](TCollection* c) { return new Item(c); }) {}
  std::vector<std::string> updates;

 protected:
  void Update(TCollectionItem* item) override { updates.push_back(item ? static_cast<Item*>(item)->text : "*"); }
};

TEST(Collection, ItemsOrderUpdatesAndIndexErrors) {
  auto* c = new ItemList;
  static_cast<Item*>(c->Add())->text = "a";
  static_cast<Item*>(c->Add())->text = "b";
  auto* x = static_cast<Item*>(c->Insert(0));
  x->text = "x";
  EXPECT_EQ(c->Count(), 3);
  EXPECT_EQ(static_cast<Item*>(c->Items(0))->text, "x");
  EXPECT_EQ(c->Items(1)->Index(), 1);
  EXPECT_THROW(c->Items(3), rtl::EListError);
  EXPECT_THROW(c->Delete(-1), rtl::EListError);
  c->updates.clear();
  c->Delete(0);
  EXPECT_EQ(c->updates, (std::vector<std::string>{"*"}));
  auto* copy = new ItemList;
  copy->Assign(c);
  ASSERT_EQ(copy->Count(), 2);
  EXPECT_EQ(static_cast<Item*>(copy->Items(1))->text, "b");
  EXPECT_THROW(copy->Items(0)->Assign(c), rtl::EConvertError);
  copy->Free();
  c->Free();
}
}  // namespace

namespace {
TEST(Component, FormReleasedFromItsOwnClick) {
  Harness h;
  size_t windows = h.LiveWindowCount();
  auto* watcher = new Watcher(nullptr);
  TForm* form = MakeForm();
  form->SetName("Dlg");
  form->FreeNotification(watcher);
  auto* b = new TButton(form);
  b->SetBounds(10, 10, 75, 25);
  b->SetParent(form);
  b->OnClick = [form](rtl::TObject*) { form->Release(); };
  form->Show();
  h.Pump();
  h.input.MoveTo(b, 5, 5);
  h.input.Click();
  EXPECT_EQ(watcher->removed, (std::vector<std::string>{"Dlg"}));
  EXPECT_EQ(h.LiveWindowCount(), windows);
  EXPECT_TRUE(h.exceptions.empty());
  watcher->Free();
}
}  // namespace

namespace {
TEST(Reflection, ColourQueriesReachTheAskingChildAsCnMessages) {
  Harness h;
  TForm* form = MakeForm();
  auto* child = new Board(form, "c", gfx::clRed);
  child->SetParent(form);
  form->Show();
  child->WindowProc = [prev = child->WindowProc](TMessage& m) {
    prev(m);
    if (m.Msg == win::CN_CTLCOLOREDIT) m.Result = 77;
  };
  LRESULT r = win::SendMessage(form->Handle(), win::WM_CTLCOLOREDIT, 0, LPARAM(child->Handle().v));
  EXPECT_EQ(r, 77);
  form->Free();
}
}  // namespace
