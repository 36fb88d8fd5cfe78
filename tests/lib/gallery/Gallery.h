#pragma once
// The gallery: one form holding every skinned control in its states, drawn in each stored skin
// and in the plain look. Each family of controls adds its own section from a file of its own in
// this folder with a static `gallery::Register`, so that families never edit a shared list.
#include <functional>
#include <string>
#include <utility>
#include <vector>

class TWinControl;
class TkxSkinData;

namespace gallery {

struct Section {
  std::string Name;  // the section's title on the form
  int Order = 0;     // sections are laid out by Order, then by Name
  int Width = 0;     // the room the section needs, in pixels
  int Height = 0;
  // Makes the section's controls as children of Host (a plain container of Width x Height) and
  // binds them to SD, which is null for the plain look. States that need input (hot, pressed,
  // focused, checked, dropped down) are set here through the controls' own members or messages.
  std::function<void(TWinControl* Host, TkxSkinData* SD)> Build;
  // Optional: runs once the form is shown and active, for the states that need it (the focus).
  std::function<void(TWinControl* Host, TkxSkinData* SD)> Shown = nullptr;
};

inline std::vector<Section>& Sections() {
  static std::vector<Section> s;
  return s;
}

struct Register {
  explicit Register(Section S) { Sections().push_back(std::move(S)); }
};

// A control of class T owned by Host, at (x, y) and w x h, then placed on Host.
template <typename T>
T* Put(TWinControl* Host, int x, int y, int w, int h) {
  auto* c = new T(Host);
  c->SetBounds(x, y, w, h);
  c->SetParent(Host);
  return c;
}

}  // namespace gallery

class TComponent;
class TForm;

namespace gallery {

constexpr int kFormWidth = 1240;

// Makes the gallery form, owned by Owner: frameless, at the screen's origin, in the skin's
// button-face colour (clBtnFace for the plain look), holding every registered section whose
// name contains Filter (all of them for ""), each under its title, flowed in rows by Order.
// The form is shown; its height follows the sections.
TForm* BuildForm(TComponent* Owner, TkxSkinData* SD, const std::string& Filter = "");

}  // namespace gallery
