#include "Src/UnicodeProtocol.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const std::string& data) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << data;
}

class UnicodeProtocolTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FFLoader().Load(ProbeLibraries)) << FFLoader().LastErrMsg();
    // One folder per process: ctest runs the tests of this suite side by side.
    dir = fs::path(OMBREL_TEST_BUILD_DIR) / ("unicode test 视频 文件 " + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::remove_all(dir);
    SetCodePageRoundTrip(nullptr);
    FFLoader().Unload(ProbeLibraries);
  }
  std::string Url(const std::string& name) const { return UnicodeURLPrefix + (dir / name).string(); }
  fs::path dir;
};

TEST(UnicodeURL, NamesAndPrefixes) {
  // Text is UTF-8 throughout: a Chinese name needs no detour.
  EXPECT_FALSE(NeedsUnicodeURL("/tmp/视频 文件.avi"));
  EXPECT_EQ(UnicodeFileURL("/tmp/视频 文件.avi"), "/tmp/视频 文件.avi");
  // With a code page that loses characters, the round trip decides; protocol names pass.
  SetCodePageRoundTrip([](const std::string& s) {
    std::string r;
    for (unsigned char c : s) r += c < 0x80 ? static_cast<char>(c) : '?';
    return r;
  });
  EXPECT_FALSE(NeedsUnicodeURL("/tmp/plain name.avi"));
  EXPECT_TRUE(NeedsUnicodeURL("/tmp/视频.avi"));
  EXPECT_EQ(UnicodeFileURL("/tmp/视频.avi"), "unicode:utf8:/tmp/视频.avi");
  EXPECT_FALSE(NeedsUnicodeURL("http://host/视频.avi"));
  EXPECT_FALSE(NeedsUnicodeURL("udp://host/视频"));
  EXPECT_TRUE(NeedsUnicodeURL("HTTP://host/视频.avi"));  // protocol words are matched exactly
  EXPECT_TRUE(NeedsUnicodeURL("c:视频"));
  // No length limit: a long name is never cut into another file's name.
  const std::string longName = "/tmp/" + std::string(3000, 'a') + "视频";
  EXPECT_EQ(UnicodeFileURL(longName), "unicode:utf8:" + longName);
  SetCodePageRoundTrip(nullptr);

  EXPECT_TRUE(IsUnicodeURL("unicode:utf8:x"));
  EXPECT_FALSE(IsUnicodeURL("unicode:utf8:"));  // the bare prefix names no file
  EXPECT_FALSE(IsUnicodeURL("/tmp/unicode:utf8:x"));
  EXPECT_EQ(DecodeFileURL("unicode:utf8:/tmp/视频 文件.avi"), "/tmp/视频 文件.avi");
  EXPECT_EQ(DecodeFileURL("/tmp/a.avi"), "/tmp/a.avi");
}

TEST_F(UnicodeProtocolTest, LoadingLibavformatRegistersTheProtocol) { EXPECT_TRUE(UnicodeProtocolRegistered()); }

TEST_F(UnicodeProtocolTest, ReadSeekAndEndOfFile) {
  WriteAll(dir / "读 我.bin", "0123456789");
  void* h = nullptr;
  ASSERT_EQ(UnicodeOpen(&h, Url("读 我.bin"), AVIO_FLAG_READ), 0);
  uint8_t buf[16];
  EXPECT_EQ(UnicodeSeek(h, 0, AVSEEK_SIZE), 10);
  EXPECT_EQ(UnicodeRead(h, buf, 4), 4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 4), "0123");
  EXPECT_EQ(UnicodeSeek(h, -3, SEEK_END | AVSEEK_FORCE), 7);
  EXPECT_EQ(UnicodeRead(h, buf, 16), 3);
  EXPECT_EQ(UnicodeRead(h, buf, 16), AVERROR_EOF);  // never 0: the libraries would spin
  EXPECT_EQ(UnicodeSeek(h, 2, SEEK_SET), 2);
  EXPECT_EQ(UnicodeSeek(h, 1, SEEK_CUR), 3);
  EXPECT_LT(UnicodeSeek(h, -100, SEEK_SET), 0);
  EXPECT_EQ(UnicodeWrite(h, buf, 1), AVERROR(EBADF));  // opened for reading only
  EXPECT_EQ(UnicodeClose(h), 0);
  EXPECT_EQ(ReadAll(dir / "读 我.bin"), "0123456789");
}

