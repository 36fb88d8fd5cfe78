// Published properties and events of the controls and forms. A control nested inside another
// block of a description is placed in it when that block is a windowed control.
#include "classlib/ActnList.h"
#include "classlib/Controls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "classlib/streaming/Registrations.h"

namespace {

constexpr std::initializer_list<std::pair<const char*, int64_t>> kCursorIdents = {
    {"crDefault", crDefault},   {"crNone", crNone},         {"crArrow", crArrow},
    {"crCross", crCross},       {"crIBeam", crIBeam},       {"crSize", crSize},
    {"crSizeNESW", crSizeNESW}, {"crSizeNS", crSizeNS},     {"crSizeNWSE", crSizeNWSE},
    {"crSizeWE", crSizeWE},     {"crUpArrow", crUpArrow},   {"crHourGlass", crHourGlass},
    {"crDrag", crDrag},         {"crNoDrop", crNoDrop},     {"crHSplit", crHSplit},
    {"crVSplit", crVSplit},     {"crMultiDrag", crMultiDrag}, {"crSQLWait", crSQLWait},
    {"crNo", crNo},             {"crAppStart", crAppStart}, {"crHelp", crHelp},
    {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll}};

constexpr std::initializer_list<std::pair<const char*, TAlignment>> kAlignments = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
// Check boxes and radio buttons put their text on one side of the box only.
constexpr std::initializer_list<std::pair<const char*, TAlignment>> kSideAlignments = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}};

