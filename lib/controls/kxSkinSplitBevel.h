#pragma once
// The skinned splitter and bevel: the class library's splitter drawn from the "vsplitter" or
// "hsplitter" record (a bar resized along its length with a gripper in its middle), and the
// bevel whose two line colours come from the "bevel" record.
#include <string>

#include "classlib/ExtCtrls.h"
#include "lib/skin/kxSkinData.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/graphics/kxPlainLook.h"

class TkxSkinSplitter : public TSplitter, public TkxSkinBinding {
public:
  explicit TkxSkinSplitter(TComponent* AOwner);
  ~TkxSkinSplitter() override;

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  int32_t DefaultSize() const { return FDefaultSize; }
  void SetDefaultSize(int32_t Value) { FDefaultSize = Value; }
  // Re-skins whenever the skin data changes, also to none.
  void SetSkinData(TkxSkinData* Value) override;

  // Reads the record again and takes its thickness (DefaultSize without one or when transparent).
  void ChangeSkinData() override;

protected:
  void SkinDataFreed() override { FSkinPicture = nullptr; }
  void RequestAlign() override;
  void Paint() override;

private:
  void GetSkinData();
  bool Horizontal() const { return FAlign == alTop || FAlign == alBottom; }

  bool FTransparent = false;
  int32_t FDefaultSize = 10;
  TBitmap* FSkinPicture = nullptr;  // the skin's, never owned
  TPoint LTPt{}, RTPt{}, LBPt{};
  TRect SkinRect{};
  bool StretchEffect = false;
  TRect GripperRect{};
  bool GripperTransparent = false;
  TColor GripperTransparentColor = clNone;
};

class TkxSkinBevel : public TBevel, public TkxSkinBinding {
public:
  explicit TkxSkinBevel(TComponent* AOwner);
  ~TkxSkinBevel() override;

  // Re-skins whenever the skin data changes, also to none.
  void SetSkinData(TkxSkinData* Value) override;
  // One divider line through the middle instead of the shape's own lines.
  bool DividerMode() const { return FDividerMode; }
  void SetDividerMode(bool Value);

  // Takes the line colours from the record, or the system colours without one.
  void ChangeSkinData() override;

  TColor LightColor = kxPlain.Highlight;
  TColor DarkColor = kxPlain.Shadow;

protected:
  void Paint() override;

private:
  bool FDividerMode = false;
};

// Form streaming of both classes.
void RegisterSkinSplitBevelFormClasses();
