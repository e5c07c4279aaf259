// Small colour-coded controls shared by the class-library tests.
#pragma once

#include "platform/cl/forms.h"
#include "platform/cl/stdctrls.h"
#include "platform/testkit/harness.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace fx {

using namespace cl;

inline std::vector<std::string>* g_trace = nullptr;
inline void Trace(const std::string& s) {
  if (g_trace) g_trace->push_back(s);
}

// A windowed parent: erases with Color, paints its whole client with `fill`.
class Board : public TCustomControl {
 public:
  Board(TComponent* o, std::string name, TColor fill) : TCustomControl(o), name_(std::move(name)), fill_(fill) {
    ControlStyle |= csAcceptsControls;
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == win::WM_ERASEBKGND) Trace(name_ + ".erase");
    TCustomControl::Dispatch(m);
  }

 protected:
  void Paint() override {
    Trace(name_);
    Canvas()->Brush()->SetColor(fill_);
    Canvas()->FillRect(ClientRect());
  }
  std::string name_;
  TColor fill_;
};

// A graphic child that paints the left `part` (0..1) of itself; may throw.
class Swatch : public TGraphicControl {
 public:
  Swatch(TComponent* o, std::string name, TColor c, double part = 1.0, bool opaque = false)
      : TGraphicControl(o), name_(std::move(name)), part_(part) {
    color_ = c;
    parentColor_ = false;
    if (opaque) ControlStyle |= csOpaque;
  }
  bool fail = false;

 protected:
  void Paint() override {
    Trace(name_);
    if (fail) throw std::runtime_error("paint failed");
    Canvas()->Brush()->SetColor(color_);
    Canvas()->FillRect({0, 0, int(Width() * part_), Height()});
  }
  std::string name_;
  double part_;
};

inline TForm* MakeForm(int w = 200, int h = 150) {
  auto* f = new TForm(nullptr);
  f->SetBorderStyle(bsNone);
  f->SetBounds(0, 0, w, h);
  return f;
}

}  // namespace fx
