#include "platform/backend/headless/Headless.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>

#include "platform/window/WindowImpl.h"

namespace win {
namespace headless {

namespace {

struct Surface {
  RECT rect{};
  bool shown = false;
  BYTE alpha = 255;
  bool hasShape = false;
  std::vector<RECT> shape;
  std::vector<uint32_t> pixels;  // the presented back buffer
  int width = 0, height = 0;
};

class HeadlessBackend final : public backend::Backend {
 public:
  const char* Name() const override { return "headless"; }
  void SetEventSink(backend::EventSink* s) override { sink = s; }
  void Deliver(const backend::Event& e) {
    if (sink) sink->OnBackendEvent(e);
  }
  backend::EventSink* sink = nullptr;
  void CreateSurface(HWND h, const RECT& rect, DWORD, DWORD) override {
    std::lock_guard<std::mutex> lock(m);
    surfaces[h].rect = rect;
  }
  void DestroySurface(HWND h) override {
    std::lock_guard<std::mutex> lock(m);
    surfaces.erase(h);
    layered.erase(h);
    stack.erase(std::remove(stack.begin(), stack.end(), h), stack.end());
  }
  void MoveSurface(HWND h, const RECT& rect) override {
    std::lock_guard<std::mutex> lock(m);
    surfaces[h].rect = rect;
  }
  void ShowSurface(HWND h, bool shown) override {
    std::lock_guard<std::mutex> lock(m);
    surfaces[h].shown = shown;
  }
  void RestackSurfaces(const std::vector<HWND>& topFirst) override {
    std::lock_guard<std::mutex> lock(m);
    stack = topFirst;
  }
  void Present(HWND h, const uint32_t* px, int w, int ht, const std::vector<RECT>&) override {
    std::lock_guard<std::mutex> lock(m);
    Surface& s = surfaces[h];
    s.pixels.assign(px, px + size_t(w) * size_t(ht));
    s.width = w;
    s.height = ht;
  }
  void SetShape(HWND h, const std::vector<RECT>* rects) override {
    std::lock_guard<std::mutex> lock(m);
    Surface& s = surfaces[h];
    s.hasShape = rects != nullptr;
    s.shape = rects ? *rects : std::vector<RECT>{};
  }
  void SetAlpha(HWND h, BYTE a) override {
    std::lock_guard<std::mutex> lock(m);
    surfaces[h].alpha = a;
  }
  void UpdateLayered(HWND h, const uint32_t* px, int w, int ht, BYTE a) override {
    std::lock_guard<std::mutex> lock(m);
    LayeredRecord& r = layered[h];
    r.pixels.assign(px, px + size_t(w) * size_t(ht));
    r.width = w;
    r.height = ht;
    r.alpha = a;
    ++r.updates;
  }
  bool LayeredAvailable() override { return layeredAvailable; }
  void SetCursor(HCURSOR c) override { cursor = c; }
  void GrabPointer(HWND h) override { grab = h; }
  POINT CursorPos() override {
    std::lock_guard<std::mutex> lock(m);
    return cursorPos;
  }
  void SetCursorPos(POINT p) override {
    std::lock_guard<std::mutex> lock(m);
    cursorPos = p;
  }
  std::vector<backend::MonitorDesc> Monitors() override {
    std::lock_guard<std::mutex> lock(m);
    return monitors;
  }
  void Beep(UINT type) override {
    std::lock_guard<std::mutex> lock(m);
    beeps.push_back(type);
  }
  void SetClipboardText(const std::string& text) override {
    std::lock_guard<std::mutex> lock(m);
    clipboard = text;
  }
  std::string ClipboardText() override {
    std::lock_guard<std::mutex> lock(m);
    return clipboard;
  }

  void ResetState() {
    std::lock_guard<std::mutex> lock(m);
    layered.clear();
    beeps.clear();
    cursorPos = POINT{0, 0};
    monitors = {backend::MonitorDesc{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}, true}};
    layeredAvailable = false;
    cursor = nullptr;
    grab = nullptr;
    clipboard.clear();
  }

  std::mutex m;
  std::map<HWND, Surface> surfaces;
  std::vector<HWND> stack;
  std::map<HWND, LayeredRecord> layered;
  std::vector<UINT> beeps;
  POINT cursorPos{};
  std::vector<backend::MonitorDesc> monitors{backend::MonitorDesc{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}, true}};
  bool layeredAvailable = false;
  HCURSOR cursor = nullptr;
  HWND grab = nullptr;
  std::string clipboard;
};

HeadlessBackend& Instance() {
  static auto* b = new HeadlessBackend;
  return *b;
}

// ---- spy --------------------------------------------------------------------------------------
std::mutex g_spyMutex;
std::set<HWND> g_spied;
std::vector<SpyEntry> g_log;

void SpyRecord(HWND h, UINT msg, WPARAM w, LPARAM l) {
  std::lock_guard<std::mutex> lock(g_spyMutex);
  if (g_spied.count(h)) g_log.push_back(SpyEntry{h, msg, w, l});
}

// Input goes through the event sink like any backend's; with no window named, the layer gives
// it to the calling thread (the test's user-interface thread).
void Inject(backend::Event ev) {
  ev.time = DWORD(detail::NowMs());
  ev.pt = Instance().CursorPos();
  backend::Current();  // the sink is attached on first use
  Instance().Deliver(ev);
}

backend::Event Event(backend::Event::Kind k) {
  backend::Event ev;
  ev.kind = k;
  return ev;
}

}  // namespace

