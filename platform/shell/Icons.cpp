// The system image list: our own pictures, drawn here in code, and SHGetFileInfo over them.
//
// Each picture is drawn once, on first use, at four times 32x32 and reduced by averaging, which
// gives smooth edges at 32x32 and 16x16 alike. The drawing is a plain function of the picture's
// number, so a generator can later write the same pictures into resources/ unchanged.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <vector>

#include "platform/Gdi.h"
#include "platform/shell/Internal.h"

namespace win {

struct IMAGELIST {
  int size = 16;
  std::vector<std::vector<uint32_t>> pictures;  // B,G,R,A straight
  COLORREF bk = CLR_NONE;
};

namespace {

constexpr int kGrid = 128;  // drawing grid: 32 units of 4 samples

struct RGBA {
  float r, g, b, a;
};
constexpr RGBA Hex(uint32_t rgb, float a = 1.f) {
  return {float((rgb >> 16) & 0xFF) / 255.f, float((rgb >> 8) & 0xFF) / 255.f, float(rgb & 0xFF) / 255.f, a};
}

// A canvas in icon units (0..32); every shape is tested per sample at the centre of the sample.
class Sketch {
 public:
  Sketch() : px_(kGrid * kGrid, RGBA{0, 0, 0, 0}) {}

  template <typename Inside>
  void Fill(RGBA c, Inside inside) {
    for (int y = 0; y < kGrid; ++y)
      for (int x = 0; x < kGrid; ++x) {
        float u = (x + 0.5f) / 4.f, v = (y + 0.5f) / 4.f;
        if (inside(u, v)) Blend(px_[y * kGrid + x], c);
      }
  }
  void Rect(float x0, float y0, float x1, float y1, RGBA c) {
    Fill(c, [=](float u, float v) { return u >= x0 && u < x1 && v >= y0 && v < y1; });
  }
  // A rectangle with an outline of width `w`.
  void Box(float x0, float y0, float x1, float y1, RGBA fill, RGBA line, float w = 1.f) {
    Rect(x0, y0, x1, y1, line);
    Rect(x0 + w, y0 + w, x1 - w, y1 - w, fill);
  }
  void RoundRect(float x0, float y0, float x1, float y1, float r, RGBA c) {
    Fill(c, [=](float u, float v) {
      if (u < x0 || u >= x1 || v < y0 || v >= y1) return false;
      float cx = std::clamp(u, x0 + r, x1 - r), cy = std::clamp(v, y0 + r, y1 - r);
      return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= r * r;
    });
  }
  void Ellipse(float cx, float cy, float rx, float ry, RGBA c) {
    Fill(c, [=](float u, float v) {
      float a = (u - cx) / rx, b = (v - cy) / ry;
      return a * a + b * b <= 1.f;
    });
  }
  void Polygon(std::vector<std::array<float, 2>> pts, RGBA c) {
    Fill(c, [&](float u, float v) {
      bool in = false;
      for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const auto& a = pts[i];
        const auto& b = pts[j];
        if ((a[1] > v) != (b[1] > v) && u < (b[0] - a[0]) * (v - a[1]) / (b[1] - a[1]) + a[0]) in = !in;
      }
      return in;
    });
  }
  // A straight line of width `w`.
  void Line(float x0, float y0, float x1, float y1, float w, RGBA c) {
    Fill(c, [=](float u, float v) {
      float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
      float t = len2 > 0 ? std::clamp(((u - x0) * dx + (v - y0) * dy) / len2, 0.f, 1.f) : 0.f;
      float px = x0 + t * dx - u, py = y0 + t * dy - v;
      return px * px + py * py <= w * w / 4;
    });
  }

