// The about box TForm2: created at start-up, shown from the help menu.
#pragma once
#include "platform/cl/forms.h"

class TForm2 : public cl::TForm {
 public:
  explicit TForm2(cl::TComponent* owner);
};
