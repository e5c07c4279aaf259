#include "skin/controls/bsSkinMenuSpeedButton.h"

#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/controls/bsSkinParts.h"

namespace skin {

using namespace win;

namespace {

constexpr int kStrip = 15;

void Face(gfx::TCanvas* C, const TRect& R, TColor Frame, TColor Fill) {
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(Fill);
  C->FillRect(R);
  C->Brush()->SetColor(Frame);
  C->FrameRect(R);
}

TRect Moved(TRect R, int dx, int dy) { return {R.Left + dx, R.Top + dy, R.Right + dx, R.Bottom + dy}; }

// The menu's skinned-form component, found the way the menu finds it.
IbsSkinMenuHost* MenuHostOf(TbsSkinPopupMenu* M) {
  if (M->SkinComponent) return M->SkinComponent;
  if (M->ComponentForm) return FindSkinMenuHost(M->ComponentForm);
  auto* form = dynamic_cast<cl::TCustomForm*>(M->Owner());
  if (!form && M->Owner()) form = dynamic_cast<cl::TCustomForm*>(M->Owner()->Owner());
  if (!form) return nullptr;
  IbsSkinMenuHost* h = FindSkinMenuHost(form);
  if (h && form->FormStyle() == cl::fsMDIChild) h = FindSkinMenuHost(cl::Application->MainForm());
  return h;
}

}  // namespace

TbsSkinMenuSpeedButton::TbsSkinMenuSpeedButton(cl::TComponent* AOwner) : TbsSkinSpeedButton(AOwner) {
  FSkinDataName = "toolmenubutton";
}

void TbsSkinMenuSpeedButton::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinSpeedButton::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FSkinPopupMenu) FSkinPopupMenu = nullptr;
}

void TbsSkinMenuSpeedButton::SetSkinPopupMenu(TbsSkinPopupMenu* V) {
  if (FSkinPopupMenu) FSkinPopupMenu->RemoveFreeNotification(this);
  FSkinPopupMenu = V;
  if (V) V->FreeNotification(this);
}

void TbsSkinMenuSpeedButton::SetTrackButtonMode(bool V) {
  FTrackButtonMode = V;
  if (FIndex == -1) Repaint();
}

void TbsSkinMenuSpeedButton::SetTrackPosition(TbsTrackPosition V) {
  FTrackPosition = V;
  Repaint();
}

void TbsSkinMenuSpeedButton::SetNewStyle(bool V) {
  FNewStyle = V;
  if (V) FSkinDataName = "resizetoolbutton";
}

bool TbsSkinMenuSpeedButton::StandardName() const {
  const std::string& n = FSkinDataName;
  return n == "resizebutton" || n == "resizetoolbutton" || n == "toolbutton" || n == "bigtoolbutton";
}

void TbsSkinMenuSpeedButton::GetSkinData() {
  TbsSkinSpeedButton::GetSkinData();
  if (FIndex == -1) return;
  if (auto* R = dynamic_cast<TbsDataSkinMenuButtonControl*>(SkinRecord(FSD, FIndex)))
    TrackButtonRect = R->TrackButtonRect;
}

TRect TbsSkinMenuSpeedButton::GetTrackRect() {
  int W = Width(), H = Height();
  if (FIndex != -1 && !StandardName()) {
    if (G.ResizeMode == 2) return Moved(TrackButtonRect, W - RectWidth(G.SkinRect), 0);
    if (G.ResizeMode == 3) return Moved(TrackButtonRect, 0, H - RectHeight(G.SkinRect));
    if (G.ResizeMode == 1) {
      // A record that grows both ways keeps its strip at the right edge and
      // as tall as the button, or a press on the picture's arrow would miss.
      TRect r = Moved(TrackButtonRect, W - RectWidth(G.SkinRect), 0);
      r.Bottom += H - RectHeight(G.SkinRect);
      return r;
    }
    return TrackButtonRect;
  }
  if (FNewStyle && FTrackPosition == bstpBottom) return {0, H - kStrip, W, H};
  return {W - kStrip, 0, W, H};
}

