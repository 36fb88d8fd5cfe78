#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "Src/FFBaseComponent.h"
#include "Src/FFUtils.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubs.h"
#include "Src/MyUtils.h"
#include "base/MainThread.h"

namespace {

TEST(MyUtils, FormatByteSize) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0 Byte"},           {1024, "1024 Byte"},          {1025, "1.00 KB"},
      {1048576, "1024.00 KB"}, {1073741824, "1024.00 MB"},   {1073741825, "1.00 GB"},
      {-1, "N/A"},  // an unknown size
  };
  for (auto [size, want] : cases) EXPECT_EQ(FormatByteSize(size), want) << size;
}

TEST(MyUtils, SplitFirst) {
  std::string s = "a=b=c", head;
  SplitFirst(s, "=", true, head);
  EXPECT_EQ(head, "a");
  EXPECT_EQ(s, "b=c");
  s = "abc";
  SplitFirst(s, "=", true, head);
  EXPECT_EQ(head, "abc");
  EXPECT_EQ(s, "");
  s = "x<CRLF>y";
  SplitFirst(s, "<CRLF>", false, head);
  EXPECT_EQ(head, "x");
  EXPECT_EQ(s, "x<CRLF>y");
}

TEST(MyUtils, DateTimeConversions) {
  setenv("TZ", "UTC", 1);
  EXPECT_EQ(LocalTimeOffset(), 0.0);
  EXPECT_EQ(UnixToLocalDateTime(0), 25569.0);
  EXPECT_EQ(LocalDateTimeToUnix(25569.5), 43200);
  EXPECT_EQ(LocalDateTimeToUnix(25568.75), -21600);
  EXPECT_EQ(FormatDateTimeText("yyyy-mm-dd hh:nn:ss", UnixToLocalDateTime(1700000000)), "2023-11-14 22:13:20");
  setenv("TZ", "EST5EDT", 1);  // the standard bias, whatever the date
  EXPECT_DOUBLE_EQ(LocalTimeOffset(), -5.0 / 24);
  EXPECT_EQ(LocalDateTimeToUnix(UnixToLocalDateTime(1700000000)), 1700000000);
  unsetenv("TZ");
  tzset();
}

TEST(MyUtils, CallInMainThreadAndPumpMessages) {
  InitMainThread();
  bool ran = false;
  CallInMainThread([&] { ran = true; });  // on the main thread: at once
  EXPECT_TRUE(ran);
  PumpMessages();
}

TEST(FFUtils, FormatMicroseconds) {
  const std::pair<int64_t, const char*> cases[] = {
      {INT64_MIN, "N/A"},
      {((1 * 60 + 2) * 60 + 3) * int64_t{1000000} + 4000, "01:02:03.004"},
      {100 * int64_t{3600000000}, "100:00:00.000"},
      {0, "00:00:00.000"},
      {-1500000, "-00:00:01.500"},  // sign and absolute value, never "00:00:-01.-500"
  };
  for (auto [t, want] : cases) EXPECT_EQ(FormatMicroseconds(t), want) << t;
}

TEST(FFUtils, FrameDuration) {
  EXPECT_EQ(FrameDuration({25, 1}), 40000);
  EXPECT_EQ(FrameDuration({30000, 1001}), 33366);  // cut, not rounded
  EXPECT_EQ(FrameDuration({0, 0}), 40000);
  EXPECT_EQ(FrameDuration({25, 0}), 40000);
}

TEST(FFUtils, ErrorTexts) {
  const std::pair<int32_t, const char*> cases[] = {
      {-2, "a.avi: No such file or directory"},
      {-7, "a.avi: Error number -7 occurred"},
      {-1163346256, "a.avi: Not yet implemented in FFmpeg"},
      {-42, "a.avi: Unknown format"},
      {AVERROR_EOF, "a.avi: End of file"},
      {AVERROR_INVALIDDATA, "a.avi: Invalid data found when processing input"},
      {AVERROR_PROTOCOL_NOT_FOUND, "a.avi: Unsupported network protocol"},
      {AVERROR(EILSEQ), "a.avi: Unknown format"},
      {AVERROR(EIO), "a.avi: I/O error"},
  };
  for (auto [code, want] : cases) EXPECT_EQ(AVErrorText("a.avi", code), want) << code;
}

TEST(FFUtils, NamesAndFlags) {
  EXPECT_EQ(MediaTypeName(0), "Video");
  EXPECT_EQ(MediaTypeName(4), "Attachment");
  EXPECT_EQ(MediaTypeName(-1), "Unknown");
  EXPECT_EQ(MediaTypeName(5), "Unknown");
  EXPECT_EQ(SeekFlagsToInt({}), 0);
  EXPECT_EQ(SeekFlagsToInt({sfBackward, sfFrame}), 9);
  EXPECT_EQ(SeekFlagsToInt({sfBackward, sfByte, sfAny, sfFrame}), 15);
}

class MediaUtilsTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitMainThread();
    ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
    GetFFLogger()->SetTriggerEventInMainThread(false);
    GetFFLogger()->OnLog = [this](TObject*, uint32_t, TLogLevel, const std::string& m) {
      std::lock_guard g(lock);
      logged.push_back(m);
    };
    InitFFOptions(opts);
    AllocFFOptions(opts, SWS_BICUBIC);
  }
  void TearDown() override {
    FreeFFOptions(opts);
    GetFFLogger()->OnLog = nullptr;
    GetFFLogger()->SetTriggerEventInMainThread(true);
    GetFFLogger()->SetLogLevel(llInfo);
    FFLoader().Unload(TaskLibraries);
  }
  TFFOptions opts;
  std::mutex lock;
  std::vector<std::string> logged;
};

