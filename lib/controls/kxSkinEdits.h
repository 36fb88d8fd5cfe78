#pragma once
// The skin library's edits: the inner edit (a borderless one-line edit with its own read-only
// lock, Enter and Escape handed to the form, and a context menu of the usual edit commands), the
// numeric inner edit that filters what is typed and turns Up, Down and the wheel into steps, and
// the skinned edit that paints its frame, an optional edit button and two optional image buttons
// in its non-client area from the "edit" or "buttonedit" skin record.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "classlib/EditCtrls.h"
#include "classlib/Graphics.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/controls/kxSkinMenuSeam.h"

class TCustomImageList;
class TPopupMenu;
class TkxSkinData;
class TkxResourceStrData;


// Hit codes of the image buttons inside the text area.
constexpr win::LRESULT kxHitLeftImageButton = 104, kxHitRightImageButton = 105;

// A small button drawn inside a skinned control.
struct TkxCBButtonX {
  TRect R{};
  bool MouseIn = false;
  bool Down = false;
};

using TkxOnEditCancelMode = std::function<void(TControl* C)>;

// Whether the numeric edit takes the typed character C with Text already in it. Without AFloat:
// "-", digits and control characters other than Enter; with it also the decimal separator.
// Without EditorEnabled only control characters other than Backspace pass. A second separator
// or a second "-" is refused.
bool kxNumEditAccepts(const std::string& Text, char32_t C, bool AFloat, bool EditorEnabled);
// The decimal separator of the process's numeric conventions (".": LC_NUMERIC stays "C").
char32_t kxDecimalSeparator();

class TkxCustomEdit : public TCustomMaskEdit {
public:
  explicit TkxCustomEdit(TComponent* AOwner);
  ~TkxCustomEdit() override;

  bool EditTransparent() const { return FEditTransparent; }
  void SetEditTransparent(bool Value);
  // ReadOnly is the edit's own lock: the window stays writable, and typing, Delete, cut, paste,
  // clear and undo are refused here.

  void Invalidate() override;
  void Dispatch(TMessage& Message) override;

  // The context menu of the last right click (a skinned popup menu when the forms layer is
  // linked), or nullptr; owned by the edit.
  TPopupMenu* SysPopupMenu() const { return FSysPopupMenu; }
  // Builds the context menu for the present state (freeing the previous one) and returns it.
  TPopupMenu* BuildSysPopupMenu();

  TkxOnEditCancelMode OnEditCancelMode;
  TNotifyEvent OnUp, OnDown;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Change() override;
  // Repaints after a change when the text is drawn over the parent's background.
  void RepaintTransparent() {
    if (FEditTransparent) Invalidate();
  }
  // The strings of the context menu; nullptr gives the built-in texts.
  virtual TkxResourceStrData* MenuStrings() { return nullptr; }
  // Where the context menu pops from the keyboard: the edit's centre on the screen.
  TPoint ContextMenuCentre();
  void FreeSysPopupMenu();

  bool FEditTransparent = false;
  bool FDown = false;
  TPopupMenu* FSysPopupMenu = nullptr;

private:
  // KXM_MENUCOMMAND with this WParam: the edit's own retry to free the menu named by LParam.
  static constexpr win::WPARAM kRetryFree = 1;
  void ContextMenu(TMessage& Message);
  void MenuCommand(TMessage& Message);
  void DialogChar(TMessage& Message);
};

class TkxSkinNumEdit : public TkxCustomEdit {
public:
  explicit TkxSkinNumEdit(TComponent* AOwner) : TkxCustomEdit(AOwner) {}

  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnUpClick, OnDownClick;
  TNotifyEvent OnMouseEnter, OnMouseLeave;
  bool Float = false;

protected:
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  void KeyPress(uint32_t& Key) override;

private:
  bool FEditorEnabled = true;
};

class TkxSkinCustomEdit : public TkxCustomEdit, public TkxSkinBinding {
public:
  explicit TkxSkinCustomEdit(TComponent* AOwner);
  ~TkxSkinCustomEdit() override;

