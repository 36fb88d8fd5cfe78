// The preview's snapshots: the free file names per extension, each picture type written and
// read back at the frame's size and colours, and what a folder that cannot be written leaves.
// The preview panel of the main window, headless over SDL's dummy drivers: opening a clip
// paused, its labels, slider and stream lists, a bad file, a selection that arrives while a
// file opens, and the slider and stop button with nothing to act on.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/forms/Snapshots.h"
#include "app/forms/Unit1.h"
#include "base/MainThread.h"
#include "Src/fixtures/MediaFixtures.h"
#include "tests/classlib/ControlTestFixture.h"
#include "base/Exception.h"
#include "base/Files.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/Codecs.h"

using namespace snapshots;
namespace fs = std::filesystem;

namespace {

struct TempDir {
  fs::path Path;
  TempDir() {
    Path = fs::temp_directory_path() / ("ombrel-preview-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Path);
    fs::create_directories(Path);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(Path, ec);
  }
  std::string File(const std::string& AName) const { return (Path / AName).string(); }
  void Touch(const std::string& AName) const { std::ofstream(File(AName)) << "x"; }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(Path)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
};

// A 32-bit frame as the player hands it over: the left half red, the right half blue, the
// fourth byte 0 as the drawing layer leaves it.
std::unique_ptr<TBitmap> Frame(int W, int H) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(W, H);
  for (int y = 0; y < H; ++y) {
    auto* row = static_cast<uint8_t*>(b->ScanLine(y));
    for (int x = 0; x < W; ++x) {
      const bool left = x < W / 2;
      row[4 * x + 0] = left ? 0 : 220;   // B
      row[4 * x + 1] = 30;               // G
      row[4 * x + 2] = left ? 220 : 0;   // R
      row[4 * x + 3] = 0;
    }
  }
  return b;
}

std::vector<uint8_t> ReadAll(const std::string& AFile) {
  std::ifstream in(AFile, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(SnapshotNames, TheSmallestFreeNumberPerExtension) {
  struct Case {
    std::vector<std::string> Present;
    std::string Preview;
    TSnapshotType Type;
    std::string Expected;
  };
  const Case cases[] = {
      {{}, "/videos/clip.mp4", TSnapshotType::Png, "clip_1.png"},
      {{"clip_1.png", "clip_2.png"}, "/videos/clip.mp4", TSnapshotType::Png, "clip_3.png"},
      {{"clip_1.png", "clip_2.png"}, "/videos/clip.mp4", TSnapshotType::Jpg, "clip_1.jpg"},
      {{"clip_2.bmp"}, "/videos/clip.mp4", TSnapshotType::Bmp, "clip_1.bmp"},  // a gap is filled
      {{"clip_1.PNG"}, "/videos/clip.mp4", TSnapshotType::Png, "clip_1.png"},  // names are case-sensitive
      {{"clip_1.gif/"}, "/videos/clip.mp4", TSnapshotType::Gif, "clip_2.gif"}, // a folder takes the name
      {{}, "/videos/a.b.avi", TSnapshotType::Bmp, "a.b_1.bmp"},
      {{}, "/videos/noext", TSnapshotType::Bmp, "noext_1.bmp"},
      {{}, "电影 片段.mkv", TSnapshotType::Png, "电影 片段_1.png"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    for (const auto& p : c.Present) {
      if (p.back() == '/')
        fs::create_directories(dir.File(p));
      else
        dir.Touch(p);
    }
    const std::string base = ChangeFileExt(ExtractFileName(c.Preview), "");
    EXPECT_EQ(FreeSnapshotName(dir.Path.string(), base, c.Type), dir.File(c.Expected)) << c.Preview << " " << c.Expected;
  }
}

TEST(SnapshotNames, TypeTextsAndExtensions) {
  struct Case {
    TSnapshotType Type;
    const char* Text;
    const char* Ext;
  };
  const Case cases[] = {{TSnapshotType::Bmp, "BMP", ".bmp"},
                        {TSnapshotType::Jpg, "JPG", ".jpg"},
                        {TSnapshotType::Gif, "GIF", ".gif"},
                        {TSnapshotType::Png, "PNG", ".png"}};
  for (const auto& c : cases) {
    EXPECT_STREQ(SnapshotTypeText(c.Type), c.Text);
    EXPECT_STREQ(SnapshotExtension(c.Type), c.Ext);
    EXPECT_EQ(SnapshotTypeFromText(c.Text), c.Type);
  }
  for (const char* other : {"TIFF", "bmp", "", "Error", " PNG"}) EXPECT_FALSE(SnapshotTypeFromText(other)) << other;
}

TEST(Snapshots, EachTypeIsWrittenAndReadsBackAtTheFramesSizeAndColours) {
  struct Case {
    TSnapshotType Type;
    img::FileKind Kind;
    int Tolerance;  // JPEG is lossy
  };
  const Case cases[] = {{TSnapshotType::Bmp, img::FileKind::Bmp, 0},
                        {TSnapshotType::Jpg, img::FileKind::Jpeg, 24},
                        {TSnapshotType::Gif, img::FileKind::Gif, 0},
                        {TSnapshotType::Png, img::FileKind::Png, 0}};
  TempDir dir;
  auto frame = Frame(48, 32);
  for (const auto& c : cases) {
    SCOPED_TRACE(SnapshotTypeText(c.Type));
    const std::string name = TakeSnapshot(*frame, "/somewhere/clip.mp4", dir.Path.string(), c.Type);
    EXPECT_EQ(name, dir.File(std::string("clip_1") + SnapshotExtension(c.Type)));
    const auto bytes = ReadAll(name);
    ASSERT_EQ(img::DetectKind(bytes.data(), bytes.size()), c.Kind);
    img::RawImage im;
    switch (c.Kind) {
      case img::FileKind::Bmp: im = img::ReadBmp(bytes.data(), bytes.size()); break;
      case img::FileKind::Jpeg: im = img::ReadJpeg(bytes.data(), bytes.size()); break;
      case img::FileKind::Gif: im = img::ReadGif(bytes.data(), bytes.size()); break;
      case img::FileKind::Png: im = img::ReadPng(bytes.data(), bytes.size()); break;
      default: break;
    }
    ASSERT_EQ(im.Width, 48);
    ASSERT_EQ(im.Height, 32);
    if (c.Type == TSnapshotType::Bmp) {
      EXPECT_EQ(im.BitsPerPixel, 24);
    }
    // Opaque, and each half keeps its colour.
    for (auto [x, rgb] : {std::pair{4, 0xDC1E00u}, std::pair{43, 0x001EDCu}}) {
      const uint32_t p = im.Pixel(x, 16);
      EXPECT_EQ(p >> 24, 255u) << x;
      for (int shift : {16, 8, 0})
        EXPECT_NEAR(int((p >> shift) & 0xFF), int((rgb >> shift) & 0xFF), c.Tolerance) << x << " " << shift;
    }
  }
  // The frame handed in is left as it was.
  EXPECT_EQ(frame->PixelFormat(), pf32bit);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"clip_1.bmp", "clip_1.gif", "clip_1.jpg", "clip_1.png"}));
}

TEST(Snapshots, NumbersFollowOnAndAnEmptyFrameSavesNothing) {
  TempDir dir;
  dir.Touch("clip_1.png");
  dir.Touch("clip_2.png");
  auto frame = Frame(16, 8);
  EXPECT_EQ(TakeSnapshot(*frame, "/v/clip.mp4", dir.Path.string(), TSnapshotType::Png), dir.File("clip_3.png"));
  EXPECT_EQ(TakeSnapshot(*frame, "/v/clip.mp4", dir.Path.string(), TSnapshotType::Jpg), dir.File("clip_1.jpg"));
  EXPECT_EQ(TakeSnapshot(*frame, "/v/clip.mp4", dir.Path.string(), TSnapshotType::Png), dir.File("clip_4.png"));

  TBitmap empty;
  EXPECT_EQ(TakeSnapshot(empty, "/v/clip.mp4", dir.Path.string(), TSnapshotType::Bmp), "");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"clip_1.jpg", "clip_1.png", "clip_2.png", "clip_3.png", "clip_4.png"}));
}