void MoveMouse(int x, int y) {
  Instance().SetCursorPos(POINT{x, y});
  Inject(Event(backend::Event::PointerMove));
}

void ButtonDown(int button) {
  auto ev = Event(backend::Event::ButtonDown);
  ev.button = std::clamp(button, 0, 2);
  Inject(ev);
}

void ButtonUp(int button) {
  auto ev = Event(backend::Event::ButtonUp);
  ev.button = std::clamp(button, 0, 2);
  Inject(ev);
}

void Click(int x, int y, int button) {
  MoveMouse(x, y);
  ButtonDown(button);
  ButtonUp(button);
}

void Wheel(int delta) {
  auto ev = Event(backend::Event::Wheel);
  ev.wheelDelta = delta;
  Inject(ev);
}

void KeyDown(int vk) {
  auto ev = Event(backend::Event::KeyDown);
  ev.vk = vk;
  Inject(ev);
}

void KeyUp(int vk) {
  auto ev = Event(backend::Event::KeyUp);
  ev.vk = vk;
  Inject(ev);
}

void PressKey(int vk) {
  KeyDown(vk);
  KeyUp(vk);
}

void TypeChar(uint32_t cp) {
  auto ev = Event(backend::Event::Text);
  ev.ch = cp;
  Inject(ev);
}

int ProcessPending() {
  int n = 0;
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) {
    if (m.message == WM_QUIT) break;
    PeekMessage(&m, nullptr, 0, 0, PM_REMOVE);
    TranslateMessage(&m);
    DispatchMessage(&m);
    ++n;
  }
  return n;
}

void Spy(HWND h) {
  std::lock_guard<std::mutex> lock(g_spyMutex);
  g_spied.insert(h);
  detail::g_spy = &SpyRecord;
}

void StopSpy(HWND h) {
  std::lock_guard<std::mutex> lock(g_spyMutex);
  g_spied.erase(h);
}

std::vector<SpyEntry> SpyLog(HWND h) {
  std::lock_guard<std::mutex> lock(g_spyMutex);
  std::vector<SpyEntry> out;
  for (const SpyEntry& e : g_log)
    if (e.hwnd == h) out.push_back(e);
  return out;
}

std::vector<UINT> SpyMessages(HWND h) {
  std::vector<UINT> out;
  for (const SpyEntry& e : SpyLog(h)) out.push_back(e.msg);
  return out;
}

std::vector<SpyEntry> SpyLogAll() {
  std::lock_guard<std::mutex> lock(g_spyMutex);
  return g_log;
}

void ClearSpy() {
  std::lock_guard<std::mutex> lock(g_spyMutex);
  g_log.clear();
}

std::vector<uint32_t> ReadPixels(HWND h, int* width, int* height) {
  std::vector<uint32_t> out;
  if (width) *width = 0;
  if (height) *height = 0;
  detail::Wnd* w = detail::Find(h);
  if (!w) return out;
  detail::Wnd* top = detail::TopLevelOf(w);
  RECT wr = detail::ScreenRect(w), tr = detail::ScreenRect(top);
  int ww = wr.right - wr.left, wh = wr.bottom - wr.top;
  out.assign(size_t(std::max(ww, 0)) * size_t(std::max(wh, 0)), 0);
  for (int y = 0; y < wh; ++y)
    for (int x = 0; x < ww; ++x) {
      int bx = x + wr.left - tr.left, by = y + wr.top - tr.top;
      if (bx < 0 || by < 0 || bx >= top->bufW || by >= top->bufH) continue;
      out[size_t(y) * ww + x] = top->pixels[size_t(by) * top->bufW + bx];
    }
  if (width) *width = ww;
  if (height) *height = wh;
  return out;
}

uint32_t PixelAt(HWND h, int x, int y) {
  int w = 0, ht = 0;
  auto px = ReadPixels(h, &w, &ht);
  if (x < 0 || y < 0 || x >= w || y >= ht) return 0;
  return px[size_t(y) * w + x];
}