TEST_F(UnicodeProtocolTest, OpenFlagsByMeaning) {
  WriteAll(dir / "输入.bin", "keep me");
  void* h = nullptr;
  // An input is neither created nor emptied.
  EXPECT_EQ(UnicodeOpen(&h, Url("缺少.bin"), AVIO_FLAG_READ), AVERROR(ENOENT));
  EXPECT_EQ(h, nullptr);
  EXPECT_FALSE(fs::exists(dir / "缺少.bin"));
  ASSERT_EQ(UnicodeOpen(&h, Url("输入.bin"), AVIO_FLAG_READ), 0);
  UnicodeClose(h);
  EXPECT_EQ(ReadAll(dir / "输入.bin"), "keep me");
  // An output is created, or emptied when it exists.
  ASSERT_EQ(UnicodeOpen(&h, Url("输入.bin"), AVIO_FLAG_WRITE), 0);
  UnicodeClose(h);
  EXPECT_EQ(ReadAll(dir / "输入.bin"), "");
  ASSERT_EQ(UnicodeOpen(&h, Url("新 文件.bin"), AVIO_FLAG_READ_WRITE), 0);
  uint8_t data[] = {'a', 'b', 'c'};
  EXPECT_EQ(UnicodeWrite(h, data, 3), 3);
  EXPECT_EQ(UnicodeSeek(h, 0, SEEK_SET), 0);
  uint8_t back[3];
  EXPECT_EQ(UnicodeRead(h, back, 3), 3);
  EXPECT_EQ(UnicodeClose(h), 0);
  EXPECT_EQ(ReadAll(dir / "新 文件.bin"), "abc");
  // The real cause is reported, not always "No such file or directory".
  EXPECT_EQ(UnicodeOpen(&h, UnicodeURLPrefix + dir.string(), AVIO_FLAG_WRITE), AVERROR(EISDIR));
  EXPECT_EQ(UnicodeOpen(&h, UnicodeURLPrefix + dir.string(), AVIO_FLAG_READ), AVERROR(EISDIR));
  EXPECT_EQ(UnicodeOpen(&h, Url("无/文件.bin"), AVIO_FLAG_WRITE), AVERROR(ENOENT));
}

TEST_F(UnicodeProtocolTest, SizeQueryBeyondFourGiB) {
  const fs::path p = dir / "大 文件.bin";
  WriteAll(p, "");
  std::error_code ec;
  fs::resize_file(p, (int64_t{5} << 30) + 7, ec);  // sparse: no real disk use
  if (ec) GTEST_SKIP() << "no sparse files here: " << ec.message();
  void* h = nullptr;
  ASSERT_EQ(UnicodeOpen(&h, Url("大 文件.bin"), AVIO_FLAG_READ), 0);
  EXPECT_EQ(UnicodeSeek(h, 0, AVSEEK_SIZE), (int64_t{5} << 30) + 7);
  EXPECT_EQ(UnicodeSeek(h, 0, SEEK_END), (int64_t{5} << 30) + 7);
  UnicodeClose(h);
}