bool TbsSkinMenuSpeedButton::InTrackArea(int X, int Y) {
  if (!FSkinPopupMenu && !FSkinImagesMenu) return false;
  if (!FTrackButtonMode) return true;
  GetSkinData();
  return RectContainsPoint(GetTrackRect(), {X, Y});
}

// ---------------------------------------------------------------------------- menu

void TbsSkinMenuSpeedButton::TrackMenu() {
  cl::Keep<TbsSkinMenuSpeedButton> self(this);
  if (FSkinPopupMenu) {
    OnShowTrackMenu(this);
    if (Destroyed()) return;
  }
  if (FSkinPopupMenu) {
    TPoint o = ClientToScreen({0, 0});
    TbsSkinPopupMenu* M = FSkinPopupMenu;
    M->PopupFromRect2(this, {o.X, o.Y, o.X + Width(), o.Y + Height()}, false);
    if (Destroyed() || !FMenuTracked) return;
    // A menu that shows nothing sends no close notice: release the button
    // now rather than leave it stuck down until some later menu closes.
    IbsSkinMenuHost* host = MenuHostOf(M);
    bool shown = M->Items()->Count() > 0 && host && host->SkinMenu() && host->SkinMenu()->Visible();
    if (!shown && !FSkinImagesMenu) MenuClosed();
  }
  if (!FSkinImagesMenu) return;
  OnShowTrackMenu(this);
  if (Destroyed() || !FSkinImagesMenu) return;
  TPoint o = ClientToScreen({0, 0});
  TbsSkinImagesMenu* IM = FSkinImagesMenu;
  IM->OnInternalMenuClose = [this](rtl::TObject*) {
    if (FMenuTracked) MenuClosed();
  };
  IM->PopupFromRect({o.X, o.Y, o.X + Width(), o.Y + Height()});
  // An images menu without images shows nothing and never closes.
  if (!Destroyed() && FMenuTracked && !IM->FPopupWindow) MenuClosed();
}

void TbsSkinMenuSpeedButton::MenuClosed() {
  FMenuTracked = false;
  FDown = false;
  FMouseIn = false;
  OnHideTrackMenu(this);
  if (!Destroyed()) Repaint();
}

void TbsSkinMenuSpeedButton::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (Button == cl::mbLeft) {
    FMenuTracked = InTrackArea(X, Y);
    FMouseIn = true;
    if (FMenuTracked) {
      if (!FDown) {
        FDown = true;
        Repaint();
      }
      TrackMenu();
      return;
    }
  }
  TbsSkinSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TbsSkinMenuSpeedButton::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (FMenuTracked) return;
  TbsSkinSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TbsSkinMenuSpeedButton::CMMouseEnter(cl::TMessage& Msg) {
  if (FMenuTracked) {
    FMouseIn = true;
    return;
  }
  TbsSkinSpeedButton::CMMouseEnter(Msg);
}

void TbsSkinMenuSpeedButton::CMMouseLeave(cl::TMessage& Msg) {
  if (FMenuTracked) {
    FMouseIn = false;
    return;
  }
  TbsSkinSpeedButton::CMMouseLeave(Msg);
}

void TbsSkinMenuSpeedButton::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == WM_CLOSE_SKIN_MENU) {
    // Only the close of a menu this button opened releases it.
    if (FMenuTracked) MenuClosed();
    return;
  }
  TbsSkinSpeedButton::Dispatch(Msg);
}

// ---------------------------------------------------------------------------- painting

void TbsSkinMenuSpeedButton::DrawArrow(gfx::TCanvas* C, TRect R, TColor Color, bool Active) {
  if (FDrawStandardArrow) {
    DrawArrowGlyph(C, R, Color, FArrowType);
  } else if (FIndex != -1 && !IsNullRect(S.MenuMarkerRect)) {
    DrawMenuMarker(C, R, Active, false, false);
  } else {
    DrawTrackArrowGlyph(C, R, FMenuTracked && FIndex != -1 ? S.DownFontColor : Color);
  }
}

