#include "Src/FFmpegLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Src/FFmpegStubs.h"
#include "Src/libsdl.h"

namespace {

// Leaves the process-wide loader as it found it: no extra loads, default names and folder.
class LoaderTest : public ::testing::Test {
protected:
  void TearDown() override {
    FFLoader().SetLibraryPath("");
    for (int i = 0; i < LibraryCount; ++i) FFLoader().SetLibraryFileName(static_cast<TLibrary>(i), "");
  }
};

TEST_F(LoaderTest, EverySetBindsOnThisMachine) {
  for (TLibraries set : {TaskLibraries, ProbeLibraries, PlayerLibraries, TLibraries(avDevice)}) {
    ASSERT_TRUE(FFLoader().Load(set)) << FFLoader().LastErrMsg();
    EXPECT_TRUE(FFLoader().Loaded(set));
    FFLoader().Unload(set);
  }
  // Bound cells call into the real libraries.
  ASSERT_TRUE(FFLoader().Load(PlayerLibraries + TLibraries(avDevice)));
  EXPECT_EQ(AVCodecStubs.avcodec_version() >> 16, 59u);
  EXPECT_EQ(AVFormatStubs.avformat_version() >> 16, 59u);
  EXPECT_EQ(AVUtilStubs.avutil_version() >> 16, 57u);
  EXPECT_EQ(AVFilterStubs.avfilter_version() >> 16, 8u);
  EXPECT_EQ(SwScaleStubs.swscale_version() >> 16, 6u);
  EXPECT_EQ(SwResampleStubs.swresample_version() >> 16, 4u);
  EXPECT_EQ(AVDeviceStubs.avdevice_version() >> 16, 59u);
  EXPECT_NE(AVCodecStubs.avcodec_find_decoder(AV_CODEC_ID_PCM_S16LE), nullptr);
  EXPECT_EQ(SDLStubs.SDL_Linked_Version()->major, 1);
  ASSERT_NE(LibCStubs.snprintf, nullptr);
  FFLoader().Unload(PlayerLibraries + TLibraries(avDevice));
  EXPECT_FALSE(FFLoader().Loaded(avCodec));
  EXPECT_EQ(AVCodecStubs.avcodec_open2, nullptr);
  EXPECT_EQ(SDLStubs.SDL_Init, nullptr);
}

TEST_F(LoaderTest, StandInLackingOneEntryFailsNamingEntryAndLibrary) {
  FFLoader().SetLibraryFileName(avDevice, OMBREL_STANDIN_MISSING);
  EXPECT_FALSE(FFLoader().Load(avDevice));
  const std::string msg = FFLoader().LastErrMsg();
  EXPECT_EQ(msg.rfind(std::string("Load function avdevice_register_all@") + OMBREL_STANDIN_MISSING + " error: ", 0), 0u)
      << msg;
  EXPECT_NE(msg.find("undefined symbol"), std::string::npos) << msg;
  EXPECT_FALSE(FFLoader().Loaded(avDevice));
  EXPECT_EQ(FFLoader().UseCount(avDevice), 0);
  // Cells bound before the missing one are cleared again.
  EXPECT_EQ(AVDeviceStubs.avdevice_version, nullptr);
}

TEST_F(LoaderTest, WrongMajorVersionIsRefused) {
  FFLoader().SetLibraryFileName(avDevice, OMBREL_STANDIN_OLD);
  EXPECT_FALSE(FFLoader().Load(avDevice));
  EXPECT_EQ(FFLoader().LastErrMsg(), std::string("Load library ") + OMBREL_STANDIN_OLD +
                                         " error: version 58.0.42 found, major version 59 expected");
  EXPECT_EQ(AVDeviceStubs.avdevice_version, nullptr);
}

TEST_F(LoaderTest, LibraryMissingFromItsFolderIsTakenFromTheSystemPath) {
  FFLoader().SetLibraryFileName(avDevice, "/nonexistent/libavdevice.so.59");
  ASSERT_TRUE(FFLoader().Load(avDevice)) << FFLoader().LastErrMsg();
  EXPECT_EQ(AVDeviceStubs.avdevice_version() >> 16, 59u);
  FFLoader().Unload(avDevice);
}

TEST_F(LoaderTest, MissingLibraryNamesTheFolderAskedFor) {
  FFLoader().SetLibraryPath("/nonexistent/LibAV");
  FFLoader().SetLibraryFileName(avDevice, "libavdevice_nowhere.so.59");
  EXPECT_FALSE(FFLoader().Load(avDevice));
  const std::string msg = FFLoader().LastErrMsg();
  EXPECT_EQ(msg.rfind("Load library /nonexistent/LibAV/libavdevice_nowhere.so.59 error: ", 0), 0u) << msg;
  EXPECT_NE(msg.find("No such file"), std::string::npos) << msg;
}

TEST_F(LoaderTest, FolderHoldingTheLibraryIsPreferredElseSystemPath) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "loader-test-LibAV";
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy_file(OMBREL_STANDIN_COMPLETE, dir / "libavdevice.so.59");
  FFLoader().SetLibraryPath(dir.string());
  ASSERT_TRUE(FFLoader().Load(avDevice)) << FFLoader().LastErrMsg();
  EXPECT_EQ(AVDeviceStubs.avdevice_version() & 0xffff, 42u);  // the folder's copy
  FFLoader().Unload(avDevice);
  // The folder lacks avutil: the system's copy is used.
  ASSERT_TRUE(FFLoader().Load(avUtil)) << FFLoader().LastErrMsg();
  EXPECT_EQ(AVUtilStubs.avutil_version() >> 16, 57u);
  FFLoader().Unload(avUtil);
  fs::remove_all(dir);
}