// Writes a short 8 kHz mono PCM WAV through the protocol, then demuxes it back.
TEST_F(UnicodeProtocolTest, LibrariesWriteAndReadThroughTheProtocol) {
  const std::string url = Url("声音 文件.wav");
  AVFormatContext* oc = nullptr;
  ASSERT_GE(AVFormatStubs.avformat_alloc_output_context2(&oc, nullptr, "wav", url.c_str()), 0);
  AVStream* st = AVFormatStubs.avformat_new_stream(oc, nullptr);
  ASSERT_NE(st, nullptr);
  st->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
  st->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
  st->codecpar->sample_rate = 8000;
  AVUtilStubs.av_channel_layout_default(&st->codecpar->ch_layout, 1);
  st->time_base = AVRational{1, 8000};
  ASSERT_EQ(OpenOutputURL(oc, url, nullptr), 0);
  EXPECT_TRUE(IsUnicodeIO(oc->pb));
  ASSERT_GE(AVFormatStubs.avformat_write_header(oc, nullptr), 0);
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(AVCodecStubs.av_new_packet(pkt, 1600), 0);
    for (int b = 0; b < 1600; ++b) pkt->data[b] = static_cast<uint8_t>(i * 31 + b);
    pkt->pts = pkt->dts = i * 800;
    pkt->duration = 800;
    pkt->stream_index = 0;
    ASSERT_GE(AVFormatStubs.av_write_frame(oc, pkt), 0);
    AVCodecStubs.av_packet_unref(pkt);
  }
  ASSERT_GE(AVFormatStubs.av_write_trailer(oc), 0);
  CloseOutputURL(oc);
  EXPECT_EQ(oc->pb, nullptr);
  AVFormatStubs.avformat_free_context(oc);

  const fs::path file = dir / "声音 文件.wav";
  const std::string before = ReadAll(file);
  ASSERT_GT(before.size(), 8000u);

  AVFormatContext* ic = nullptr;
  ASSERT_EQ(OpenInputURL(&ic, url, nullptr, nullptr), 0);
  EXPECT_EQ(std::string(ic->url), url);
  EXPECT_EQ(DecodeFileURL(ic->url), file.string());
  ASSERT_GE(AVFormatStubs.avformat_find_stream_info(ic, nullptr), 0);
  ASSERT_EQ(ic->nb_streams, 1u);
  EXPECT_EQ(ic->streams[0]->codecpar->codec_id, AV_CODEC_ID_PCM_S16LE);
  EXPECT_EQ(ic->streams[0]->codecpar->sample_rate, 8000);
  auto readAll = [&] {
    int64_t bytes = 0;
    int r;
    while ((r = AVFormatStubs.av_read_frame(ic, pkt)) >= 0) {
      bytes += pkt->size;
      AVCodecStubs.av_packet_unref(pkt);
    }
    EXPECT_EQ(r, AVERROR_EOF);
    return bytes;
  };
  EXPECT_EQ(readAll(), 8000);
  ASSERT_GE(AVFormatStubs.av_seek_frame(ic, 0, 4000, AVSEEK_FLAG_BACKWARD), 0);
  EXPECT_EQ(readAll(), 8000 - 4000 * 2);
  CloseInputURL(&ic);
  EXPECT_EQ(ic, nullptr);
  AVCodecStubs.av_packet_free(&pkt);
  EXPECT_EQ(ReadAll(file), before);  // the input is byte-for-byte unchanged
}

TEST_F(UnicodeProtocolTest, FailedInputOpenLeavesNothingOpen) {
  AVFormatContext* ic = nullptr;
  EXPECT_EQ(OpenInputURL(&ic, Url("缺少.wav"), nullptr, nullptr), AVERROR(ENOENT));
  EXPECT_EQ(ic, nullptr);
  const std::string junk = "no media here\n";
  WriteAll(dir / "垃圾.junk", junk);
  EXPECT_LT(OpenInputURL(&ic, Url("垃圾.junk"), nullptr, nullptr), 0) << (ic ? ic->iformat->name : "");
  EXPECT_EQ(ic, nullptr);
  EXPECT_EQ(ReadAll(dir / "垃圾.junk"), junk);
  // A pre-allocated context is freed on failure, as avformat_open_input does.
  ic = AVFormatStubs.avformat_alloc_context();
  EXPECT_EQ(OpenInputURL(&ic, Url("缺少.wav"), nullptr, nullptr), AVERROR(ENOENT));
  EXPECT_EQ(ic, nullptr);
}

}  // namespace
