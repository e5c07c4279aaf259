// The about box TForm2: created at start-up, shown from the help menu. It is
// drawn with the main window's skin and names the maker's web site.
#pragma once
#include "platform/cl/forms.h"
#include "platform/cl/stateholders.h"
#include "platform/gfx/graphics.h"
#include "skin/controls/bsSkinButtons.h"
#include "skin/data/bsSkinData.h"
#include "skin/form/bsSkinForm.h"
#include "skin/controls/bsSkinLabels.h"
#include "skin/inputs/bsSkinLinkLabel.h"

// The maker's web site: opened from the help menu and shown in the about box.
inline constexpr char kMakerWebSite[] = "http://www.varnelmod.com/";
// The help document beside the program, opened from the help menu and F1:
// HTML, since a desktop without Windows has no common viewer of compiled help.
inline constexpr char kHelpFile[] = "help.html";

// A picture with an alpha channel drawn over whatever its parent painted,
// so it looks the same on every skin's background.
class TAlphaPicture : public cl::TGraphicControl {
 public:
  explicit TAlphaPicture(cl::TComponent* owner) : cl::TGraphicControl(owner) {}
  // A 32-bit picture with straight alpha; false when it has none.
  bool Load(const char* resourceName);
  gfx::TBitmap& Bitmap() { return pic_; }

 protected:
  void Paint() override;

 private:
  gfx::TBitmap pic_;  // premultiplied
};

class TForm2 : public cl::TForm {
 public:
  explicit TForm2(cl::TComponent* owner);
  // The skin store comes from the main window when it exists; tests may hand one in.
  TForm2(cl::TComponent* owner, skin::TbsSkinData* skin);

  void bsSkinButton1Click();  // "确定"

  skin::TbsSkinForm* bsSkinForm1 = nullptr;
  skin::TbsSkinStdLabel *bsSkinStdLabel1 = nullptr, *bsSkinStdLabel2 = nullptr, *bsSkinStdLabel3 = nullptr;
  skin::TbsSkinLinkLabel* bsSkinLinkLabel1 = nullptr;
  TAlphaPicture* Image1 = nullptr;
  skin::TbsSkinButton* bsSkinButton1 = nullptr;

 private:
  void Build();
  skin::TbsSkinData* skin_ = nullptr;
};
