#pragma once
// The edit and the memo over the standard "EDIT" window class. The window keeps the text, the
// caret, the selection and the undo state; these classes turn properties into styles and
// messages, answer the colour question the edit asks its parent, and report changes as OnChange.
// Positions and lengths (SelStart, SelLength, MaxLength) count code points.
#include <functional>
#include <memory>
#include <string>

#include "base/StringList.h"
#include "classlib/Controls.h"
#include "platform/StdControls.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  int32_t MaxLength() const { return FMaxLength; }
  void SetMaxLength(int32_t Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // A code point shown for every character; 0 shows the text.
  uint32_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(uint32_t Value);
  bool Modified();
  void SetModified(bool Value);

  int32_t SelStart();
  void SetSelStart(int32_t Value);
  int32_t SelLength();
  void SetSelLength(int32_t Value);
  std::string SelText();
  void SetSelText(const std::string& Value);

  bool CanUndo();
  void Undo();
  void ClearUndo();
  void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void SelectAll();

  std::string GetText() override;
  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void PaintWindow(win::HDC DC) override;
  void DoEnter() override;
  virtual void Change();
  // Applies the font and the settings kept as messages to the window.
  void SendSettings();

  TAlignment FAlignment = taLeftJustify;
  bool FAutoSelect = true;
  TBorderStyle FBorderStyle = bsSingle;
  TEditCharCase FCharCase = ecNormal;
  bool FHideSelection = true;
  int32_t FMaxLength = 0;
  bool FReadOnly = false;
  uint32_t FPasswordChar = 0;
  bool FModified = false;
  bool FCreating = false;
};

class TEdit : public TCustomEdit {
public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// The edit a list or tree item's label is edited in: it takes Enter (keep the text) and Escape
// (drop it) for itself and keeps the text when it loses the focus; OnFinish hears which. It stays
// allocated and hidden between edits, so ending an edit never frees the window whose handler is
// running.
class TLabelEditor : public TEdit {
public:
  explicit TLabelEditor(TComponent* AOwner) : TEdit(AOwner) {}
  std::function<void(bool AAccept)> OnFinish;
  void Dispatch(TMessage& Message) override;

protected:
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  void KeyPress(uint32_t& Key) override;

private:
  void Finish(bool AAccept) {
    if (OnFinish) OnFinish(AAccept);
  }
};

// An edit with an input mask. No form of the program sets a mask, so EditMask is only kept
// (for the descriptions that publish it) and the edit behaves as a plain one.
class TCustomMaskEdit : public TCustomEdit {
public:
  explicit TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& Value) { FEditMask = Value; }

private:
  std::string FEditMask;
};

class TMaskEdit : public TCustomMaskEdit {
public:
  explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};

class TCustomMemo;

// The lines of a memo as the window shows them: with WordWrap a long line counts as the
// lines it wraps into. A trailing line break ends the last line rather than opening an empty one.
class TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
  int32_t Count() const override;
  std::string Get(int32_t Index) const override;
  void Put(int32_t Index, const std::string& S) override;
  void Insert(int32_t Index, const std::string& S) override;
  void Delete(int32_t Index) override;
  void Clear() override;
  // Appends at the end without reading the text back, so a log of many lines stays fast.
  int32_t AddObject(const std::string& S, TObject* AObject) override;
  int32_t Add(const std::string& S) override { return AddObject(S, nullptr); }

private:
  // The first code point of a line, and its length in code points.
  size_t LineStart(int32_t Index) const;
  size_t LineLength(size_t Start) const;
  TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TStrings* Lines() { return FLines.get(); }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;

private:
  friend class TMemoStrings;
  std::unique_ptr<TMemoStrings> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true, FWantReturns = true, FWantTabs = false;
};

class TMemo : public TCustomMemo {
public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};