void RegisterStandardControls() {
  RegisterFormClass<TCustomLabel, TGraphicControl>("TCustomLabel")
      .Enum<TAlignment>("Alignment", &TCustomLabel::SetAlignment, kAlignments)
      .Enum<TTextLayout>("Layout", &TCustomLabel::SetLayout,
                         {{"tlTop", tlTop}, {"tlCenter", tlCenter}, {"tlBottom", tlBottom}})
      .Boolean("WordWrap", &TCustomLabel::SetWordWrap)
      .Boolean("ShowAccelChar", &TCustomLabel::SetShowAccelChar)
      .Boolean("Transparent", &TCustomLabel::SetTransparent)
      .Reference<TWinControl>("FocusControl", &TCustomLabel::SetFocusControl);
  RegisterFormClass<TLabel, TCustomLabel>("TLabel");

  RegisterFormClass<TButtonControl, TCustomControl>("TButtonControl");
  RegisterFormClass<TButton, TButtonControl>("TButton")
      .Boolean("Default", &TButton::SetDefault)
      .Boolean("Cancel", &TButton::SetCancel)
      .Integer("ModalResult", &TButton::SetModalResult,
               {{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}, {"mrAbort", mrAbort},
                {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore}, {"mrYes", mrYes}, {"mrNo", mrNo}, {"mrAll", mrAll},
                {"mrNoToAll", mrNoToAll}, {"mrYesToAll", mrYesToAll}});

  RegisterFormClass<TCustomCheckBox, TButtonControl>("TCustomCheckBox")
      .Enum<TAlignment>("Alignment", &TCustomCheckBox::SetAlignment, kSideAlignments)
      .Boolean("AllowGrayed", &TCustomCheckBox::SetAllowGrayed)
      .Boolean("Checked", &TCustomCheckBox::SetChecked)
      .Enum<TCheckBoxState>("State", &TCustomCheckBox::SetState,
                            {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}});
  RegisterFormClass<TCheckBox, TCustomCheckBox>("TCheckBox");

  RegisterFormClass<TRadioButton, TButtonControl>("TRadioButton")
      .Enum<TAlignment>("Alignment", &TRadioButton::SetAlignment, kSideAlignments)
      .Boolean("Checked", &TRadioButton::SetChecked);

  RegisterFormClass<TCustomGroupBox, TCustomControl>("TCustomGroupBox");
  RegisterFormClass<TGroupBox, TCustomGroupBox>("TGroupBox");

  RegisterFormClass<TCustomPanel, TCustomControl>("TCustomPanel")
      .Enum<TAlignment>("Alignment", &TCustomPanel::SetAlignment, kAlignments)
      .Enum<TBevelCut>("BevelInner", &TCustomPanel::SetBevelInner,
                       {{"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvSpace}})
      .Enum<TBevelCut>("BevelOuter", &TCustomPanel::SetBevelOuter,
                       {{"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvSpace}})
      .IntegerAtLeast("BevelWidth", &TCustomPanel::SetBevelWidth, 1)
      .IntegerAtLeast("BorderWidth", &TCustomPanel::SetBorderWidth, 0)
      // A panel's border is either none or a single line.
      .Enum<TBorderStyle>("BorderStyle", &TCustomPanel::SetBorderStyle, {{"bsNone", bsNone}, {"bsSingle", bsSingle}});
  RegisterFormClass<TPanel, TCustomPanel>("TPanel");

  RegisterFormClass<TBevel, TGraphicControl>("TBevel")
      .Enum<TBevelShape>("Shape", &TBevel::SetShape,
                         {{"bsBox", bsBox}, {"bsFrame", bsFrame}, {"bsTopLine", bsTopLine},
                          {"bsBottomLine", bsBottomLine}, {"bsLeftLine", bsLeftLine}, {"bsRightLine", bsRightLine},
                          {"bsSpacer", bsSpacer}})
      .Enum<TBevelStyle>("Style", &TBevel::SetStyle, {{"bsLowered", bsLowered}, {"bsRaised", bsRaised}});

  RegisterFormClass<TSplitter, TGraphicControl>("TSplitter")
      .IntegerAtLeast("MinSize", &TSplitter::SetMinSize, 1)
      .Enum<TResizeStyle>("ResizeStyle", &TSplitter::SetResizeStyle,
                          {{"rsNone", rsNone}, {"rsLine", rsLine}, {"rsUpdate", rsUpdate}, {"rsPattern", rsPattern}})
      .Boolean("Beveled", &TSplitter::SetBeveled)
      .Event<TCanResizeEvent>("OnCanResize", &TSplitter::OnCanResize)
      .Event<TNotifyEvent>("OnMoved", &TSplitter::OnMoved);

  RegisterFormClass<TImage, TGraphicControl>("TImage")
      .Object("Picture", &TImage::Picture)
      .Boolean("Stretch", &TImage::SetStretch)
      .Boolean("Center", &TImage::SetCenter)
      .Boolean("Proportional", &TImage::SetProportional)
      .Boolean("Transparent", &TImage::SetTransparent);

  RegisterFormClass<TTimer, TComponent>("TTimer")
      .Boolean("Enabled", &TTimer::SetEnabled)
      .IntegerAtLeast("Interval", [](TTimer* t, int32_t v) { t->SetInterval(uint32_t(v)); }, 0)
      .Event<TNotifyEvent>("OnTimer", &TTimer::SetOnTimer);
}

}  // namespace

void RegisterControlFormClasses() {
  RegisterFormClass<TSizeConstraints, TPersistent>("TSizeConstraints")
      .Integer("MaxHeight", &TSizeConstraints::SetMaxHeight)
      .Integer("MaxWidth", &TSizeConstraints::SetMaxWidth)
      .Integer("MinHeight", &TSizeConstraints::SetMinHeight)
      .Integer("MinWidth", &TSizeConstraints::SetMinWidth);

  RegisterFormClass<TControl, TComponent>("TControl")
      .Integer("Left", &TControl::SetLeft)
      .Integer("Top", &TControl::SetTop)
      .Integer("Width", &TControl::SetWidth)
      .Integer("Height", &TControl::SetHeight)
      .Integer("ClientWidth", &TControl::SetClientWidth)
      .Integer("ClientHeight", &TControl::SetClientHeight)
      .Enum<TAlign>("Align", &TControl::SetAlign,
                    {{"alNone", alNone}, {"alTop", alTop}, {"alBottom", alBottom}, {"alLeft", alLeft},
                     {"alRight", alRight}, {"alClient", alClient}, {"alCustom", alCustom}})
      .Set<TAnchorKind>("Anchors", &TControl::SetAnchors,
                        {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}})
      .Object("Constraints", &TControl::Constraints)
      .Boolean("AutoSize", &TControl::SetAutoSize)
      .Boolean("Visible", &TControl::SetVisible)
      .Boolean("Enabled", &TControl::SetEnabled)
      .Object("Font", &TControl::Font)
      .Boolean("ParentFont", &TControl::SetParentFont)
      .Integer("Color", &TControl::SetColor, ColorIdents())
      .Boolean("ParentColor", &TControl::SetParentColor)
      .String("Caption", &TControl::SetCaption)
      .String("Text", &TControl::SetText)
      .String("Hint", &TControl::SetHint)
      .Boolean("ShowHint", &TControl::SetShowHint)
      .Boolean("ParentShowHint", &TControl::SetParentShowHint)
      .Integer("Cursor", [](TControl* c, int32_t v) { c->SetCursor(static_cast<TCursor>(v)); }, kCursorIdents)
      .Reference<TPopupMenu>("PopupMenu", &TControl::SetPopupMenu)
      .Reference<TBasicAction>("Action", &TControl::SetAction)
      .Event<TNotifyEvent>("OnClick", &TControl::OnClick)
      .Event<TNotifyEvent>("OnDblClick", &TControl::OnDblClick)
      .Event<TNotifyEvent>("OnResize", &TControl::OnResize)
      .Event<TMouseEvent>("OnMouseDown", &TControl::OnMouseDown)
      .Event<TMouseEvent>("OnMouseUp", &TControl::OnMouseUp)
      .Event<TMouseMoveEvent>("OnMouseMove", &TControl::OnMouseMove)
      .Event<TMouseWheelEvent>("OnMouseWheel", &TControl::OnMouseWheel)
      .PlaceInside([](TControl* c, TComponent* container) {
        if (auto* w = dynamic_cast<TWinControl*>(container)) c->SetParent(w);
      });
  RegisterFormClass<TGraphicControl, TControl>("TGraphicControl");
  RegisterFormClass<TWinControl, TControl>("TWinControl")
      .Boolean("TabStop", &TWinControl::SetTabStop)
      .Integer("TabOrder", &TWinControl::SetTabOrder)
      .Event<TNotifyEvent>("OnEnter", &TWinControl::OnEnter)
      .Event<TNotifyEvent>("OnExit", &TWinControl::OnExit)
      .Event<TKeyEvent>("OnKeyDown", &TWinControl::OnKeyDown)
      .Event<TKeyEvent>("OnKeyUp", &TWinControl::OnKeyUp)
      .Event<TKeyPressEvent>("OnKeyPress", &TWinControl::OnKeyPress);
  RegisterFormClass<TCustomControl, TWinControl>("TCustomControl");

  RegisterFormClass<TCustomForm, TWinControl>("TCustomForm")
      .Enum<TFormBorderStyle>("BorderStyle", &TCustomForm::SetBorderStyle,
                              {{"bsNone", bsNone}, {"bsSingle", bsSingle}, {"bsSizeable", bsSizeable},
                               {"bsDialog", bsDialog}, {"bsToolWindow", bsToolWindow}, {"bsSizeToolWin", bsSizeToolWin}})
      .Set<TBorderIcon>("BorderIcons", &TCustomForm::SetBorderIcons,
                        {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize}, {"biMaximize", biMaximize},
                         {"biHelp", biHelp}})
      .Enum<TFormStyle>("FormStyle", &TCustomForm::SetFormStyle,
                        {{"fsNormal", fsNormal}, {"fsMDIChild", fsMDIChild}, {"fsMDIForm", fsMDIForm},
                         {"fsStayOnTop", fsStayOnTop}})
      .Enum<TPosition>("Position", &TCustomForm::SetPosition,
                       {{"poDesigned", poDesigned}, {"poDefault", poDefault}, {"poDefaultPosOnly", poDefaultPosOnly},
                        {"poDefaultSizeOnly", poDefaultSizeOnly}, {"poScreenCenter", poScreenCenter},
                        {"poDesktopCenter", poDesktopCenter}, {"poMainFormCenter", poMainFormCenter},
                        {"poOwnerFormCenter", poOwnerFormCenter}})
      .Enum<TWindowState>("WindowState", &TCustomForm::SetWindowState,
                          {{"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}})
      .Object("Icon", &TCustomForm::Icon)
      .Boolean("KeyPreview", &TCustomForm::SetKeyPreview)
      .Reference<TWinControl>("ActiveControl", &TCustomForm::SetActiveControl)
      .Reference<TMainMenu>("Menu", &TCustomForm::SetMenu)
      .Event<TNotifyEvent>("OnCreate", &TCustomForm::OnCreate)
      .Event<TNotifyEvent>("OnDestroy", &TCustomForm::OnDestroy)
      .Event<TNotifyEvent>("OnShow", &TCustomForm::OnShow)
      .Event<TNotifyEvent>("OnHide", &TCustomForm::OnHide)
      .Event<TNotifyEvent>("OnActivate", &TCustomForm::OnActivate)
      .Event<TNotifyEvent>("OnDeactivate", &TCustomForm::OnDeactivate)
      .Event<TNotifyEvent>("OnPaint", &TCustomForm::OnPaint)
      .Event<TCloseEvent>("OnClose", &TCustomForm::OnClose)
      .Event<TCloseQueryEvent>("OnCloseQuery", &TCustomForm::OnCloseQuery)
      .Event<TShortCutEvent>("OnShortCut", &TCustomForm::OnShortCut)
      // OnCreate runs once the whole form is read and loaded.
      .AfterRead([](TCustomForm* f) { f->DoCreate(); });
  RegisterFormClass<TForm, TCustomForm>("TForm");

  RegisterStandardControls();
}