void TbsSkinMenuSpeedButton::RecordImage(gfx::TBitmap* Target, int X, int Y, int W, int H,
                                         TbsDataSkinButtonControl* Rec, int State, bool ByClRect) {
  gfx::TBitmap* P = Rec ? SkinPicture(FSD, Rec->PictureIndex) : nullptr;
  if (!P || W <= 0 || H <= 0) return;
  TRect active = IsNullRect(Rec->ActiveSkinRect) ? Rec->SkinRect : Rec->ActiveSkinRect;
  TRect down = IsNullRect(Rec->DownSkinRect) ? active : Rec->DownSkinRect;
  TRect src = State == 2 ? down : (State == 1 ? active : Rec->SkinRect);
  gfx::TBitmap B;
  B.SetSize(W, H);
  if (ByClRect) {
    CreateSkinImageByClRect(&B, {P, src}, Rec->ClRect, true);
  } else {
    int dW = W - RectWidth(Rec->SkinRect), dH = H - RectHeight(Rec->SkinRect);
    TbsNinePart Src{Rec->LTPoint, Rec->RTPoint, Rec->LBPoint, Rec->RBPoint, Rec->ClRect};
    TbsNinePart New{Rec->LTPoint,
                    {Rec->RTPoint.X + dW, Rec->RTPoint.Y},
                    {Rec->LBPoint.X, Rec->LBPoint.Y + dH},
                    {Rec->RBPoint.X + dW, Rec->RBPoint.Y + dH},
                    {Rec->ClRect.Left, Rec->ClRect.Top, Rec->ClRect.Right + dW, Rec->ClRect.Bottom + dH}};
    TbsNinePartStretch St{Rec->LeftStretch,   Rec->TopStretch,    Rec->RightStretch,
                          Rec->BottomStretch, Rec->StretchEffect, Rec->StretchType};
    CreateSkinImage(Src, New, &B, {P, src}, W, H, true, St);
  }
  Target->Canvas()->Draw(X, Y, &B);
}

void TbsSkinMenuSpeedButton::CreateStateImage(gfx::TBitmap* B, const TRect& R, bool ADown, bool AMouseIn) {
  const std::string& n = FSkinDataName;
  int style = 4;
  if (FNewStyle && n == "resizetoolbutton")
    style = 1;
  else if (n == "toolbutton" || n == "bigtoolbutton")
    style = 2;
  else if (n == "resizebutton" || n == "resizetoolbutton")
    style = 3;
  int W = B->Width(), H = B->Height();
  bool pressed = ADown && AMouseIn;
  gfx::TCanvas* C = B->Canvas();
  if (style == 4) {
    if (FMenuTracked && FTrackButtonMode && !IsNullRect(TrackButtonRect) && !IsNullRect(S.DownSkinRect)) {
      TbsSkinSpeedButton::CreateStateImage(B, S.ActiveSkinRect, false, true);
      TRect src = Moved(TrackButtonRect, S.DownSkinRect.Left, S.DownSkinRect.Top);
      if (Picture) C->CopyRect(GetTrackRect(), Picture->Canvas(), src);
      return;
    }
    TbsSkinSpeedButton::CreateStateImage(B, R, ADown, AMouseIn);
    return;
  }
  bool bottom = style == 1 && FTrackPosition == bstpBottom;
  TRect strip = bottom ? TRect{0, H - kStrip, W, H} : TRect{W - kStrip, 0, W, H};
  TRect content = bottom ? TRect{0, 0, W, H - kStrip} : TRect{0, 0, W - kStrip, H};
  if (style == 1) {
    auto* rec = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex("resizetoolbutton")));
    if (!rec) rec = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex("resizebutton")));
    if (!rec) return;
    bool split = FTrackButtonMode && AMouseIn;
    TbsDataSkinButtonControl* stripRec = nullptr;
    if (split)
      stripRec = dynamic_cast<TbsDataSkinButtonControl*>(
          SkinRecord(FSD, FSD->GetControlIndex(bottom ? "htracktoolbutton" : "vtracktoolbutton")));
    int state = (pressed && !(FTrackButtonMode && FMenuTracked)) ? 2 : (AMouseIn ? 1 : 0);
    if (split && !stripRec)
      RecordImage(B, 0, 0, RectWidth(content), RectHeight(content), rec, state, false);
    else
      RecordImage(B, 0, 0, W, H, rec, state, false);
    if (split)
      RecordImage(B, strip.Left, strip.Top, RectWidth(strip), RectHeight(strip), stripRec ? stripRec : rec,
                  FMenuTracked ? 2 : 1, false);
  } else {
    auto* rec = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FIndex));
    bool byCl = style == 2;
    auto draw = [&](const TRect& T, int state) {
      RecordImage(B, T.Left, T.Top, RectWidth(T), RectHeight(T), rec, state, byCl);
    };
    if (FTrackButtonMode) {
      if (FMenuTracked) {
        draw(content, 1);
        draw(strip, 2);
      } else if (pressed) {
        draw(content, 2);
        draw(strip, 2);
      } else if (AMouseIn) {
        draw(content, 1);
        draw(strip, 1);
      } else if (!FFlat) {
        draw(content, 0);
        draw(strip, 0);
      }
    } else {
      TRect all{0, 0, W, H};
      if (pressed)
        draw(all, 2);
      else if (AMouseIn)
        draw(all, 1);
      else if (!FFlat)
        draw(all, 0);
    }
  }
  SetContentFont(C, ADown, AMouseIn);
  ApplySkinCharset(C->Font(), FSD);
  bool DrawDefault = true;
  OnPaint(this, C, content, ADown, AMouseIn, DrawDefault);
  if (DrawDefault) DrawContent(C, content, ADown, AMouseIn, pressed);
  TRect a = strip;
  if (style == 1) {
    if (pressed && (!FTrackButtonMode || FMenuTracked)) a = Moved(a, 1, 1);
  } else if (pressed || FMenuTracked) {
    a = Moved(a, W - 13 - a.Left, 2 - a.Top);
  }
  DrawArrow(C, a, C->Font()->Color(), pressed || FMenuTracked);
}

