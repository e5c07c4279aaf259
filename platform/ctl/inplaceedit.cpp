#include "platform/ctl/inplaceedit.h"

namespace ctl {

using namespace win;

TInplaceEdit::TInplaceEdit(TComponent* owner) : TEdit(owner) {
  SetBorderStyle(cl::bsSingle);
  AutoSelect = false;
}

void TInplaceEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      TEdit::Dispatch(m);
      m.Result |= DLGC_WANTALLKEYS;
      return;
    case WM_KEYDOWN:
      if (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE) {
        if (OnEnd) OnEnd(m.WParam == VK_RETURN);
        return;
      }
      break;
    case WM_CHAR:
      if (m.WParam == '\r' || m.WParam == 27) return;
      break;
    case WM_KILLFOCUS:
      TEdit::Dispatch(m);
      if (!Destroyed() && OnEnd) OnEnd(true);
      return;
  }
  TEdit::Dispatch(m);
}

}  // namespace ctl
