// The program's forms are built in code: a control placed on its parent in
// one call, and the category and format choosers set up alike wherever a
// form shows them.
#pragma once
#include "platform/cl/imglist.h"
#include "skin/data/bsSkinData.h"
#include "skin/inputs/bsSkinOfficeCombo.h"

template <class T>
T* Place(cl::TComponent* owner, cl::TWinControl* parent, int x, int y, int w, int h) {
  T* c = new T(owner);
  c->SetBounds(x, y, w, h);
  c->SetParent(parent);
  return c;
}

// The category chooser: a tool-button face, four pictures a page, no titles.
inline void SetUpCategoryChooser(skin::TbsSkinOfficeComboBox* c, cl::TCustomImageList* images,
                                 skin::TbsSkinData* skinData) {
  c->SetToolButtonStyle(true);
  c->SetDropDownCount(4);
  c->SetListBoxItemHeight(50);
  c->ListBoxWidth = 119;
  c->SetListBoxShowItemTitles(false);
  c->SetListBoxSkinDataName("resizetoolpanel");
  c->SetImages(images);
  c->SetSkinData(skinData);
}

// The format chooser: titles over their descriptions, lines between rows.
inline void SetUpFormatChooser(skin::TbsSkinOfficeComboBox* c, int listWidth, cl::TCustomImageList* images,
                               skin::TbsSkinData* skinData) {
  c->SetToolButtonStyle(true);
  c->SetDropDownCount(4);
  c->SetListBoxItemHeight(60);
  c->ListBoxWidth = listWidth;
  c->SetListBoxShowItemTitles(true);
  c->SetListBoxShowLines(true);
  c->SetListBoxSkinDataName("listbox");
  c->SetImages(images);
  c->SetSkinData(skinData);
}