void TbsSkinMenuSpeedButton::CreateControlDefaultImage(gfx::TBitmap* B) {
  gfx::TCanvas* C = B->Canvas();
  int W = B->Width(), H = B->Height();
  bool pressed = PressedLook();
  bool hot = FMouseIn;
  bool bottom = FNewStyle && FTrackPosition == bstpBottom;
  TRect strip = bottom ? TRect{0, H - kStrip, W, H} : TRect{W - kStrip, 0, W, H};
  TRect part = bottom ? TRect{0, 0, W, H - kStrip} : TRect{0, 0, W - kStrip, H};
  TRect all{0, 0, W, H};
  auto whole = [&]() {
    if (pressed)
      Face(C, all, bsHotFrameColor, bsDownFillColor);
    else if (hot)
      Face(C, all, bsHotFrameColor, bsHotFillColor);
    else if (FFlat) {
      if (!Transparent()) {
        C->Brush()->SetStyle(gfx::bsSolid);
        C->Brush()->SetColor(gfx::clBtnFace);
        C->FillRect(all);
      }
    } else {
      Face(C, all, gfx::clBtnShadow, gfx::clBtnFace);
    }
  };
  if (!FNewStyle && FTrackButtonMode) {
    if (FMenuTracked) {
      Face(C, part, bsHotFrameColor, bsHotFillColor);
      Face(C, strip, bsHotFrameColor, bsDownFillColor);
    } else if (pressed) {
      Face(C, part, bsHotFrameColor, bsDownFillColor);
      Face(C, strip, bsHotFrameColor, bsDownFillColor);
    } else if (hot) {
      Face(C, part, bsHotFrameColor, bsHotFillColor);
      Face(C, strip, bsHotFrameColor, bsHotFillColor);
    } else if (FFlat) {
      if (!Transparent()) {
        C->Brush()->SetStyle(gfx::bsSolid);
        C->Brush()->SetColor(gfx::clBtnFace);
        C->FillRect(all);
      }
    } else {
      Face(C, part, gfx::clBtnShadow, gfx::clBtnFace);
      Face(C, strip, gfx::clBtnShadow, gfx::clBtnFace);
    }
  } else if (FNewStyle && FTrackButtonMode && hot) {
    if (FMenuTracked) {
      Face(C, part, bsHotFrameColor, bsHotFillColor);
      Face(C, strip, bsHotFrameColor, bsDownFillColor);
    } else if (pressed) {
      Face(C, part, bsHotFrameColor, bsDownFillColor);
      Face(C, strip, bsHotFrameColor, bsHotFillColor);
    } else {
      Face(C, part, bsHotFrameColor, bsHotFillColor);
      Face(C, strip, bsHotFrameColor, bsHotFillColor);
    }
  } else {
    whole();
  }
  C->Font()->Assign(FDefaultFont);
  ApplySkinCharset(C->Font(), FSD);
  if (!Enabled()) C->Font()->SetColor(gfx::clBtnShadow);
  bool DrawDefault = true;
  OnPaint(this, C, part, FDown, FMouseIn, DrawDefault);
  if (DrawDefault) DrawContent(C, part, FDown, FMouseIn, pressed);
  TRect a = strip;
  if (!FNewStyle) {
    if (pressed || FMenuTracked) a = Moved(a, W - 13 - a.Left, 2 - a.Top);
  } else if (pressed && (!FTrackButtonMode || FMenuTracked)) {
    a = Moved(a, 2, 2);
  }
  if (FDrawStandardArrow)
    DrawArrowGlyph(C, a, gfx::clBtnText, FArrowType);
  else
    DrawTrackArrowGlyph(C, a, gfx::clBtnText);
}