TEST_F(MediaUtilsTest, CodecDescriptions) {
  EXPECT_EQ(CodecDescription(AV_CODEC_ID_MPEG4, 0, false), "mpeg4(MPEG-4 part 2)");
  EXPECT_EQ(CodecDescription(AV_CODEC_ID_MPEG2TS, 0, false), "mpeg2ts");
  EXPECT_EQ(CodecDescription(AV_CODEC_ID_NONE, MKTAG('a', 'b', 'c', 'd'), false), "abcd / 0x64636261");
  EXPECT_EQ(CodecDescription(AV_CODEC_ID_NONE, 0x1f, true), "0x001F");
}

TEST_F(MediaUtilsTest, SetFFOption) {
  EXPECT_TRUE(SetFFOption(opts, "b", "800000"));
  EXPECT_TRUE(SetFFOption(opts, "ab", "64000"));  // audio context, without the "a"
  int64_t v = 0;
  ASSERT_GE(AVUtilStubs.av_opt_get_int(opts.avcodec_opts[1], "b", 0, &v), 0);
  EXPECT_EQ(v, 64000);
  EXPECT_TRUE(logged.empty());
  EXPECT_FALSE(SetFFOption(opts, "ab", "lots"));
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back(), "Invalid value \"lots\" for option \"ab\"");
  logged.clear();
  EXPECT_FALSE(SetFFOption(opts, "nosuchoption", "1"));
  EXPECT_FALSE(SetFFOption(opts, " ", "1"));
  EXPECT_FALSE(SetFFOption(opts, "b", "  "));
  EXPECT_TRUE(logged.empty());
  EXPECT_EQ(opts.opt_name_count, 2);

  // Names that live in an encoder's own options are found there and kept for its open.
  const AVCodec* mpeg4 = AVCodecStubs.avcodec_find_encoder(AV_CODEC_ID_MPEG4);
  ASSERT_NE(mpeg4, nullptr);
  EXPECT_FALSE(SetFFOption(opts, "data_partitioning", "1"));
  EXPECT_TRUE(SetFFOption(opts, "data_partitioning", "1", mpeg4));
  const AVDictionaryEntry* e = AVUtilStubs.av_dict_get(opts.private_opts, "data_partitioning", nullptr, 0);
  ASSERT_NE(e, nullptr);
  EXPECT_STREQ(e->value, "1");

  // Copy the collected video options into a real context.
  AVCodecContext* ctx = AVCodecStubs.avcodec_alloc_context3(nullptr);
  ApplyFFOptions(opts, ctx, opts.avcodec_opts[0], AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
  EXPECT_EQ(ctx->bit_rate, 800000);
  AVCodecStubs.avcodec_free_context(&ctx);
}

// The bitrate names: "b" and "vb" are the video rate, "ab" the audio rate; the copy into
// encoder contexts finds each under the name its context knows.
TEST_F(MediaUtilsTest, BitrateNamesReachTheirOwnContexts) {
  int64_t audioDefault = 0;
  ASSERT_GE(AVUtilStubs.av_opt_get_int(opts.avcodec_opts[1], "b", 0, &audioDefault), 0);
  struct TCase {
    const char* Name;
    int64_t Video, Audio;  // expected in the video and audio encoder contexts
  };
  const std::vector<TCase> cases = {
      {"b", 700000, -1},
      {"vb", 700000, -1},
      {"ab", -1, 700000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FreeFFOptions(opts);
    AllocFFOptions(opts, 4);
    ASSERT_TRUE(SetFFOption(opts, c.Name, "700000"));
    int64_t v = 0;
    ASSERT_GE(AVUtilStubs.av_opt_get_int(opts.avcodec_opts[1], "b", 0, &v), 0);
    EXPECT_EQ(v, c.Audio < 0 ? audioDefault : c.Audio) << "the audio defaults";
    // Encoder contexts start with a rate no option gives, to see whether the copy sets one.
    for (int type : {0, 1}) {
      AVCodecContext* ctx = AVCodecStubs.avcodec_alloc_context3(nullptr);
      ctx->bit_rate = 12345;
      const int flags = (type == 0 ? AV_OPT_FLAG_VIDEO_PARAM : AV_OPT_FLAG_AUDIO_PARAM) | AV_OPT_FLAG_ENCODING_PARAM;
      ApplyFFOptions(opts, ctx, opts.avcodec_opts[type], flags);
      const int64_t want = type == 0 ? c.Video : c.Audio;
      EXPECT_EQ(ctx->bit_rate, want < 0 ? 12345 : want) << (type == 0 ? "video" : "audio");
      AVCodecStubs.avcodec_free_context(&ctx);
    }
  }
}

TEST_F(MediaUtilsTest, ReadFileToBuffer) {
  const std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/读取 测试.txt";
  std::ofstream(path, std::ios::binary) << "hello";
  uint8_t* buf = nullptr;
  int32_t size = 0;
  ASSERT_EQ(ReadFileToBuffer(path, buf, size), 0);
  EXPECT_EQ(size, 6);
  EXPECT_STREQ(reinterpret_cast<char*>(buf), "hello");
  AVUtilStubs.av_free(buf);
  EXPECT_EQ(ReadFileToBuffer(path + ".missing", buf, size), -1);
  EXPECT_EQ(buf, nullptr);
  // A folder opens but has no size: refused, not read with a bogus length.
  EXPECT_EQ(ReadFileToBuffer(OMBREL_TEST_BUILD_DIR, buf, size), -1);
  std::filesystem::remove(path);
}

}  // namespace
