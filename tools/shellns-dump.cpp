// Prints a subtree of the shell namespace as the shell controls see it: per item its level,
// display name, parsing name, attributes and icon index. With --icons it also writes the system
// image list as a picture sheet (both sizes, on a light and a dark ground).
//
//   shellns-dump [ROOT] [DEPTH] [--files] [--hidden] [--icons sheet.png [--zoom N]]
//   ROOT is a root name (rfDesktop, rfMyComputer, rfPersonal, ...) or an absolute path;
//   the default is rfDesktop with depth 2.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/Text.h"
#include "lib/dialogs/kxSkinShellCtrls.h"

using namespace win;

namespace {

// Bytes that are not UTF-8 are shown as \xHH, so the terminal shows every name.
std::string Printable(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    int n = Utf8SequenceLength(s, i);
    if (n <= 0 || !IsValidUtf8(std::string_view(s).substr(i, size_t(n)))) {
      char buf[8];
      snprintf(buf, sizeof buf, "\\x%02X", unsigned(static_cast<unsigned char>(s[i])));
      out += buf;
      ++i;
    } else {
      out.append(s, i, size_t(n));
      i += size_t(n);
    }
  }
  return out;
}

std::string AttributeLetters(IShellFolder* parent, PCItemIDList id) {
  ULONG a = 0;
  LPCITEMIDLIST one = id;
  if (!parent || FAILED(parent->GetAttributesOf(1, &one, &a))) return "?";
  const std::pair<ULONG, char> letters[] = {
      {SFGAO_FOLDER, 'D'},   {SFGAO_HASSUBFOLDER, '+'}, {SFGAO_FILESYSTEM, 'F'}, {SFGAO_FILESYSANCESTOR, 'A'},
      {SFGAO_REMOVABLE, 'M'}, {SFGAO_READONLY, 'R'},    {SFGAO_GHOSTED, 'H'},    {SFGAO_LINK, 'L'},
      {SFGAO_CANRENAME, 'n'}, {SFGAO_CANDELETE, 'd'},   {SFGAO_DROPTARGET, 't'}};
  std::string s;
  for (auto [bit, c] : letters) s += (a & bit) ? c : '-';
  char hex[16];
  snprintf(hex, sizeof hex, " %08X", unsigned(a));
  return s + hex;
}

void Print(TkxShellFolder* item, IShellFolder* parent, int level) {
  printf("%d %*s%s | %s | %s | icon %d\n", level, level * 2, "", Printable(item->DisplayName()).c_str(),
         Printable(item->PathName()).c_str(), AttributeLetters(parent, item->RelativeID()).c_str(),
         item->ImageIndex(false));
}

void Walk(TkxShellFolder* folder, int level, int depth, uint32_t flags) {
  IShellFolder* sf = folder->ShellFolder();
  if (level > depth || !sf) return;
  std::unique_ptr<IEnumIDList> e;
  if (FAILED(sf->EnumObjects(nullptr, flags, &e)) || !e) return;
  std::vector<PItemIDList> ids;
  PItemIDList p = nullptr;
  ULONG n = 0;
  while (e->Next(1, &p, &n) == S_OK) ids.push_back(p);
  std::sort(ids.begin(), ids.end(), [&](PItemIDList a, PItemIDList b) { return CompareChildren(sf, a, b) < 0; });
  for (PItemIDList id : ids) {
    TkxShellFolder child(folder, id, BindShellFolder(sf, id, nullptr));
    ShellFree(id);
    Print(&child, sf, level);
    if (child.IsFolder()) Walk(&child, level + 1, depth, flags);
  }
}

bool WriteSheet(const std::string& file, int zoom) {
  const int cell = 40 * zoom, pad = 4 * zoom;
  const int count = ImageList_GetImageCount(SystemImageList(true));
  const int w = count * cell, h = 4 * cell;
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t g = (y / cell) % 2 == 0 ? 0xF4 : 0x30;
      std::memset(&rgb[(size_t(y) * w + x) * 3], g, 3);
    }
  for (int row = 0; row < 4; ++row) {
    HIMAGELIST list = SystemImageList(row < 2);
    int size = 0;
    ImageList_GetIconSize(list, &size, &size);
    for (int i = 0; i < count; ++i) {
      const uint32_t* px = ImageList_Pixels(list, i);
      for (int y = 0; y < size * zoom; ++y)
        for (int x = 0; x < size * zoom; ++x) {
          uint32_t p = px[(y / zoom) * size + x / zoom];
          uint32_t a = p >> 24;
          uint8_t* d = &rgb[(size_t(row * cell + pad + y) * w + i * cell + pad + x) * 3];
          const uint8_t s[3] = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
          for (int c = 0; c < 3; ++c) d[c] = uint8_t((s[c] * a + d[c] * (255 - a)) / 255);
        }
    }
  }
  FILE* f = fopen(file.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) png_write_row(png, &rgb[size_t(y) * w * 3]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string root = "rfDesktop", icons;
  int depth = 2, positional = 0, zoom = 1;
  TShellObjectTypes types{otFolders};
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--files") {
      types.Include(otNonFolders);
    } else if (a == "--hidden") {
      types.Include(otHidden);
    } else if (a == "--icons" && i + 1 < argc) {
      icons = argv[++i];
    } else if (a == "--zoom" && i + 1 < argc) {
      zoom = std::clamp(atoi(argv[++i]), 1, 8);
    } else if (a == "--help" || a == "-h") {
      printf("usage: shellns-dump [ROOT] [DEPTH] [--files] [--hidden] [--icons sheet.png [--zoom N]]\n");
      return 0;
    } else if (positional == 0) {
      root = a;
      ++positional;
    } else if (positional == 1) {
      depth = atoi(a.c_str());
      ++positional;
    }
  }
  if (!icons.empty() && !WriteSheet(icons, zoom)) {
    fprintf(stderr, "cannot write %s\n", icons.c_str());
    return 1;
  }
  try {
    std::unique_ptr<TkxShellFolder> none;
    std::unique_ptr<TkxShellFolder> top = CreateRootFolder(none, "", root);
    Print(top.get(), top->ParentShellFolder(), 0);
    Walk(top.get(), 1, depth, ObjectTypesToEnumFlags(types));
  } catch (const Exception& e) {
    fprintf(stderr, "%s\n", e.Message.c_str());
    return 1;
  }
  return 0;
}
