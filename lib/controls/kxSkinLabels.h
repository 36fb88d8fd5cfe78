#pragma once
// Labels that take their font from the skin's "stdlabel" record and fall back to their own
// fonts while no skin is loaded: a standard label with an ellipsis style, a multi-line text label
// whose text is a string list, and a hyperlink label that opens its URL with the desktop's
// handler. None is windowed and none derives from the skinned-control bases: each keeps its own
// skin reference and record index.
#include <cstdint>
#include <memory>
#include <string>

#include "base/StringList.h"
#include "classlib/StdCtrls.h"
#include "lib/controls/kxSkinCtrls.h"

class TkxSkinData;

enum TkxEllipsType { kxetNone = 0, kxetEndEllips = 1, kxetPathEllips = 2 };

// The skin values a label reads from a "stdlabel" record; with another record they stay as they were.
struct TkxLabelSkinValues {
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0;
};

class TkxSkinStdLabel : public TCustomLabel, public TkxSkinClient {
public:
  explicit TkxSkinStdLabel(TComponent* AOwner);
  ~TkxSkinStdLabel() override;

  TkxEllipsType EllipsType() const { return FEllipsType; }
  void SetEllipsType(TkxEllipsType Value);
  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }

  // The record index (-1: no skin) and the skin values, looked up anew.
  void GetSkinData();
  int32_t Index() const { return FIndex; }
  const TkxLabelSkinValues& SkinValues() const { return FValues; }
  // Looks up the record again, resizes to the new font when auto-sized and repaints.
  void ChangeSkinData() override;
  TkxSkinData* ClientSkinData() const override { return SkinData(); }
  // Draws the label with the text AText into C with its top-left at (X, Y).
  void PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, const std::string& AText);

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void DoDrawText(TRect& Rect, win::UINT Flags) override;

private:
  void DrawLabelText(TCanvas* C, const std::string& Text, TRect& Rect, win::UINT Flags);

  TkxEllipsType FEllipsType = kxetNone;
  TkxSkinData* FSD = nullptr;
  std::string FSkinDataName = "stdlabel";
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true, FUseSkinColor = true;
  int32_t FIndex = -1;
  TkxLabelSkinValues FValues;
};

class TkxSkinTextLabel : public TGraphicControl, public TkxSkinClient {
public:
  explicit TkxSkinTextLabel(TComponent* AOwner);
  ~TkxSkinTextLabel() override;

  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  void SetAutoSize(bool Value) override;
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }

  void GetSkinData();
  int32_t Index() const { return FIndex; }
  void ChangeSkinData() override;
  TkxSkinData* ClientSkinData() const override { return SkinData(); }
  // Every line followed by a line break.
  virtual std::string GetLabelText();

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void AdjustBounds();

private:
  void LinesChanged(TObject* Sender);

  std::unique_ptr<TStringList> FLines;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  TkxSkinData* FSD = nullptr;
  std::string FSkinDataName = "stdlabel";
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true, FUseSkinColor = true;
  int32_t FIndex = -1;
  TkxLabelSkinValues FValues;
};

class TkxSkinLinkLabel : public TCustomLabel, public TkxSkinClient {
public:
  explicit TkxSkinLinkLabel(TComponent* AOwner);
  ~TkxSkinLinkLabel() override;

  const std::string& URL() const { return FURL; }
  void SetURL(const std::string& Value) { FURL = Value; }
  bool UseUnderLine() const { return FUseUnderLine; }
  void SetUseUnderLine(bool Value);
  bool GlowEffect() const { return FGlowEffect; }
  void SetGlowEffect(bool Value) { FGlowEffect = Value; }
  int32_t GlowSize() const { return FGlowSize; }
  void SetGlowSize(int32_t Value) { FGlowSize = Value; }
  TColor DefaultActiveFontColor() const { return FDefaultActiveFontColor; }
  void SetDefaultActiveFontColor(TColor Value) { FDefaultActiveFontColor = Value; }
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }

  int32_t Index() const { return FIndex; }
  bool MouseIn() const { return FMouseIn; }
  // Looks up the record again and repaints; the size stays.
  void ChangeSkinData() override;
  TkxSkinData* ClientSkinData() const override { return SkinData(); }
  // OnClick, then the URL (when there is one) opened with the desktop's handler.
  void Click() override;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

protected:
  void DoDrawText(TRect& Rect, win::UINT Flags) override;

private:
  void GetSkinData();

  std::string FURL;
  bool FUseUnderLine = true, FGlowEffect = false;
  int32_t FGlowSize = 7;
  TColor FDefaultActiveFontColor = clBlue;
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  TkxSkinData* FSD = nullptr;
  std::string FSkinDataName = "stdlabel";
  int32_t FIndex = -1;
  TkxLabelSkinValues FValues;
  bool FMouseIn = false;
};

// Makes the three labels readable from form descriptions.
void RegisterSkinLabelFormClasses();
