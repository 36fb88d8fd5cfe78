#pragma once
// The seam between the skinned controls and the skinned menus. The skinned popup menu and the
// images menu live in the forms layer, above the controls; the split tool button and the edit's
// context menu reach them through this one set of functions, which the forms layer fills when
// its menu unit is linked. Left empty, a control finds no skinned menu and acts as with no skin
// data: the edit's context menu shows nothing.
#include <cstdint>
#include <functional>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"

class TPopupMenu;
class TkxResourceStrData;

// A menu command of a popup that a control opened for itself has run.
constexpr uint32_t KXM_MENUCOMMAND = 1229;

struct TkxSkinMenuSeam {
  // A new skinned popup menu owned by AOwner, shown through the skinned form of AForm.
  std::function<TPopupMenu*(TComponent* AOwner, TCustomForm* AForm)> NewPopupMenu;
  // Whether AMenu is a skinned popup menu (a plain one runs the class library's popup).
  std::function<bool(TPopupMenu* AMenu)> IsSkinPopupMenu;
  // The skinned menu at the screen point P (only with skin data), or below the screen rectangle
  // R (above it with APopupUp), for ACtrl, which then hears the menu's close (1228) and command
  // (1229) messages. Both answer whether the menu is open for ACtrl now: when not, no close
  // message will come.
  std::function<bool(TPopupMenu* AMenu, TControl* ACtrl, TPoint P)> Popup2;
  std::function<bool(TPopupMenu* AMenu, TControl* ACtrl, const TRect& R, bool APopupUp)> PopupFromRect2;
  // The string table of AForm's skinned form (its skin data's), or nullptr.
  std::function<TkxResourceStrData*(TCustomForm* AForm)> FormStrings;
  // Whether a closed level, not yet freed, still holds AMenu's items: AMenu must live on until
  // that level is gone.
  std::function<bool(TPopupMenu* AMenu)> ClosedLevelsRead;
  // The images menu: whether AMenu is one; drop it below the screen rectangle R with OnClose run
  // when it closes; point its change notification at OnChange (empty: at nothing).
  std::function<bool(TComponent* AMenu)> IsImagesMenu;
  std::function<void(TComponent* AMenu, const TRect& R, TNotifyEvent OnClose)> ImagesMenuPopupFromRect;
  std::function<void(TComponent* AMenu, TNotifyEvent OnChange)> SetImagesMenuChange;
  // The images menu's chosen item: its list, picture number and caption; false when none.
  std::function<bool(TComponent* AMenu, TCustomImageList*& Images, int32_t& Index, std::string& Caption)>
      ImagesMenuChosen;
};
TkxSkinMenuSeam& SkinMenuSeam();