  // Averages premultiplied samples into a size x size picture of straight B,G,R,A pixels.
  std::vector<uint32_t> Reduce(int size) const {
    int f = kGrid / size;
    std::vector<uint32_t> out(size_t(size) * size);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        float r = 0, g = 0, b = 0, a = 0;
        for (int j = 0; j < f; ++j)
          for (int i = 0; i < f; ++i) {
            const RGBA& p = px_[(y * f + j) * kGrid + x * f + i];
            r += p.r * p.a;
            g += p.g * p.a;
            b += p.b * p.a;
            a += p.a;
          }
        uint32_t A = uint32_t(std::lround(a / (f * f) * 255.f));
        uint32_t R = a > 0 ? uint32_t(std::lround(r / a * 255.f)) : 0;
        uint32_t G = a > 0 ? uint32_t(std::lround(g / a * 255.f)) : 0;
        uint32_t B = a > 0 ? uint32_t(std::lround(b / a * 255.f)) : 0;
        out[size_t(y) * size + x] = B | (G << 8) | (R << 16) | (A << 24);
      }
    return out;
  }

 private:
  static void Blend(RGBA& d, RGBA s) {
    float a = s.a + d.a * (1 - s.a);
    if (a <= 0) return;
    d.r = (s.r * s.a + d.r * d.a * (1 - s.a)) / a;
    d.g = (s.g * s.a + d.g * d.a * (1 - s.a)) / a;
    d.b = (s.b * s.a + d.b * d.a * (1 - s.a)) / a;
    d.a = a;
  }
  std::vector<RGBA> px_;
};

const RGBA kOutline = Hex(0x5A5A5A), kPaper = Hex(0xFFFFFF), kFold = Hex(0xD8D8D8);
const RGBA kFolderBack = Hex(0xD9A21B), kFolderFront = Hex(0xF6C94A), kFolderLine = Hex(0xA8780C);

void Page(Sketch& s) {
  s.Polygon({{6, 2}, {21, 2}, {27, 8}, {27, 30}, {6, 30}}, kOutline);
  s.Polygon({{7, 3}, {20.5f, 3}, {26, 8.5f}, {26, 29}, {7, 29}}, kPaper);
  s.Polygon({{20, 2.5f}, {20, 9}, {26.5f, 9}}, kFold);
  s.Line(20, 2.5f, 20, 9, 1, kOutline);
  s.Line(20, 9, 26.5f, 9, 1, kOutline);
}

void Folder(Sketch& s, bool open) {
  s.Polygon({{2, 7}, {12, 7}, {14, 10}, {30, 10}, {30, 27}, {2, 27}}, kFolderLine);
  s.Polygon({{3, 8}, {11.5f, 8}, {13.5f, 11}, {29, 11}, {29, 26}, {3, 26}}, kFolderBack);
  if (open) {
    s.Rect(6, 12, 27, 24, kPaper);
    s.Polygon({{6, 15}, {31, 15}, {28, 27}, {2, 27}}, kFolderLine);
    s.Polygon({{7, 16}, {29.7f, 16}, {27.2f, 26}, {3.3f, 26}}, kFolderFront);
  } else {
    s.Rect(2, 13, 30, 27, kFolderLine);
    s.Rect(3, 14, 29, 26, kFolderFront);
  }
}

void Drive(Sketch& s, RGBA body, RGBA light) {
  s.RoundRect(2, 11, 30, 24, 2, kOutline);
  s.RoundRect(3, 12, 29, 23, 1.5f, body);
  s.Rect(4, 19, 28, 20, Hex(0x000000, 0.15f));
  s.Ellipse(25, 21.5f, 1.3f, 1.3f, light);
}

void Monitor(Sketch& s, RGBA screen) {
  s.RoundRect(2, 3, 30, 23, 1.5f, kOutline);
  s.Rect(4, 5, 28, 21, screen);
  s.Polygon({{12, 23}, {20, 23}, {22, 28}, {10, 28}}, Hex(0x7A7A7A));
  s.RoundRect(7, 27, 25, 30, 1, kOutline);
}

