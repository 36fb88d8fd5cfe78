// Frame hooks: libraries given with "vhook" are loaded, configured, chained per engine and run
// on pictures; failures give their codes and messages; nothing changes PATH or the folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FrameHook.h"
#include "tests/Src/EngineTestBase.h"
#include "base/DynLib.h"
#include "base/Files.h"

namespace {

// The test library's counters, read through its own exports.
struct THookSpy {
  TLibHandle Lib = LoadLibrary(OMBREL_FRAMEHOOK_INVERT);
  int Get(const char* AName) const { return *GetProcAddressAs<int*>(Lib, AName); }
  int64_t LastPts() const { return *GetProcAddressAs<int64_t*>(Lib, "framehook_last_pts"); }
  std::string LastArgs() const { return GetProcAddressAs<const char* (*)()>(Lib, "framehook_last_args")(); }
  ~THookSpy() { FreeLibrary(Lib); }
};

// A small planar picture with a luma gradient and flat chroma.
struct TTestPicture {
  static constexpr int W = 6, H = 4, Stride = 8;
  std::vector<uint8_t> Y = std::vector<uint8_t>(Stride * H, 0xEE), U = std::vector<uint8_t>(4 * 2, 128),
                       V = std::vector<uint8_t>(4 * 2, 128);
  TTestPicture() {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) Y[y * Stride + x] = static_cast<uint8_t>(10 * y + x);
  }
  uint8_t* Data[4] = {Y.data(), U.data(), V.data(), nullptr};
  int32_t Linesize[4] = {Stride, 4, 4, 0};
};

class FrameHooks : public TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    ASSERT_NE(Spy.Lib, nullptr) << GetLastLoadError();
  }
  std::string Raised(const std::string& AValue) { return TEngineTest::Raised("vhook", AValue); }
  THookSpy Spy;
};

TEST_F(FrameHooks, VhookLoadsTheLibraryAndTheChainChangesThePicture) {
  const std::string pathBefore = GetEnvironmentVariable("PATH");
  char cwdBefore[4096];
  ASSERT_NE(::getcwd(cwdBefore, sizeof cwdBefore), nullptr);
  const int configured = Spy.Get("framehook_configured");

  E->DispatchOption("vhook", OMBREL_FRAMEHOOK_INVERT);
  EXPECT_TRUE(E->Fusing_vhook);
  EXPECT_EQ(E->FrameHooks().Count(), 1);
  EXPECT_EQ(Spy.Get("framehook_configured"), configured + 1) << "configured even without arguments";
  EXPECT_EQ(GetEnvironmentVariable("PATH"), pathBefore);
  char cwdAfter[4096];
  ASSERT_NE(::getcwd(cwdAfter, sizeof cwdAfter), nullptr);
  EXPECT_STREQ(cwdAfter, cwdBefore);

  TTestPicture p;
  RunFrameHooks(*E, p.Data, p.Linesize, AV_PIX_FMT_YUV420P, TTestPicture::W, TTestPicture::H, 1234567);
  for (int y = 0; y < TTestPicture::H; ++y) {
    for (int x = 0; x < TTestPicture::W; ++x) EXPECT_EQ(p.Y[y * TTestPicture::Stride + x], 255 - (10 * y + x));
    // The padding beyond the width is not the picture's.
    EXPECT_EQ(p.Y[y * TTestPicture::Stride + TTestPicture::W], 0xEE);
  }
  EXPECT_EQ(p.U[0], 128) << "only the luma plane is the hook's business";
  EXPECT_EQ(Spy.LastPts(), 1234567);
  EXPECT_EQ(Spy.Get("framehook_last_pix_fmt"), AV_PIX_FMT_YUV420P);
}