  bool ButtonMode() const { return FButtonMode; }
  void SetButtonMode(bool Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  int32_t DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int32_t Value);
  int32_t DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int32_t Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int32_t LeftImageIndex() const { return FLeftImageIndex; }
  void SetLeftImageIndex(int32_t Value);
  int32_t RightImageIndex() const { return FRightImageIndex; }
  void SetRightImageIndex(int32_t Value);
  int32_t LeftImageHotIndex() const { return FLeftImageHotIndex; }
  void SetLeftImageHotIndex(int32_t Value) { FLeftImageHotIndex = Value; }
  int32_t LeftImageDownIndex() const { return FLeftImageDownIndex; }
  void SetLeftImageDownIndex(int32_t Value) { FLeftImageDownIndex = Value; }
  int32_t RightImageHotIndex() const { return FRightImageHotIndex; }
  void SetRightImageHotIndex(int32_t Value) { FRightImageHotIndex = Value; }
  int32_t RightImageDownIndex() const { return FRightImageDownIndex; }
  void SetRightImageDownIndex(int32_t Value) { FRightImageDownIndex = Value; }

  TNotifyEvent OnButtonClick, OnLeftButtonClick, OnRightButtonClick;
  TNotifyEvent OnMouseEnter, OnMouseLeave;

  // The record index (-1: the plain look) and the record's values, looked up anew.
  void GetSkinData();
  void ChangeSkinData() override;
  // Draws the whole edit showing AText onto C at (X, Y).
  void PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, const std::string& AText);

  // Window coordinates: the text area and the edit button; client coordinates: the image buttons.
  TRect EditRect() { return FEditRect; }
  TRect ButtonRect() { return FButtonRect; }
  const TkxCBButtonX& LeftButton() const { return FLeftButton; }
  const TkxCBButtonX& RightButton() const { return FRightButton; }
  bool ButtonDown() const { return FButtonDown; }
  bool ButtonActive() const { return FButtonActive; }
  bool MouseIn() const { return FMouseIn; }

  void Invalidate() override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  TkxResourceStrData* MenuStrings() override;

  // Fields copied from the record.
  TBitmap* Picture = nullptr;  // not owned
  TRect SkinRect{}, ActiveSkinRect{}, ClRect{};
  int32_t LOffset = 0, ROffset = 0;
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = clBlack, DisabledFontColor = clGray, ActiveFontColor = clBlack;
  TRect FSkinButtonRect{}, ActiveButtonRect{}, DownButtonRect{}, UnEnabledButtonRect{};
  bool StretchEffect = false;

private:
  bool Skinned() const { return FIndex >= 0 && Picture; }
  bool Hot();
  void CalcRects();
  int32_t FontBasedHeight();
  void ApplyFontHeight();
  void LayoutImageButtons(bool SetFormatRect = true);
  void FrameRedraw();
  void PaintFrame(win::HDC DC, bool ExcludeText);
  void DrawFrame(TBitmap* B, bool Hot);
  void DrawEditButton(TBitmap* B);
  void DrawClient(win::HDC DC);
  void DrawImageButtons(TCanvas* C, int32_t DX, int32_t DY);
  void DrawDisabledText(win::HDC DC);
  void SetHoverColor(TColor C);
  void DefaultFontChange(TObject* Sender);
  void ReleaseEditButton();
  void NCHitTest(TMessage& Message);
  bool NCMouse(TMessage& Message);
  void MouseEnter();
  void MouseLeave();

  bool FButtonMode = false, FUseSkinFont = true;
  TColor FDefaultColor = clWindow;
  std::unique_ptr<TFont> FDefaultFont;
  int32_t FDefaultWidth = 0, FDefaultHeight = 0;
  TkxComponentLink<TCustomImageList> FImages{[this] { LayoutImageButtons(); }};
  int32_t FLeftImageIndex = -1, FRightImageIndex = -1;
  int32_t FLeftImageHotIndex = -1, FLeftImageDownIndex = -1, FRightImageHotIndex = -1, FRightImageDownIndex = -1;
  TRect FEditRect{}, FButtonRect{};
  bool FButtonDown = false, FButtonActive = false, FMouseIn = false, FStopDraw = false;
  TkxCBButtonX FLeftButton, FRightButton;
  bool FInSetBounds = false;
};

class TkxSkinEdit : public TkxSkinCustomEdit {
public:
  explicit TkxSkinEdit(TComponent* AOwner) : TkxSkinCustomEdit(AOwner) {}
};

// Registers the edits with the form reader.
void RegisterSkinEditFormClasses();