std::vector<uint32_t> DrawIcon(int index, int size) {
  Sketch s;
  switch (index) {
    case siFile: Page(s); break;
    case siFolder: Folder(s, false); break;
    case siFolderOpen: Folder(s, true); break;
    case siDesktop:
      Monitor(s, Hex(0x2F7BD0));
      s.Rect(4, 18, 28, 21, Hex(0x1E4F86));
      s.Rect(6, 7, 10, 11, Hex(0xFFFFFF, 0.9f));
      s.Rect(6, 13, 10, 17, Hex(0xF6C94A));
      break;
    case siComputer:
      Monitor(s, Hex(0x4FA3E8));
      s.Polygon({{4, 5}, {20, 5}, {4, 16}}, Hex(0xFFFFFF, 0.25f));
      break;
    case siHome:
      s.Polygon({{16, 2}, {31, 15}, {27, 15}, {27, 30}, {5, 30}, {5, 15}, {1, 15}}, kOutline);
      s.Polygon({{16, 3.5f}, {29, 14.5f}, {26, 14.5f}, {26, 29}, {6, 29}, {6, 14.5f}, {3, 14.5f}}, Hex(0xF2E6CF));
      s.Polygon({{16, 3.5f}, {29, 14.5f}, {3, 14.5f}}, Hex(0xC8462E));
      s.Rect(13, 19, 19, 29, Hex(0x8A5A2B));
      s.Rect(21, 17, 24, 20, Hex(0x4FA3E8));
      break;
    case siDocuments:
      Folder(s, false);
      s.Rect(9, 4, 24, 18, kOutline);
      s.Rect(10, 5, 23, 18, kPaper);
      for (float y = 7; y < 14; y += 2.5f) s.Rect(12, y, 21, y + 1, Hex(0x8A8A8A));
      s.Rect(2, 15, 30, 27, kFolderLine);
      s.Rect(3, 16, 29, 26, kFolderFront);
      break;
    case siDriveFixed: Drive(s, Hex(0xB8BCC4), Hex(0x3CC24A)); break;
    case siDriveRemovable:
      s.RoundRect(7, 6, 25, 28, 2, kOutline);
      s.RoundRect(8, 7, 24, 27, 1.5f, Hex(0x3C6FB8));
      s.Rect(11, 2, 21, 7, kOutline);
      s.Rect(12, 3, 20, 6.5f, Hex(0xD8D8D8));
      s.Rect(13.5f, 4, 15, 5.5f, kOutline);
      s.Rect(17, 4, 18.5f, 5.5f, kOutline);
      s.Ellipse(16, 22, 1.5f, 1.5f, Hex(0x7CE08A));
      break;
    case siDriveCdrom:
      s.Ellipse(16, 16, 14, 14, kOutline);
      s.Ellipse(16, 16, 13, 13, Hex(0xE4E8EE));
      s.Polygon({{16, 16}, {28, 8}, {29, 13}}, Hex(0xB5D3F2));
      s.Polygon({{16, 16}, {4, 24}, {3, 19}}, Hex(0xF2D6B5));
      s.Ellipse(16, 16, 4, 4, kOutline);
      s.Ellipse(16, 16, 2.5f, 2.5f, Hex(0xFFFFFF, 0));
      s.Ellipse(16, 16, 3, 3, Hex(0xFFFFFF));
      break;
    case siDriveRemote:
      s.RoundRect(2, 5, 30, 18, 2, kOutline);
      s.RoundRect(3, 6, 29, 17, 1.5f, Hex(0xB8BCC4));
      s.Ellipse(25, 14.5f, 1.3f, 1.3f, Hex(0x3CC24A));
      s.Rect(15, 18, 17, 25, kOutline);
      s.Rect(4, 25, 28, 27, kOutline);
      s.Rect(12, 23, 20, 29, Hex(0x3C6FB8));
      break;
    case siDriveRam:
      s.Rect(2, 9, 30, 23, Hex(0x1E6B34));
      s.Rect(3, 10, 29, 22, Hex(0x2E9A4C));
      for (float x = 5; x < 27; x += 6) s.Rect(x, 12, x + 4, 19, Hex(0x202020));
      for (float x = 4; x < 29; x += 2) s.Rect(x, 23, x + 1, 26, Hex(0xD9A21B));
      break;
    case siVideo:
      Page(s);
      s.Rect(9, 13, 24, 25, Hex(0x2A2A2A));
      for (float y = 14; y < 24; y += 3) {
        s.Rect(10, y, 11.5f, y + 1.5f, kPaper);
        s.Rect(21.5f, y, 23, y + 1.5f, kPaper);
      }
      s.Polygon({{14.5f, 16}, {19, 19}, {14.5f, 22}}, Hex(0xF04A3A));
      break;
    case siAudio:
      Page(s);
      s.Ellipse(12.5f, 24, 3, 2.3f, Hex(0x3C6FB8));
      s.Ellipse(20.5f, 22, 3, 2.3f, Hex(0x3C6FB8));
      s.Rect(14.5f, 12, 16, 24, Hex(0x3C6FB8));
      s.Rect(22.5f, 10, 24, 22, Hex(0x3C6FB8));
      s.Polygon({{14.5f, 12}, {24, 10}, {24, 13}, {14.5f, 15}}, Hex(0x3C6FB8));
      break;
    case siImage:
      Page(s);
      s.Rect(9, 12, 24, 26, Hex(0x9FD0F5));
      s.Polygon({{9, 26}, {9, 22}, {14, 17}, {19, 23}, {21, 21}, {24, 24}, {24, 26}}, Hex(0x4CAF50));
      s.Ellipse(20, 15.5f, 1.8f, 1.8f, Hex(0xFFD54A));
      break;
    case siArchive:
      Page(s);
      s.Rect(13, 3, 17, 29, Hex(0x8A5A2B));
      for (float y = 4; y < 20; y += 2) s.Rect(y / 2 > 5 ? 14 : 14, y, 16, y + 1, Hex(0xE0C080));
      s.Rect(12.5f, 20, 17.5f, 26, kOutline);
      s.Rect(13.5f, 21, 16.5f, 25, Hex(0xD9A21B));
      break;
    case siText:
      Page(s);
      for (float y = 12; y < 27; y += 3) s.Rect(10, y, y > 24 ? 18 : 23, y + 1.2f, Hex(0x7A7A7A));
      break;
    case siExecutable:
      s.RoundRect(2, 5, 30, 27, 1.5f, kOutline);
      s.Rect(3, 6, 29, 26, kPaper);
      s.Rect(3, 6, 29, 10, Hex(0x3C6FB8));
      s.Rect(25, 7, 27.5f, 9, Hex(0xF04A3A));
      s.Polygon({{7, 14}, {12, 17.5f}, {7, 21}}, Hex(0x3A3A3A));
      s.Rect(13, 20, 20, 21.5f, Hex(0x3A3A3A));
      break;
  }
  return s.Reduce(size);
}

