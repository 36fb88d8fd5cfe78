// Every format the two catalogues offer, converted as adding a file prepares it: the format's
// values, the default presets, the output record, then the task component on several threads.
// Each output is read back: its streams, their codecs, frame size and length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Src/CodecMap.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/Quillon.h"
#include "app/catalogue/FormatParams.h"
#include "app/catalogue/OutputRecord.h"
#include "app/catalogue/Presets.h"
#include "app/catalogue/SettingsTables.h"
#include "base/MainThread.h"
#include "tests/Src/TranscodeTestUtil.h"
#include "tests/Src/fixtures/MediaFixtures.h"

namespace {

namespace fs = std::filesystem;
using namespace catalogue;
using namespace std::chrono_literals;
using mediafix::FixtureInfo;
using mediafix::FixturePath;
using mediafix::TFixture;

constexpr int kRefusedKey = 909;  // MS-MPEG4 v1, which has no encoder

struct TJob {
  int Key = 0;
  bool Settings = false;
  TConversionFields Fields;
  TOutputOptions Record;
  int Task = -1;
  std::string AddError;  // SetOutputFile's refusal
  TTerminateInfo End;
  bool Ended = false;
  std::string Name() const { return (Settings ? "settings " : "main ") + std::to_string(Key); }
};

TJob MakeJob(int AKey, bool ASettings) {
  TJob j;
  j.Key = AKey;
  j.Settings = ASettings;
  return j;
}

// The fields and the record of one format, as adding a file builds them.
void Prepare(TJob& AJob, const std::string& AInput, const fs::path& AFolder) {
  TConversionFields& f = AJob.Fields;
  f.Reset();
  f.Video_AddFileName = AInput;
  fs::create_directories(AFolder);
  const TOutputTarget target{AFolder.string()};
  const TPresetEntry* presets;
  if (AJob.Settings) {
    ApplySettingsFormat(AJob.Key, f, target);
    presets = SettingsPresets().Find(AJob.Key);
  } else {
    ASSERT_TRUE(ApplyFormat(AJob.Key, f, target));
    presets = MainPresets().Find(AJob.Key);
  }
  ASSERT_NE(presets, nullptr) << AJob.Name();
  TPresetTexts texts;
  for (TPresetRole r : kPresetFillOrder) texts[RoleIndex(r)] = std::string(presets->DefaultText(r));
  CommitPresets(texts, f);
  AJob.Record = OutputRecordOfFields(f);
}

bool ServeUntil(const std::function<bool()>& ADone, std::chrono::seconds ALimit) {
  const auto end = std::chrono::steady_clock::now() + ALimit;
  while (!ADone()) {
    if (std::chrono::steady_clock::now() > end) return false;
    CheckSynchronize(2);
  }
  return true;
}

// The codec an encoder name stands for after the engine's mapping.
AVCodecID EncoderCodec(const std::string& AName) {
  bool unavailable = false;
  const std::string name = MapEncoderName(AName, unavailable);
  const AVCodec* c = unavailable ? nullptr : AVCodecStubs.avcodec_find_encoder_by_name(name.c_str());
  return c ? c->id : AV_CODEC_ID_NONE;
}

bool IsProgramStream(const std::string& APath) {
  const std::string ext = fs::path(APath).extension().string();
  return ext == ".mpg" || ext == ".vob" || ext == ".mpeg";
}

// The picture size an H.263 output gets: the smallest standard size that holds the picture.
std::pair<int, int> H263Size(int W, int H) {
  static const std::pair<int, int> kSizes[] = {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}};
  for (const auto& s : kSizes)
    if (W <= s.first && H <= s.second) return s;
  return kSizes[4];
}