TEST_F(LoaderTest, FailedSetReleasesOnlyWhatThatCallLoaded) {
  ASSERT_TRUE(FFLoader().Load(ProbeLibraries));  // another component's set
  FFLoader().SetLibraryFileName(lbSDL, "/nonexistent/libSDL-missing.so.0");
  EXPECT_FALSE(FFLoader().Load(PlayerLibraries));
  EXPECT_EQ(FFLoader().LastErrMsg().rfind("Load library /nonexistent/libSDL-missing.so.0 error: ", 0), 0u);
  // The probe's libraries stay loaded and bound; the filter and resampler this call loaded are gone.
  EXPECT_TRUE(FFLoader().Loaded(ProbeLibraries));
  EXPECT_NE(AVCodecStubs.avcodec_open2, nullptr);
  for (TLibrary l : {avCodec, avFormat, avUtil, swScale, myUtil}) EXPECT_EQ(FFLoader().UseCount(l), 1);
  EXPECT_FALSE(FFLoader().Loaded(avFilter));
  EXPECT_FALSE(FFLoader().Loaded(swResample));

  // Overlapping sets: unloading one keeps what the other still uses.
  ASSERT_TRUE(FFLoader().Load(TaskLibraries));
  FFLoader().Unload(TaskLibraries);
  EXPECT_TRUE(FFLoader().Loaded(ProbeLibraries));
  EXPECT_FALSE(FFLoader().Loaded(avFilter));
  FFLoader().Unload(ProbeLibraries);
  EXPECT_FALSE(FFLoader().Loaded(avCodec));
}

// The task set counts the filter library but opens it only when a user first requires it;
// the record of opened files shows each opening once.
TEST_F(LoaderTest, SetLeavesTheFilterLibraryClosedUntilItIsRequired) {
  auto openings = [](size_t AFrom, const std::string& AName) {
    const std::vector<std::string> all = FFLoader().OpenedLibraries();
    return std::count(all.begin() + static_cast<std::ptrdiff_t>(AFrom), all.end(), AName);
  };
  ASSERT_FALSE(FFLoader().Bound(avFilter)) << "a test before this one still holds the filter library";
  const size_t before = FFLoader().OpenedLibraries().size();
  ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
  EXPECT_TRUE(FFLoader().Loaded(TaskLibraries));
  EXPECT_TRUE(FFLoader().Loaded(avFilter));
  EXPECT_FALSE(FFLoader().Bound(avFilter));
  EXPECT_EQ(AVFilterStubs.avfilter_graph_alloc, nullptr);
  EXPECT_EQ(openings(before, "libavfilter.so.8"), 0);
  EXPECT_TRUE(FFLoader().Bound(avCodec));

  std::string error = "untouched";
  ASSERT_TRUE(FFLoader().Require(avFilter, &error)) << FFLoader().LastErrMsg();
  EXPECT_EQ(error, "untouched");
  EXPECT_TRUE(FFLoader().Bound(avFilter));
  EXPECT_EQ(AVFilterStubs.avfilter_version() >> 16, 8u);
  EXPECT_TRUE(FFLoader().Require(avFilter));
  EXPECT_EQ(openings(before, "libavfilter.so.8"), 1);
  EXPECT_EQ(FFLoader().UseCount(avFilter), 1) << "requiring counts no load";

  FFLoader().Unload(TaskLibraries);
  EXPECT_FALSE(FFLoader().Loaded(avFilter));
  EXPECT_FALSE(FFLoader().Bound(avFilter));
  EXPECT_EQ(AVFilterStubs.avfilter_graph_alloc, nullptr);
  // Nothing loaded it: requiring it is refused, and opens nothing.
  EXPECT_FALSE(FFLoader().Require(avFilter, &error));
  EXPECT_NE(error, "untouched");
  EXPECT_EQ(openings(before, "libavfilter.so.8"), 1);
}

// A library missing when it is first needed fails as a set load would: the same text in
// LastErrMsg (and the caller's), and the loads of the set stay as they were.
TEST_F(LoaderTest, FilterLibraryMissingWhenFirstRequiredFailsWithTheLoadText) {
  FFLoader().SetLibraryFileName(avFilter, "/nonexistent/libavfilter-missing.so.8");
  ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << "the set does not need the filter library yet";
  std::string error;
  EXPECT_FALSE(FFLoader().Require(avFilter, &error));
  EXPECT_EQ(error.rfind("Load library /nonexistent/libavfilter-missing.so.8 error: ", 0), 0u) << error;
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  EXPECT_EQ(FFLoader().LastErrMsg(), error);
  EXPECT_FALSE(FFLoader().Bound(avFilter));
  EXPECT_EQ(AVFilterStubs.avfilter_graph_alloc, nullptr);
  EXPECT_TRUE(FFLoader().Bound(avCodec));
  EXPECT_EQ(FFLoader().UseCount(avFilter), 1);
  FFLoader().Unload(TaskLibraries);
  EXPECT_EQ(FFLoader().UseCount(avFilter), 0);
}

TEST_F(LoaderTest, EmptySetIsRefused) {
  EXPECT_ANY_THROW(FFLoader().Load(TLibraries{}));
  EXPECT_ANY_THROW(FFLoader().Unload(TLibraries{}));
}

}  // namespace