TEST_F(FrameHooks, HooksRunInChainOrderEachWithItsOwnContext) {
  // The same library twice: loaded once, configured twice. add=3 then invert: 255 - (v + 3).
  const std::string lib = OMBREL_FRAMEHOOK_INVERT;
  E->DispatchOption("vhook", lib + "|add=3|label with blanks");
  EXPECT_EQ(Spy.LastArgs(), "add=3;label with blanks") << "\"|\" splits, blanks stay";
  E->DispatchOption("vhook", lib + "   extra  words");
  EXPECT_EQ(Spy.LastArgs(), "extra;words") << "runs of blanks count as one";
  EXPECT_EQ(E->FrameHooks().Count(), 2);

  TTestPicture p;
  RunFrameHooks(*E, p.Data, p.Linesize, AV_PIX_FMT_YUV420P, TTestPicture::W, TTestPicture::H, 0);
  EXPECT_EQ(p.Y[0], 255 - 3);
  EXPECT_EQ(p.Y[TTestPicture::Stride + 2], 255 - (12 + 3));

  // Reset releases every hook (each with its own context: ASan sees no double free).
  const int released = Spy.Get("framehook_released");
  E->Reset();
  EXPECT_EQ(Spy.Get("framehook_released"), released + 2);
  EXPECT_TRUE(E->FrameHooks().Empty());
  EXPECT_FALSE(E->Fusing_vhook);
  TTestPicture q;
  RunFrameHooks(*E, q.Data, q.Linesize, AV_PIX_FMT_YUV420P, TTestPicture::W, TTestPicture::H, 0);
  EXPECT_EQ(q.Y[0], 0) << "no hooks, no change";
}

TEST_F(FrameHooks, DestroyingTheEngineReleasesItsHooks) {
  E->DispatchOption("vhook", OMBREL_FRAMEHOOK_INVERT);
  const int released = Spy.Get("framehook_released");
  E.reset();
  EXPECT_EQ(Spy.Get("framehook_released"), released + 1);
}

TEST_F(FrameHooks, FailuresRaiseWithTheValueAndLogTheCause) {
  struct TCase {
    std::string Value;
    std::string LogText;
  };
  const std::vector<TCase> cases = {
      {"", ""},                                                  // no words: nothing to load
      {"   ", ""},
      {"/nonexistent/hook.so", "/nonexistent/hook.so"},          // dlopen's own message names it
      {OMBREL_FRAMEHOOK_NOPROCESS, std::string("Failed to find Process entrypoint in ") + OMBREL_FRAMEHOOK_NOPROCESS},
      {std::string(OMBREL_FRAMEHOOK_NOCONFIGURE) + " arg",
       std::string("Failed to find Configure entrypoint in ") + OMBREL_FRAMEHOOK_NOCONFIGURE},
      {std::string(OMBREL_FRAMEHOOK_INVERT) + " fail", std::string("Failed to Configure ") + OMBREL_FRAMEHOOK_INVERT},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Value);
    log_.clear();
    EXPECT_EQ(Raised(c.Value), "Failed to add video hook function: " + c.Value);
    if (!c.LogText.empty()) {
      EXPECT_TRUE(Logged(c.LogText));
    }
  }
  EXPECT_TRUE(E->FrameHooks().Empty());
  EXPECT_FALSE(E->Fusing_vhook);

  // Without arguments a library lacking Configure is added unconfigured.
  E->DispatchOption("vhook", OMBREL_FRAMEHOOK_NOCONFIGURE);
  EXPECT_EQ(E->FrameHooks().Count(), 1);
  TTestPicture p;
  RunFrameHooks(*E, p.Data, p.Linesize, AV_PIX_FMT_GRAY8, TTestPicture::W, TTestPicture::H, 0);
  EXPECT_EQ(p.Y[1], 254);
}

TEST(FrameHookCommand, SplitsLikeStrtokAndKeepsAtMost64Words) {
  EXPECT_EQ(SplitFrameHookCommand("a|b c||d|"), (std::vector<std::string>{"a", "b c", "d"}));
  EXPECT_EQ(SplitFrameHookCommand("  a  b "), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(SplitFrameHookCommand("||").empty());
  std::string many = "lib";
  for (int i = 0; i < 100; ++i) many += " x" + std::to_string(i);
  const auto words = SplitFrameHookCommand(many);
  ASSERT_EQ(words.size(), 64u);
  EXPECT_EQ(words.back(), "x62");
}

TEST(FrameHookChain, LowLevelCodes) {
  TFrameHookEntry* first = nullptr;
  char* none[] = {nullptr};
  EXPECT_EQ(FrameHookAdd(first, 0, none), -2);
  char missing[] = "/nonexistent/hook.so";
  char* argv[] = {missing, nullptr};
  EXPECT_EQ(FrameHookAdd(first, 1, argv), -1);
  EXPECT_EQ(first, nullptr);
  FrameHookRelease(first);  // an empty chain is fine
}

}  // namespace