IMAGELIST& List(bool small) {
  static IMAGELIST lists[2];
  static std::once_flag once;
  std::call_once(once, [] {
    for (int k = 0; k < 2; ++k) {
      lists[k].size = k == 0 ? 16 : 32;
      for (int i = 0; i < siCount; ++i) lists[k].pictures.push_back(DrawIcon(i, lists[k].size));
    }
  });
  return lists[small ? 0 : 1];
}

bool Valid(HIMAGELIST l) { return l == &List(true) || l == &List(false); }

int IconByName(const std::string& name) {
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return siFile;
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = char(tolower((unsigned char)c));
  static const std::pair<const char*, int> table[] = {
      {"avi", siVideo},  {"mp4", siVideo},  {"mkv", siVideo},   {"wmv", siVideo},  {"mov", siVideo},
      {"mpg", siVideo},  {"mpeg", siVideo}, {"flv", siVideo},   {"3gp", siVideo},  {"vob", siVideo},
      {"rm", siVideo},   {"rmvb", siVideo}, {"asf", siVideo},   {"dv", siVideo},   {"webm", siVideo},
      {"ts", siVideo},   {"m4v", siVideo},  {"mp3", siAudio},   {"wav", siAudio},  {"wma", siAudio},
      {"aac", siAudio},  {"ogg", siAudio},  {"flac", siAudio},  {"m4a", siAudio},  {"amr", siAudio},
      {"ac3", siAudio},  {"mp2", siAudio},  {"ra", siAudio},    {"bmp", siImage},  {"jpg", siImage},
      {"jpeg", siImage}, {"png", siImage},  {"gif", siImage},   {"ico", siImage},  {"tif", siImage},
      {"tiff", siImage}, {"webp", siImage}, {"zip", siArchive}, {"rar", siArchive}, {"7z", siArchive},
      {"gz", siArchive}, {"xz", siArchive}, {"bz2", siArchive}, {"tar", siArchive}, {"tgz", siArchive},
      {"txt", siText},   {"log", siText},   {"ini", siText},    {"md", siText},    {"srt", siText},
      {"xml", siText},   {"csv", siText},   {"exe", siExecutable}, {"sh", siExecutable},
      {"bin", siExecutable}, {"appimage", siExecutable}, {"run", siExecutable}};
  for (const auto& [e, icon] : table)
    if (ext == e) return icon;
  return siFile;
}

}  // namespace