TEST(Snapshots, AFolderThatCannotBeWrittenRaisesItsReasonAndLeavesNoFile) {
  TempDir dir;
  dir.Touch("plain-file");
  auto frame = Frame(16, 8);
  // A "folder" below a plain file cannot hold anything.
  const std::string folder = dir.File("plain-file/shots");
  try {
    TakeSnapshot(*frame, "/v/clip.mp4", folder, TSnapshotType::Png);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message.find("clip_1.png"), std::string::npos) << e.Message;
    EXPECT_NE(e.Message.find("Not a directory"), std::string::npos) << e.Message;
  }
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"plain-file"});
}

TEST(Snapshots, AWriteThatFailsHalfWayRemovesThePartialFile) {
  TempDir dir;
  auto frame = Frame(64, 64);  // a 12 KB BMP, more than the file size limit below
  // The file size limit makes the write stop part of the way with EFBIG.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string message;
  try {
    TakeSnapshot(*frame, "/v/clip.mp4", dir.Path.string(), TSnapshotType::Bmp);
  } catch (const Exception& e) {
    message = e.Message;
  }
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_NE(message.find("clip_1.bmp"), std::string::npos) << message;
  EXPECT_NE(message.find("File too large"), std::string::npos) << message;
  EXPECT_TRUE(dir.Names().empty());
}