void TbsSkinMenuSpeedButton::Paint() {
  GetSkinData();
  if (Width() < 1 || Height() < 1) return;
  if (FMouseIn || FDown || FMenuTracked || !Transparent()) {
    TbsSkinSpeedButton::Paint();
    return;
  }
  // A transparent idle button: content and arrow straight over the parent.
  gfx::TCanvas* C = Canvas();
  int W = Width(), H = Height();
  bool skinned = FIndex != -1;
  bool bottom = FNewStyle && FTrackPosition == bstpBottom;
  TRect content;
  if (skinned && !StandardName()) {
    int w = W, h = H;
    CalcSize(w, h);
    content = G.NewClRect;
  } else {
    content = bottom ? TRect{0, 0, W, H - kStrip} : TRect{0, 0, W - kStrip, H};
  }
  if (FUseSkinFont && skinned) {
    C->Font()->SetName(S.FontName);
    C->Font()->SetStyle(S.FontStyle);
    C->Font()->SetHeight(S.FontHeight);
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  if (skinned) {
    if (!Enabled())
      C->Font()->SetColor(FSD->SkinColors().cBtnShadow());
    else if (FUseSkinFontColor)
      C->Font()->SetColor(FSD->SkinColors().cBtnText());
    else
      C->Font()->SetColor(FDefaultFont.Color());
  }
  ApplySkinCharset(C->Font(), FSD);
  if (!Enabled()) C->Font()->SetColor(gfx::clBtnShadow);
  bool DrawDefault = true;
  OnPaint(this, C, content, false, false, DrawDefault);
  if (DrawDefault) DrawContent(C, content, false, false, false);
  TRect a;
  if (skinned && !StandardName())
    a = {content.Right, 0, W, H};
  else
    a = bottom ? TRect{0, H - kStrip, W, H} : TRect{W - kStrip, 0, W, H};
  if (skinned && !IsNullRect(S.MenuMarkerFlatRect)) {
    if (G.ResizeMode != 1) a = Moved(a, -2, 0);
    DrawMenuMarker(C, a, false, false, true);
  } else if (!skinned) {
    DrawTrackArrowGlyph(C, a, gfx::clBtnText);
  } else {
    if (G.ResizeMode != 1) a = Moved(a, -2, 0);
    DrawTrackArrowGlyph(C, a, FSD->SkinColors().cBtnText());
  }
}

}  // namespace skin
