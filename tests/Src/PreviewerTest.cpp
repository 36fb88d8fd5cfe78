// The previewer window of the conversion engine: made on the first picture handed from a worker,
// sized to the picture, captioned with its time, and ignoring pictures once the user closed it.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "Src/FFmpeg.h"
#include "Src/Previewer.h"
#include "base/MainThread.h"
#include "classlib/Graphics.h"
#include "platform/WinUser.h"
#include "platform/backend/headless/Headless.h"

namespace {

std::unique_ptr<TBitmap> Solid(int W, int H, uint8_t R, uint8_t G, uint8_t B) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf32bit);
  bmp->SetSize(W, H);
  for (int y = 0; y < H; ++y) {
    uint8_t* p = static_cast<uint8_t*>(bmp->ScanLine(y));
    for (int x = 0; x < W; ++x) {
      p[x * 4] = B;
      p[x * 4 + 1] = G;
      p[x * 4 + 2] = R;
      p[x * 4 + 3] = 255;
    }
  }
  return bmp;
}

// Runs AWork on a worker while the main thread serves its hand-overs.
void OnWorker(const std::function<void()>& AWork) {
  std::atomic<bool> done{false};
  std::thread t([&] {
    AWork();
    done = true;
    WakeMainThread();
  });
  while (!done) ServeMainThread(5);
  t.join();
}

int CountPixels(win::HWND h, uint32_t AColour) {
  int w = 0, hh = 0;
  int n = 0;
  for (uint32_t p : win::headless::ReadPixels(h, &w, &hh))
    if ((p & 0xFFFFFF) == AColour) ++n;
  return n;
}

}  // namespace

TEST(Previewer, FormatsTheTimeOfThePicture) {
  EXPECT_EQ(TPreviewer::FormatPTS(1500000), "00:00:01.500");
  EXPECT_EQ(TPreviewer::FormatPTS(3723004000LL), "01:02:03.004");
  EXPECT_EQ(TPreviewer::FormatPTS(0), "00:00:00.000");
  EXPECT_EQ(TPreviewer::FormatPTS(TPreviewer::NoPTS), "N/A");
}

TEST(Previewer, ShowsPicturesFromAWorkerThreadUntilTheUserClosesIt) {
  auto previewer = std::make_unique<TPreviewer>();
  auto red = Solid(40, 30, 220, 20, 20);
  bool shown = false;
  OnWorker([&] { shown = previewer->PaintFrame(red.get(), 1, 1500000); });
  ASSERT_TRUE(shown);
  TForm* form = previewer->Form();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(form->ClientWidth(), 40);
  EXPECT_EQ(form->ClientHeight(), 30);
  EXPECT_EQ(form->Caption(), "00:00:01.500");
  EXPECT_EQ(form->FormStyle(), fsStayOnTop);
  EXPECT_GE(CountPixels(form->Handle(), 0xDC1414), 40 * 30);

  auto blue = Solid(40, 30, 20, 20, 220);
  OnWorker([&] { shown = previewer->PaintFrame(blue.get(), 2, 1600000); });
  EXPECT_TRUE(shown);
  EXPECT_EQ(form->Caption(), "00:00:01.600");
  EXPECT_GE(CountPixels(form->Handle(), 0x1414DC), 40 * 30);

  form->Close();
  EXPECT_TRUE(previewer->Closed());
  OnWorker([&] { shown = previewer->PaintFrame(red.get(), 3, 1700000); });
  EXPECT_FALSE(shown);
  previewer.reset();
}

// The previewer listens to the application's messages through a hook of its own: a press on
// the picture drags the window, and the program's OnMessage stays the program's, set before or
// after the previewer came, and is left alone when the previewer goes.
TEST(Previewer, APressOnThePictureDragsTheWindowBesideTheProgramsOwnHandler) {
  ASSERT_NE(Application, nullptr);
  auto previewer = std::make_unique<TPreviewer>();
  auto red = Solid(60, 40, 220, 20, 20);
  bool shown = false;
  OnWorker([&] { shown = previewer->PaintFrame(red.get(), 1, 0); });
  ASSERT_TRUE(shown);
  win::HWND h = previewer->Form()->Handle();
  Application->ProcessMessages();

  std::vector<win::UINT> seen;
  Application->OnMessage = [&](win::MSG& m, bool&) {
    if (m.message == win::WM_LBUTTONDOWN || m.message == win::WM_USER + 1) seen.push_back(m.message);
  };
  win::RECT before{};
  win::GetWindowRect(h, &before);
  win::POINT p{20, 20};
  win::ClientToScreen(h, &p);
  win::headless::MoveMouse(p.x, p.y);
  win::headless::ButtonDown();
  win::headless::MoveMouse(p.x + 15, p.y + 10);
  win::headless::MoveMouse(p.x + 30, p.y + 20);
  win::headless::ButtonUp();
  win::PostMessage(h, win::WM_USER + 1, 0, 0);
  Application->ProcessMessages();
  win::RECT after{};
  win::GetWindowRect(h, &after);
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 20);
  EXPECT_EQ(seen, std::vector<win::UINT>{win::WM_USER + 1}) << "the press was the previewer's";

  previewer.reset();
  ASSERT_TRUE(Application->OnMessage);
  seen.clear();
  win::PostMessage(Application->Handle(), win::WM_USER + 1, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(seen, std::vector<win::UINT>{win::WM_USER + 1});
  Application->OnMessage = nullptr;
}