namespace {

class PreviewForm : public ctltest::ControlTest {
protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ControlTest::SetUp();
    F = new TForm1(owner.get());
  }
  void TearDown() override {
    if (F) F->FFPlayer->Stop(true);
    ControlTest::TearDown();
  }
  std::vector<std::string> LogLines() const {
    std::vector<std::string> out;
    for (int32_t i = 0; i < F->mmoLog->Lines()->Count(); ++i) out.push_back(F->mmoLog->Lines()->Strings(i));
    return out;
  }
  bool Logged(const std::string& ALine) const {
    auto l = LogLines();
    return std::find(l.begin(), l.end(), ALine) != l.end();
  }
  bool WaitLogged(const std::string& ALine, double ASeconds = 10) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(ASeconds);
    while (!Logged(ALine)) {
      if (std::chrono::steady_clock::now() > until) return false;
      ServeMainThread(5);
      Pump();
    }
    return true;
  }
  TForm1* F = nullptr;
};

}  // namespace

TEST_F(PreviewForm, AClipOpensPausedWithItsLabelsSliderAndStreamLists) {
  const std::string clip = mediafix::FixturePath(mediafix::TFixture::AviMpeg4Mp3);
  F->T_Movie_PLayer_FileName = clip;
  F->Button31->Click();
  ASSERT_TRUE(WaitLogged("Pause")) << testing::PrintToString(LogLines());
  EXPECT_TRUE(F->FFPlayer->Paused());
  const auto lines = LogLines();
  bool sizeLine = false;
  for (const auto& l : lines) sizeLine |= l.rfind("duration: 2.", 0) == 0 && l.find(", frame size: 160x120") != std::string::npos;
  EXPECT_TRUE(sizeLine) << testing::PrintToString(lines);
  EXPECT_EQ(F->Label2->Caption().substr(0, 2), "2.");
  EXPECT_EQ(F->Label3->Caption().substr(0, 3), "0.0");  // "0.0", or the first position "0.00"
  EXPECT_EQ(F->kxSkinSlider1->MaxValue(), F->kxSkinSlider1->Width());
  EXPECT_EQ(F->kxSkinSlider1->Value(), 0);
  EXPECT_EQ(F->kxSkinSlider1->Increment(), 5);
  // One video and one audio stream: each list holds its item, both stay disabled.
  struct Case {
    TComboBox* Box;
    std::vector<std::string> Items;
    bool Enabled;
  };
  const Case cases[] = {{F->cboVideo, {"Video#0"}, false}, {F->cboAudio, {"Audio#1"}, false}, {F->cboSubtitle, {}, false}};
  for (const auto& c : cases) {
    std::vector<std::string> items;
    for (int32_t i = 0; i < c.Box->Items()->Count(); ++i) items.push_back(c.Box->Items()->Strings(i));
    EXPECT_EQ(items, c.Items) << c.Box->Name();
    EXPECT_EQ(c.Box->Enabled(), c.Enabled) << c.Box->Name();
  }
}

TEST_F(PreviewForm, AFileThatCannotBeOpenedLogsTheReasonAndLeavesTheSliderAt0) {
  F->T_Movie_PLayer_FileName = mediafix::BadInputPath(mediafix::TBadInput::TextAsAvi);
  F->Button31->Click();
  EXPECT_FALSE(LogLines().empty());
  EXPECT_EQ(F->kxSkinSlider1->Value(), 0);
  // A release of the slider then seeks nothing and only lets go of it.
  F->kxSkinSlider1MouseDown(F->kxSkinSlider1, mbLeft, {}, 5, 5);
  EXPECT_EQ(F->kxSkinSlider1_down_UP, "Down");
  F->kxSkinSlider1->SetValue(F->kxSkinSlider1->MaxValue() / 2);
  F->kxSkinSlider1MouseUp(F->kxSkinSlider1, mbLeft, {}, 5, 5);
  EXPECT_EQ(F->kxSkinSlider1_down_UP, "UP");
  EXPECT_FALSE(Logged("Resume"));
}

TEST_F(PreviewForm, StopWithoutASelectedRowDoesNothing) {
  F->T_Movie_PLayer_FileName = mediafix::FixturePath(mediafix::TFixture::AviMpeg4Mp3);
  ASSERT_EQ(F->lvFiles->Selected(), nullptr);
  F->kxSkinButton15->Click();
  for (int i = 0; i < 20; ++i) ServeMainThread(5);
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(PreviewForm, ASelectionWhileAFileOpensIsTakenUpAfterItNotInsideIt) {
  const std::string first = mediafix::FixturePath(mediafix::TFixture::AviMpeg4Mp3);
  const std::string second = mediafix::FixturePath(mediafix::TFixture::ShortStereo);
  auto original = F->FFPlayer->OnFileOpen;
  int opens = 0, nested = 0;
  F->FFPlayer->OnFileOpen = [&](TObject* S, int64_t D, int32_t W, int32_t H, int32_t& SW, int32_t& SH) {
    ++opens;
    if (opens == 1) {
      // Another row selected while the first file opens.
      F->T_Movie_PLayer_FileName = second;
      const int before = opens;
      F->Button31->Click();
      nested += opens != before;
    }
    original(S, D, W, H, SW, SH);
  };
  F->T_Movie_PLayer_FileName = first;
  F->Button31->Click();
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(opens, 2);
  EXPECT_EQ(F->FFPlayer->FileName(), second);
}
