// The skinned bevel (the class library's bevel drawn in the two colours of a
// bevel record, or as a short divider) and the skinned splitter (a strip
// image built from a splitter record with a gripper centred on it; dragging
// stays the class library's).
#pragma once

#include <string>

#include "platform/cl/extctrls.h"
#include "skin/controls/bsSkinControls.h"

namespace skin {

class TbsSkinBevel : public cl::TBevel, public TbsSkinChangeable {
 public:
  explicit TbsSkinBevel(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  // Stores the store and re-reads the colours, whatever the value.
  void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& V) { FSkinDataName = V; }
  bool DividerMode() const { return FDividerMode; }
  void SetDividerMode(bool Value);
  int SkinIndex() const { return FIndex; }
  TColor LightColor = gfx::clBtnHighlight, DarkColor = gfx::clBtnShadow;

  void ChangeSkinData() override;
  // Keeps the bevel centred on a centring parent (a skinned tool bar).
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Paint() override;
  std::string ClassName() const override { return "TbsSkinBevel"; }

  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName = "bevel";
  int FIndex = -1;
  bool FDividerMode = false;
};

class TbsSkinSplitter : public cl::TSplitter, public TbsSkinChangeable {
 public:
  explicit TbsSkinSplitter(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& V) { FSkinDataName = V; }
  // Transparent: nothing is painted and the parent shows through.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // The thickness without a skin record.
  int DefaultSize = 10;
  int SkinIndex() const { return FIndex; }

  void GetSkinData();
  // Re-reads the record and takes its thickness (the skin strip's, or
  // DefaultSize without a record or when transparent).
  void ChangeSkinData() override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Paint() override;
  std::string ClassName() const override { return "TbsSkinSplitter"; }

  bool FTransparent = false;
  int FIndex = -1;
  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName = "vsplitter";
  TPoint LTPt, RTPt, LBPt;
  TRect SkinRect;
  gfx::TBitmap* FSkinPicture = nullptr;
  bool StretchEffect = false;
  TRect GripperRect;
  bool GripperTransparent = false;
  TColor GripperTransparentColor = 0;
};

}  // namespace skin
