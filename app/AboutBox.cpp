#include "app/AboutBox.h"

TForm2::TForm2(cl::TComponent* owner) : cl::TForm(owner) {
  SetName("Form2");
  SetCaption("关于软件");
  SetBorderStyle(cl::bsSingle);
  SetBorderIcons(0);
  SetPosition(cl::poMainFormCenter);
  SetClientSize(360, 220);
}
