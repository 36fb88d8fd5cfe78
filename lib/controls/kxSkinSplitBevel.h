#pragma once
// The skinned splitter and bevel: the class library's splitter drawn from the "vsplitter" or
// "hsplitter" record (a bar resized along its length with a gripper in its middle), and the
// bevel whose two line colours come from the "bevel" record.
#include <string>

#include "classlib/ExtCtrls.h"
#include "lib/skin/kxSkinData.h"
#include "lib/controls/kxSkinCtrls.h"

class TkxSkinSplitter : public TSplitter, public TkxSkinClient {
public:
  explicit TkxSkinSplitter(TComponent* AOwner);
  ~TkxSkinSplitter() override;

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  int32_t DefaultSize() const { return FDefaultSize; }
  void SetDefaultSize(int32_t Value) { FDefaultSize = Value; }
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
  TkxSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TkxSkinData* Value);

  // Reads the record again and takes its thickness (DefaultSize without one or when transparent).
  void ChangeSkinData() override;
  TkxSkinData* ClientSkinData() const override { return SkinData(); }
  // The record index of the last lookup, -1 for the plain look.
  int32_t SkinIndex() const { return FIndex; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void RequestAlign() override;
  void Paint() override;

private:
  void GetSkinData();
  bool Horizontal() const { return FAlign == alTop || FAlign == alBottom; }

  bool FTransparent = false;
  int32_t FDefaultSize = 10;
  std::string FSkinDataName = "vsplitter";
  TkxSkinData* FSkinData = nullptr;
  int32_t FIndex = -1;
  TBitmap* FSkinPicture = nullptr;  // the skin's, never owned
  TPoint LTPt{}, RTPt{}, LBPt{};
  TRect SkinRect{};
  bool StretchEffect = false;
  TRect GripperRect{};
  bool GripperTransparent = false;
  TColor GripperTransparentColor = clNone;
};

class TkxSkinBevel : public TBevel, public TkxSkinClient {
public:
  explicit TkxSkinBevel(TComponent* AOwner);
  ~TkxSkinBevel() override;

  TkxSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TkxSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
  // One divider line through the middle instead of the shape's own lines.
  bool DividerMode() const { return FDividerMode; }
  void SetDividerMode(bool Value);

  // Takes the line colours from the record, or the system colours without one.
  void ChangeSkinData() override;
  TkxSkinData* ClientSkinData() const override { return SkinData(); }
  int32_t SkinIndex() const { return FIndex; }

  TColor LightColor = clBtnHighlight;
  TColor DarkColor = clBtnShadow;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;

private:
  TkxSkinData* FSkinData = nullptr;
  std::string FSkinDataName = "bevel";
  bool FDividerMode = false;
  int32_t FIndex = -1;
};

// Form streaming of both classes.
void RegisterSkinSplitBevelFormClasses();