std::vector<uint32_t> ComposeScreen(int* width, int* height) {
  detail::PresentAll();
  auto& b = Instance();
  std::lock_guard<std::mutex> lock(b.m);
  RECT screen{};
  for (const auto& mon : b.monitors)
    if (mon.primary) screen = mon.monitor;
  if (IsRectEmpty(&screen) && !b.monitors.empty()) screen = b.monitors.front().monitor;
  int sw = screen.right - screen.left, sh = screen.bottom - screen.top;
  std::vector<uint32_t> out(size_t(std::max(sw, 0)) * size_t(std::max(sh, 0)), 0xFF000000u);
  for (auto it = b.stack.rbegin(); it != b.stack.rend(); ++it) {
    auto sit = b.surfaces.find(*it);
    if (sit == b.surfaces.end() || !sit->second.shown) continue;
    const Surface& s = sit->second;
    auto lit = b.layered.find(*it);
    const LayeredRecord* lr = lit == b.layered.end() ? nullptr : &lit->second;
    bool perPixel = lr && b.layeredAvailable;
    int w = perPixel ? lr->width : s.width, h = perPixel ? lr->height : s.height;
    const std::vector<uint32_t>& src = perPixel ? lr->pixels : s.pixels;
    BYTE alpha = b.layeredAvailable ? s.alpha : 255;
    if (perPixel) alpha = lr->alpha;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (s.hasShape) {
          bool in = false;
          for (const RECT& r : s.shape)
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) { in = true; break; }
          if (!in) continue;
        }
        int dx = s.rect.left + x - screen.left, dy = s.rect.top + y - screen.top;
        if (dx < 0 || dy < 0 || dx >= sw || dy >= sh) continue;
        if (size_t(y) * w + x >= src.size()) continue;
        uint32_t p = src[size_t(y) * w + x];
        uint32_t& d = out[size_t(dy) * sw + dx];
        if (!perPixel && alpha == 255) {
          d = p | 0xFF000000u;  // ordinary windows show opaque whatever their alpha bytes hold
          continue;
        }
        // Premultiplied source (per-pixel) or opaque source scaled by the constant alpha.
        uint32_t sa = perPixel ? (p >> 24) : 255;
        auto ch = [&](int shift) {
          uint32_t sc = (p >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
          sc = sc * alpha / 255;
          uint32_t a = sa * alpha / 255;
          return std::min<uint32_t>(255, sc + dc * (255 - a) / 255);
        };
        d = 0xFF000000u | (ch(16) << 16) | (ch(8) << 8) | ch(0);
      }
  }
  if (width) *width = sw;
  if (height) *height = sh;
  return out;
}

bool SaveScreenPng(const std::string& path) {
  int w = 0, h = 0;
  std::vector<uint32_t> px = ComposeScreen(&w, &h);
  if (w <= 0 || h <= 0) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    if (png) png_destroy_write_struct(&png, nullptr);
    std::fclose(f);
    return false;
  }
  std::vector<png_byte> row(size_t(w) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    std::remove(path.c_str());
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t p = px[size_t(y) * w + x];
      row[size_t(x) * 3] = png_byte((p >> 16) & 0xFF);
      row[size_t(x) * 3 + 1] = png_byte((p >> 8) & 0xFF);
      row[size_t(x) * 3 + 2] = png_byte(p & 0xFF);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

void SetLayeredAvailable(bool available) {
  Instance().layeredAvailable = available;
  // Re-apply the display rules to every layered top-level.
  for (detail::Wnd* t : detail::TopLevels())
    if (t->exStyle & WS_EX_LAYERED) detail::UpdateSurfaceShown(t);
}

const LayeredRecord* LayeredContent(HWND h) {
  auto& b = Instance();
  std::lock_guard<std::mutex> lock(b.m);
  auto it = b.layered.find(h);
  return it == b.layered.end() ? nullptr : &it->second;
}

bool IsDisplayed(HWND h) {
  auto& b = Instance();
  std::lock_guard<std::mutex> lock(b.m);
  auto it = b.surfaces.find(h);
  return it != b.surfaces.end() && it->second.shown;
}

BYTE SurfaceAlpha(HWND h) {
  auto& b = Instance();
  std::lock_guard<std::mutex> lock(b.m);
  auto it = b.surfaces.find(h);
  return it == b.surfaces.end() ? 0 : it->second.alpha;
}

void SetMonitors(const std::vector<backend::MonitorDesc>& monitors) {
  auto& b = Instance();
  std::lock_guard<std::mutex> lock(b.m);
  b.monitors = monitors;
}

std::vector<UINT> Beeps() {
  auto& b = Instance();
  std::lock_guard<std::mutex> lock(b.m);
  return b.beeps;
}

backend::Backend& DefaultBackend() { return Instance(); }

HCURSOR CurrentCursor() { return Instance().cursor; }
HWND PointerGrab() { return Instance().grab; }
std::string Clipboard() { return Instance().ClipboardText(); }

void Reset() {
  Instance().ResetState();
  {
    std::lock_guard<std::mutex> lock(g_spyMutex);
    g_spied.clear();
    g_log.clear();
  }
}

}  // namespace headless

}  // namespace win