class CatalogueConvert : public ::testing::Test {
protected:
  void SetUp() override {
    InitMainThread();
    ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
    dir_ = fs::temp_directory_path() / ("ombrel-catalogue-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    GetFFLogger()->OnLog = nullptr;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
    FFLoader().Unload(TaskLibraries);
  }

  // Adds every job to one task component, runs them on several threads and waits.
  void Run(std::vector<TJob>& AJobs, TFixture AInput) {
    const std::string input = FixturePath(AInput);
    TQuillon q(nullptr);
    q.SetVerbose(-1);
    std::mutex m;
    std::map<int, TTerminateInfo> ends;
    std::atomic<bool> final{false};
    q.OnTerminate = [&](TObject*, const TTerminateInfo& I) {
      if (I.TaskIndex < 0) {
        final = true;
        return;
      }
      std::lock_guard g(m);
      ends[I.TaskIndex] = I;
    };
    for (TJob& j : AJobs) {
      Prepare(j, input, dir_ / (std::string(j.Settings ? "s" : "m") + std::to_string(j.Key)));
      if (HasFatalFailure()) return;
      const int t = q.AddTask(input);
      ASSERT_GE(t, 0) << q.LastErrMsg();
      if (!q.SetOutputFile(t, j.Fields.Video_OutPutFileName, &j.Record)) {
        j.AddError = q.LastErrMsg();
        q.RemoveTask(t);
        continue;
      }
      j.Task = t;
    }
    const int threads = static_cast<int>(std::max(2u, std::min(4u, std::thread::hardware_concurrency())));
    q.Start(threads);
    ASSERT_TRUE(ServeUntil([&] { return final.load(); }, 1200s));
    std::lock_guard g(m);
    for (TJob& j : AJobs) {
      if (j.Task < 0) continue;
      auto it = ends.find(j.Task);
      if (it == ends.end()) continue;
      j.End = it->second;
      j.Ended = true;
    }
  }

  // Reads one output back and compares it with what the format asked for.
  void CheckOutput(const TJob& J, const mediafix::TFixtureInfo& AIn, bool ASubtitled = false) {
    SCOPED_TRACE(J.Name() + " -> " + J.Fields.Video_OutPutFileName);
    if (std::getenv("OMBREL_CATALOGUE_REPORT") && (!J.AddError.empty() || !J.End.Finished || J.End.Exception))
      std::printf("REPORT %s: FAILED %s%s\n", J.Name().c_str(), J.AddError.c_str(), J.End.ExceptionMsg.c_str());
    ASSERT_TRUE(J.AddError.empty()) << J.AddError;
    ASSERT_TRUE(J.Ended) << "no end event";
    ASSERT_TRUE(J.End.Finished && !J.End.Exception) << J.End.ExceptionMsg;
    const transcodetest::TDecoded d = transcodetest::DecodeFile(J.Fields.Video_OutPutFileName);
    if (std::getenv("OMBREL_CATALOGUE_REPORT"))
      std::printf("REPORT %s %s: %s v=%s %dx%d %.2fs a=%s %dHz %dch %.2fs\n", J.Name().c_str(),
                  fs::path(J.Fields.Video_OutPutFileName).extension().c_str(), d.FormatName.c_str(),
                  AVCodecStubs.avcodec_get_name(d.VideoCodec), d.Width, d.Height, d.VideoDuration(),
                  AVCodecStubs.avcodec_get_name(d.AudioCodec), d.SampleRate, d.Channels, d.AudioDuration());
    ASSERT_TRUE(d.Opened) << d.Error;
    EXPECT_EQ(d.DecodeErrors, 0);
    const TOutputOptions& r = J.Record;
    const bool wantVideo = AIn.VideoStreams > 0 && !r.DisableVideo;
    const bool wantAudio = AIn.AudioStreams > 0;
    EXPECT_EQ(d.VideoStreams, wantVideo ? 1 : 0);
    EXPECT_EQ(d.AudioStreams, wantAudio ? 1 : 0);
    if (wantVideo && d.VideoStreams) {
      if (!r.VideoCodec.empty() && r.TargetType == ttIgnore) {
        EXPECT_EQ(d.VideoCodec, EncoderCodec(r.VideoCodec));
      }
      int w = AIn.Width, h = AIn.Height;
      if (r.TargetType == ttVCD) {
        w = 352, h = 288;
      } else if (r.TargetType == ttSVCD) {
        w = 480, h = 576;
      } else if (r.TargetType == ttDVD) {
        w = 720, h = 576;
      } else if (!r.FrameSize.empty()) {
        const size_t star = r.FrameSize.find('*');
        ASSERT_NE(star, std::string::npos) << r.FrameSize;
        w = std::stoi(r.FrameSize.substr(0, star));
        h = std::stoi(r.FrameSize.substr(star + 1));
      }
      if (d.VideoCodec == AV_CODEC_ID_H263) {
        std::tie(w, h) = H263Size(w, h);
      } else if (d.VideoCodec != AV_CODEC_ID_FFV1 && d.VideoCodec != AV_CODEC_ID_RAWVIDEO) {
        w -= w % 2;
        h -= h % 2;
      }
      EXPECT_EQ(d.Width, w);
      EXPECT_EQ(d.Height, h);
      EXPECT_NEAR(d.VideoDuration(), AIn.DurationUs / 1e6, 0.25);
    }
    if (wantAudio && d.AudioStreams) {
      if (!r.AudioCodec.empty() && r.TargetType == ttIgnore) {
        AVCodecID want = EncoderCodec(r.AudioCodec);
        if (want == AV_CODEC_ID_AAC && IsProgramStream(J.Fields.Video_OutPutFileName)) want = AV_CODEC_ID_MP2;
        EXPECT_EQ(d.AudioCodec, want);
      }
      EXPECT_NEAR(d.AudioDuration(), AIn.DurationUs / 1e6, 0.3);
    }
    // A text subtitle goes along into Matroska, which takes text subtitles.
    if (ASubtitled && fs::path(J.Fields.Video_OutPutFileName).extension() == ".mkv")
      EXPECT_EQ(d.Streams - d.VideoStreams - d.AudioStreams, 1);
  }

  fs::path dir_;
};

std::vector<TJob> AllCatalogueJobs() {
  std::vector<TJob> jobs;
  for (const TFormatParams& p : AllFormatParams()) jobs.push_back(MakeJob(p.Key, false));
  for (const TSettingsFormatItem& s : AllSettingsFormats()) jobs.push_back(MakeJob(s.Key, true));
  return jobs;
}

TEST_F(CatalogueConvert, EveryFormatOfBothCataloguesConvertsAndDecodes) {
  std::vector<TJob> jobs = AllCatalogueJobs();
  ASSERT_EQ(jobs.size(), 288u + 109u);
  Run(jobs, TFixture::ShortStereo);
  if (HasFatalFailure()) return;
  int refused = 0;
  for (const TJob& j : jobs) {
    if (j.Key == kRefusedKey) {
      ++refused;
      EXPECT_NE(j.AddError.find("msmpeg4v1"), std::string::npos) << j.Name() << ": " << j.AddError;
      continue;
    }
    CheckOutput(j, FixtureInfo(TFixture::ShortStereo));
  }
  EXPECT_EQ(refused, 2);  // one in each catalogue
}

// One job for each kind of output (container, codecs, target, audio only): the formats that
// share them behave alike for an input with fewer or more streams.
std::vector<TJob> OneJobPerOutputKind() {
  std::vector<TJob> jobs;
  std::set<std::string> kinds;
  for (const TFormatParams& p : AllFormatParams()) {
    if (p.Key == kRefusedKey) continue;
    const std::string kind = std::string(p.OutputExt) + "|" + std::string(p.VideoCodec) + "|" +
                             std::string(p.AudioCodec) + "|" + std::string(p.FileFormat) + "|" +
                             std::string(p.TargetType) + "|" + (p.DisableVideo ? "a" : "v");
    if (kinds.insert(kind).second) jobs.push_back(MakeJob(p.Key, false));
  }
  return jobs;
}

class CatalogueConvertInputs : public CatalogueConvert, public ::testing::WithParamInterface<TFixture> {};

TEST_P(CatalogueConvertInputs, EveryKindOfOutputTakesTheInput) {
  std::vector<TJob> jobs = OneJobPerOutputKind();
  Run(jobs, GetParam());
  if (HasFatalFailure()) return;
  const mediafix::TFixtureInfo& in = FixtureInfo(GetParam());
  for (const TJob& j : jobs) {
    if (in.AudioStreams == 0 && j.Record.DisableVideo) {
      // Nothing to write: the task ends with a clear message and leaves no file.
      EXPECT_TRUE(j.Ended && j.End.Exception) << j.Name();
      EXPECT_EQ(j.End.ExceptionMsg, "Output file #0 does not contain any stream") << j.Name();
      EXPECT_FALSE(fs::exists(j.Fields.Video_OutPutFileName)) << j.Name();
      continue;
    }
    CheckOutput(j, in, GetParam() == TFixture::SubtitledMkv);
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, CatalogueConvertInputs,
                         ::testing::Values(TFixture::SubtitledMkv, TFixture::Mp3Audio, TFixture::SingleColour),
                         [](const auto& AInfo) {
                           switch (AInfo.param) {
                             case TFixture::SubtitledMkv: return std::string("TextSubtitle");
                             case TFixture::Mp3Audio: return std::string("AudioOnly");
                             default: return std::string("VideoOnly");
                           }
                         });

// An odd frame size kept from the input: every encoder gets a size it takes, near the input's.
TEST_F(CatalogueConvert, OddFrameSizeKeptIntoEachVideoCodec) {
  const std::string input = FixturePath(TFixture::OddSize);
  struct TCase {
    const char* Ext;
    const char* Codec;
    int W, H;
  } cases[] = {{".mp4", "libx264", 320, 240}, {".3gp", "h263", 352, 288}, {".mpg", "mpeg2video", 320, 240},
               {".avi", "mpeg4", 320, 240},   {".mkv", "libx264", 320, 240}};
  TQuillon q(nullptr);
  q.SetVerbose(-1);
  std::atomic<bool> final{false};
  std::mutex m;
  std::map<int, TTerminateInfo> ends;
  q.OnTerminate = [&](TObject*, const TTerminateInfo& I) {
    if (I.TaskIndex < 0) {
      final = true;
      return;
    }
    std::lock_guard g(m);
    ends[I.TaskIndex] = I;
  };
  std::vector<std::string> outs;
  for (const TCase& c : cases) {
    const int t = q.AddTask(input);
    ASSERT_GE(t, 0) << q.LastErrMsg();
    TOutputOptions o;
    InitOutputOptions(o);
    o.VideoCodec = c.Codec;
    outs.push_back((dir_ / (std::string("odd-") + c.Codec + c.Ext)).string());
    ASSERT_TRUE(q.SetOutputFile(t, outs.back(), &o)) << q.LastErrMsg();
  }
  q.Start(2);
  ASSERT_TRUE(ServeUntil([&] { return final.load(); }, 600s));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(outs[i]);
    std::lock_guard g(m);
    ASSERT_TRUE(ends.count(static_cast<int>(i)));
    const TTerminateInfo& end = ends[static_cast<int>(i)];
    ASSERT_TRUE(end.Finished && !end.Exception) << end.ExceptionMsg;
    const transcodetest::TDecoded d = transcodetest::DecodeFile(outs[i]);
    ASSERT_TRUE(d.Opened) << d.Error;
    EXPECT_EQ(d.DecodeErrors, 0);
    EXPECT_EQ(d.VideoCodec, EncoderCodec(cases[i].Codec));
    EXPECT_EQ(d.Width, cases[i].W);
    EXPECT_EQ(d.Height, cases[i].H);
    EXPECT_NEAR(d.VideoDuration(), 1.0, 0.25);
  }
}

}  // namespace
