#pragma once
// Labels that take their font from the skin's "stdlabel" record and fall back to their own
// fonts while no skin is loaded: a standard label with an ellipsis style, a multi-line text label
// whose text is a string list, and a hyperlink label that opens its URL with the desktop's
// handler. None is windowed and none derives from the skinned-control bases: each holds its skin
// through the skin binding.
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

// What the three labels share: the skin binding with their rule (any skin data given re-skins,
// empty or not), the lookup of their "stdlabel" record with its values, and the font they take
// without a skin or with UseSkinFont off.
class TkxSkinLabelBinding : public TkxSkinBinding {
public:
  TkxSkinLabelBinding(TComponent* Host, bool Underline);
  ~TkxSkinLabelBinding() override;

  void SetSkinData(TkxSkinData* Value) override;
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }

  // The record index (-1: no skin) and the skin values, looked up anew.
  void GetSkinData();
  int32_t Index() const { return FIndex; }

protected:
  // The font a label draws with: the default font (OwnFont with UseSkinFont off) with the record's
  // face over it, the record's colour when skinned (OwnFont's with UseSkinColor off), and the
  // skin's character set.
  void LabelFont(TFont& F, TFont* OwnFont, bool UseSkinColor) const;

  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  TkxLabelSkinValues FValues;
};

class TkxSkinStdLabel : public TCustomLabel, public TkxSkinLabelBinding {
public:
  explicit TkxSkinStdLabel(TComponent* AOwner);
  ~TkxSkinStdLabel() override;

  TkxEllipsType EllipsType() const { return FEllipsType; }
  void SetEllipsType(TkxEllipsType Value);
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }

  const TkxLabelSkinValues& SkinValues() const { return FValues; }
  // Looks up the record again, resizes to the new font when auto-sized and repaints.
  void ChangeSkinData() override;
  // Draws the label with the text AText into C with its top-left at (X, Y).
  void PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, const std::string& AText);

protected:
  void DoDrawText(TRect& Rect, win::UINT Flags) override;

private:
  void DrawLabelText(TCanvas* C, const std::string& Text, TRect& Rect, win::UINT Flags);

  TkxEllipsType FEllipsType = kxetNone;
  bool FUseSkinColor = true;
};

class TkxSkinTextLabel : public TGraphicControl, public TkxSkinLabelBinding {
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
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }

  void ChangeSkinData() override;
  // Every line followed by a line break.
  virtual std::string GetLabelText();

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
  bool FUseSkinColor = true;
};

class TkxSkinLinkLabel : public TCustomLabel, public TkxSkinLabelBinding {
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

  bool MouseIn() const { return FMouseIn; }
  // Looks up the record again and repaints; the size stays.
  void ChangeSkinData() override;
  // OnClick, then the URL (when there is one) opened with the desktop's handler.
  void Click() override;

  void Dispatch(TMessage& Message) override;

protected:
  void DoDrawText(TRect& Rect, win::UINT Flags) override;

private:
  std::string FURL;
  bool FUseUnderLine = true, FGlowEffect = false;
  int32_t FGlowSize = 7;
  TColor FDefaultActiveFontColor = clBlue;
  bool FMouseIn = false;
};

// Makes the three labels readable from form descriptions.
void RegisterSkinLabelFormClasses();
