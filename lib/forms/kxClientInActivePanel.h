#pragma once
// The cover of an inactive form's client area: a still picture of the client area taken when the
// form lost the activation, blurred or dimmed by the form's background, shown over the client
// controls until the form is active again.
#include <memory>

#include "lib/controls/kxSkinPanels.h"
#include "lib/forms/kxVelara.h"

class TkxBitmap;

class TkxClientInActivePanel : public TkxSkinPaintPanel {
public:
  explicit TkxClientInActivePanel(TComponent* AOwner);
  ~TkxClientInActivePanel() override;

  // The picture shown; nullptr while hidden.
  std::unique_ptr<TkxBitmap> Buffer;

  // Takes the picture of AForm's client area and shows it over the client area. Nothing for no
  // form, a hidden one or an empty client area.
  void ShowPanel(TCustomForm* AForm, TkxClientInActiveEffect AEffect);
  void HidePanel();

protected:
  void Paint() override;
};