HIMAGELIST SystemImageList(bool small) { return &List(small); }

int ImageList_GetImageCount(HIMAGELIST list) { return Valid(list) ? int(list->pictures.size()) : 0; }

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  if (!Valid(list)) return FALSE;
  if (cx) *cx = list->size;
  if (cy) *cy = list->size;
  return TRUE;
}

const uint32_t* ImageList_Pixels(HIMAGELIST list, int index) {
  if (!Valid(list) || index < 0 || index >= int(list->pictures.size())) return nullptr;
  return list->pictures[size_t(index)].data();
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour) {
  if (!Valid(list)) return CLR_NONE;
  // The shared lists stay transparent: the callers set "none" anyway.
  return CLR_NONE;
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT) {
  const uint32_t* px = ImageList_Pixels(list, index);
  if (!px) return nullptr;
  const int n = list->size;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = n;
  bi.bmiHeader.biHeight = -n;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP colour = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!colour) return nullptr;
  std::copy(px, px + n * n, static_cast<uint32_t*>(bits));
  HBITMAP mask = CreateBitmap(n, n, 1, 1, nullptr);
  ICONINFO ii;
  ii.fIcon = TRUE;
  ii.hbmColor = colour;
  ii.hbmMask = mask;
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT) {
  HICON icon = ImageList_GetIcon(list, index, 0);
  if (!icon) return FALSE;
  BOOL ok = DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
  DestroyIcon(icon);
  return ok;
}

namespace shell {

int IconOf(const Resolved& r, bool open) {
  switch (r.what) {
    case Resolved::Desktop: return siDesktop;
    case Resolved::Computer: return siComputer;
    case Resolved::Fs: break;
  }
  switch (r.last.kind) {
    case ItemKind::Home: return siHome;
    case ItemKind::UserFolder: return siDocuments;
    case ItemKind::Volume:
      switch (DriveKind(r.last.flags >> 4)) {
        case DriveKind::Removable: return siDriveRemovable;
        case DriveKind::Cdrom: return siDriveCdrom;
        case DriveKind::Remote: return siDriveRemote;
        case DriveKind::Ram: return siDriveRam;
        default: return siDriveFixed;
      }
    case ItemKind::FsDir: return open ? siFolderOpen : siFolder;
    default: return IconByName(r.last.text);
  }
}

}  // namespace shell

uintptr_t SHGetFileInfo(const void* path, DWORD, SHFILEINFO* info, UINT flags) {
  using namespace shell;
  if (!path) return 0;
  Resolved r;
  if (flags & SHGFI_PIDL) {
    if (!ResolveList(static_cast<LPCITEMIDLIST>(path), &r)) return 0;
  } else {
    // A path: only its name and whether it is a folder count.
    std::string p = static_cast<const char*>(path);
    struct stat st {};
    r.what = Resolved::Fs;
    r.path = p;
    size_t slash = p.find_last_of('/');
    r.last.text = slash == std::string::npos ? p : p.substr(slash + 1);
    r.last.kind = stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ItemKind::FsDir : ItemKind::FsFile;
    r.depth = 2;
  }
  if (info) {
    *info = SHFILEINFO{};
    info->iIcon = IconOf(r, (flags & SHGFI_OPENICON) != 0);
    if (flags & SHGFI_DISPLAYNAME)
      info->szDisplayName = r.what == Resolved::Fs ? NormalName(r.last)
                                                   : (r.what == Resolved::Desktop ? ShellTexts().desktop
                                                                                   : ShellTexts().computer);
    if (flags & SHGFI_TYPENAME) info->szTypeName = TypeText(r);
  }
  if (flags & SHGFI_SYSICONINDEX) return reinterpret_cast<uintptr_t>(SystemImageList((flags & SHGFI_SMALLICON) != 0));
  return 1;
}

}  // namespace win
