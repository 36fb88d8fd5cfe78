#include "Src/AVProbe.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"
#include "base/Exception.h"
#include "classlib/Graphics.h"
#include "tests/Src/fixtures/MediaFixtures.h"

namespace {

using namespace mediafix;
namespace fs = std::filesystem;

bool Contains(const std::string& AText, const std::string& APart) { return AText.find(APart) != std::string::npos; }

class ProbeTest : public ::testing::Test {
protected:
  void SetUp() override {
    probe = std::make_unique<TAVProbe>(nullptr);
    ASSERT_TRUE(probe->LoadAVLib()) << FFLoader().LastErrMsg();
  }
  void TearDown() override { probe.reset(); }
  void Load(TFixture f) { ASSERT_TRUE(probe->LoadFile(FixturePath(f))) << probe->LastErrMsg(); }
  // The frame number painted into the decoded picture (luma of the top-left block).
  int MarkedFrame() const {
    const TFrameInfo& fi = probe->FrameInfo();
    return FrameFromMarkLuma(fi.PictureData[0][8 * fi.PictureLineSize[0] + 8]);
  }
  std::unique_ptr<TAVProbe> probe;
};

// --- Opening: container, duration, streams ------------------------------------------------

TEST_F(ProbeTest, EachFixtureGivesItsContainerDurationAndStreams) {
  for (TFixture f : AllFixtures()) {
    const TFixtureInfo& fi = FixtureInfo(f);
    SCOPED_TRACE(fi.FileName);
    Load(f);
    EXPECT_EQ(probe->FormatName(), fi.FormatName);
    EXPECT_FALSE(probe->FormatLongName().empty());
    EXPECT_EQ(probe->FileName(), FixturePath(f));
    EXPECT_EQ(probe->FileSize(), static_cast<int64_t>(fs::file_size(FixturePath(f))));
    EXPECT_EQ(probe->VideoStreamCount(), fi.VideoStreams);
    EXPECT_EQ(probe->AudioStreamCount(), fi.AudioStreams);
    EXPECT_EQ(probe->SubtitleStreamCount(), fi.SubtitleStreams);
    EXPECT_EQ(probe->StreamCount(), fi.VideoStreams + fi.AudioStreams + fi.SubtitleStreams);
    EXPECT_EQ(probe->FirstSubtitleStreamIndex(), fi.SubtitleStreams ? fi.VideoStreams + fi.AudioStreams : -1);
    const TFileStreamInfo info = probe->FileStreamInfo();
    if (fi.DurationUs > 0) {
      EXPECT_NEAR(info.Duration, fi.DurationUs, 150000);
    } else {
      EXPECT_EQ(info.Duration, -1);
    }
    if (fi.VideoStreams) {
      const TVideoStreamInfo v = probe->FirstVideoStreamInfo();
      EXPECT_EQ(v.Width, fi.Width);
      EXPECT_EQ(v.Height, fi.Height);
      EXPECT_FALSE(v.CodecName.empty());
      if (fi.FrameRate) {
        EXPECT_EQ(v.FrameRate.num * 1.0 / v.FrameRate.den, fi.FrameRate);
      }
    } else {
      EXPECT_EQ(probe->FirstVideoStreamInfo().Width, -1);
      EXPECT_EQ(probe->LastErrMsg(), "no video stream.");
    }
    if (fi.AudioStreams) {
      const TAudioStreamInfo a = probe->FirstAudioStreamInfo();
      EXPECT_EQ(a.SampleRate, fi.SampleRate);
      EXPECT_EQ(a.Channels, fi.Channels);
      EXPECT_GE(a.DurationScaled, -1);
    }
    const std::string text = probe->FileInfoText();
    EXPECT_EQ(text.rfind("File Name: " + FixturePath(f) + "\r\n", 0), 0u);
    EXPECT_TRUE(Contains(text, "\r\nFormat Name: " + std::string(fi.FormatName) + "\r\n"));
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  }
}

TEST_F(ProbeTest, OneVideoAndTwoAudioStreamsWithTags) {
  Load(TFixture::AviTwoAudioTags);
  EXPECT_EQ(probe->StreamCount(), 3);
  EXPECT_EQ(probe->AudioStreamCount(), 2);
  EXPECT_EQ(probe->FirstVideoStreamIndex(), 0);
  EXPECT_EQ(probe->FirstAudioStreamIndex(), 1);
  EXPECT_EQ(probe->FirstSubtitleStreamIndex(), -1);
  EXPECT_TRUE(probe->IsVideoStream(0));
  EXPECT_TRUE(probe->IsAudioStream(2));
  EXPECT_FALSE(probe->IsSubtitleStream(2));
  const TFileStreamInfo info = probe->FileStreamInfo();
  EXPECT_EQ(info.Title, TagTitle);
  EXPECT_EQ(info.Author, TagArtist);  // the demuxer calls it "artist"
  EXPECT_EQ(info.Comment, TagComment);
  EXPECT_EQ(info.Copyright, TagCopyright);
  EXPECT_EQ(info.Genre, TagGenre);
  EXPECT_EQ(info.Year, 2010);
  EXPECT_EQ(info.Track, 3);
  EXPECT_EQ(info.TimeStamp, 0);
  const std::string text = probe->FileInfoText();
  EXPECT_TRUE(Contains(text, "\r\nMetadata:\r\n  artist          : Fixture Artist\r\n")) << text;
  EXPECT_TRUE(Contains(text, "\r\n  title           : Fixture Title\r\n")) << text;
  EXPECT_TRUE(Contains(text, "\r\nStream #0, 1/10: Video: mpeg4")) << text;
  EXPECT_TRUE(Contains(text, ", 10 fps, 10 tbr, 10 tbn")) << text;
  EXPECT_TRUE(Contains(text, "\r\nStream #2, ")) << text;
  EXPECT_TRUE(Contains(text, "Bit Rate: ")) << text;
  EXPECT_TRUE(Contains(text, "\r\nDuration: 00:00:01.")) << text;
}

TEST_F(ProbeTest, ProgramsListTheirStreamsFirst) {
  Load(TFixture::TsTwoPrograms);
  EXPECT_EQ(probe->ProgramCount(), 2);
  const std::string text = probe->FileInfoText();
  const size_t p1 = text.find("\r\nProgram 1 Ombrel@First\r\n");
  const size_t s0 = text.find("\r\nStream #0[0x100], 1/90000: Video: mpeg2video");
  const size_t s1 = text.find("\r\nStream #1[0x101], 1/90000: Audio: mp2");
  const size_t p2 = text.find("\r\nProgram 2 Ombrel@Second\r\n");
  const size_t s2 = text.find("\r\nStream #2[0x102](eng), 1/90000: Audio: mp2");
  ASSERT_NE(p1, std::string::npos) << text;
  ASSERT_NE(s0, std::string::npos) << text;
  ASSERT_NE(s1, std::string::npos) << text;
  ASSERT_NE(p2, std::string::npos) << text;
  ASSERT_NE(s2, std::string::npos) << text;
  EXPECT_LT(p1, s0);
  EXPECT_LT(s0, s1);
  EXPECT_LT(s1, p2);
  EXPECT_LT(p2, s2);
  EXPECT_TRUE(Contains(text, ", 25 fps, 25 tbr, 90k tbn")) << text;
  // A stream whose only tag is its language has no metadata block.
  const std::string afterS2 = text.substr(s2 + 2);
  EXPECT_EQ(afterS2.find("Metadata:"), std::string::npos) << text;
  EXPECT_EQ(afterS2.find("\r\n"), afterS2.size() - 2) << "stream #2 is the last line";
}

TEST_F(ProbeTest, StreamLanguageAndFileTitle) {
  Load(TFixture::MkvMpeg4Mp3);
  EXPECT_EQ(probe->FirstAudioStreamInfo().Language, "eng");
  EXPECT_EQ(probe->FileStreamInfo().Title, TagTitle);
  const std::string text = probe->FileInfoText();
  EXPECT_TRUE(Contains(text, "\r\nStream #1(eng), 1/1000: Audio: mp3")) << text;
  EXPECT_TRUE(Contains(text, ", 1k tbn")) << text;
}

TEST(ProbeMetadataKeys, IdThreeFramesAreShownByName) {
  const std::pair<const char*, const char*> cases[] = {
      {"TPE1", "artist"}, {"TP1", "artist"},     {"TALB", "album"}, {"TYER", "year"}, {"TRCK", "track"},
      {"TSOP", "authorsort"}, {"tpe1", "tpe1"}, {"title", "title"}, {"", ""},
  };
  for (auto [key, shown] : cases) EXPECT_EQ(ShownMetadataKey(key), shown) << key;
}

// --- Queries without a file and bad indexes -----------------------------------------------

TEST_F(ProbeTest, WithoutAFileEveryAnswerIsEmpty) {
  EXPECT_EQ(probe->StreamCount(), -1);
  EXPECT_EQ(probe->AudioStreamCount(), -1);
  EXPECT_EQ(probe->FileSize(), -1);
  const TFileStreamInfo info = probe->FileStreamInfo();
  EXPECT_EQ(info.Duration, -1);
  EXPECT_EQ(info.BitRate, -1);
  EXPECT_EQ(probe->LastErrMsg(), "file not loaded.");
  EXPECT_EQ(probe->FileInfoText(), "");
  EXPECT_FALSE(probe->IsAudioStream(0));
  EXPECT_EQ(probe->LastErrMsg(), "file not loaded.");
  EXPECT_FALSE(probe->Decode());
  EXPECT_FALSE(probe->Seek(0));
  EXPECT_EQ(probe->LastErrMsg(), "file not loaded.");

  Load(TFixture::AviMpeg4Mp3);
  EXPECT_FALSE(probe->IsVideoStream(-1));
  EXPECT_EQ(probe->LastErrMsg(), "stream index #-1 is invalid.");
  EXPECT_FALSE(probe->IsVideoStream(2));
  EXPECT_EQ(probe->LastErrMsg(), "stream index #2 is invalid.");
  EXPECT_FALSE(probe->Decode(7));
  EXPECT_EQ(probe->LastErrMsg(), "stream index #7 is invalid.");
  EXPECT_FALSE(probe->Decode(1));
  EXPECT_EQ(probe->LastErrMsg(), "stream #1 is not video stream.");
  EXPECT_EQ(probe->FirstSubtitleStreamInfo().CodecName, "");
  EXPECT_EQ(probe->LastErrMsg(), "no subtitle stream.");
}

TEST_F(ProbeTest, ForcedFormats) {
  const std::string avi = FixturePath(TFixture::AviMpeg4Mp3);
  EXPECT_FALSE(probe->LoadFile(avi, "no-such-format"));
  EXPECT_EQ(probe->LastErrMsg(), "Unknown input format: no-such-format");
  EXPECT_EQ(probe->StreamCount(), -1);
  ASSERT_TRUE(probe->LoadFile(avi, "avi"));
  EXPECT_EQ(probe->ForceFormat(), "avi");
  probe->CloseFile();
  EXPECT_EQ(probe->ForceFormat(), "");
  EXPECT_EQ(probe->StreamCount(), -1);
}

TEST_F(ProbeTest, BadInputFailsCleanlyAndLeavesNoFileOpen) {
  struct Case {
    TBadInput kind;
    const char* text;  // after "<file name>: "; nullptr for the codec-parameter text
  };
  const Case cases[] = {
      {TBadInput::TextAsAvi, "Invalid data found when processing input"},
      {TBadInput::Empty, "Invalid data found when processing input"},
      {TBadInput::Missing, "No such file or directory"},
      {TBadInput::Folder, nullptr},
  };
  for (const Case& c : cases) {
    const std::string path = BadInputPath(c.kind);
    SCOPED_TRACE(path);
    Load(TFixture::AviMpeg4Mp3);  // a failed load also closes what was open
    EXPECT_FALSE(probe->LoadFile(path));
    if (c.text) EXPECT_EQ(probe->LastErrMsg(), path + ": " + c.text);
    else EXPECT_EQ(probe->LastErrMsg().rfind(path + ": ", 0), 0u) << probe->LastErrMsg();
    EXPECT_EQ(probe->StreamCount(), -1);
    EXPECT_EQ(probe->FileHandle(), nullptr);
    EXPECT_EQ(probe->FileInfoText(), "");
    EXPECT_FALSE(probe->Decode());
  }
}

TEST_F(ProbeTest, AClipCutInHalfOpensAndEndsEarly) {
  // The first half is a valid beginning: it opens, and decoding stops at the cut.
  ASSERT_TRUE(probe->LoadFile(BadInputPath(TBadInput::CutInHalf))) << probe->LastErrMsg();
  int frames = 0;
  while (probe->Decode()) ++frames;
  EXPECT_GT(frames, 0);
  EXPECT_LT(frames, FixtureInfo(TFixture::AviMpeg4Mp3).Frames);
  EXPECT_EQ(probe->LastErrMsg(), "stream eof reached.");
  EXPECT_FALSE(probe->Decode());
  EXPECT_TRUE(probe->Seek(0));
  EXPECT_TRUE(probe->Decode());
  EXPECT_EQ(MarkedFrame(), 0);
}

// --- An attached context ------------------------------------------------------------------

TEST_F(ProbeTest, AnAttachedContextIsReadButNeverClosedOrDecoded) {
  const std::string path = FixturePath(TFixture::AviTwoAudioTags);
  AVFormatContext* ctx = nullptr;
  ASSERT_EQ(AVFormatStubs.avformat_open_input(&ctx, path.c_str(), nullptr, nullptr), 0);
  ASSERT_GE(AVFormatStubs.avformat_find_stream_info(ctx, nullptr), 0);
  {
    TAVProbe attached(nullptr);
    attached.SetFileHandle(ctx);
    EXPECT_EQ(attached.StreamCount(), 3);
    EXPECT_TRUE(Contains(attached.FileInfoText(), "Stream #2"));
    EXPECT_THROW(attached.Decode(), Exception);
    EXPECT_EQ(attached.LastErrMsg(), "file cannot be seeked, handle is readonly.");
    EXPECT_THROW(attached.Seek(0), Exception);
    attached.CloseFile();
    EXPECT_EQ(attached.StreamCount(), -1);
    attached.SetFileHandle(ctx);
  }  // destroyed with the context attached
  EXPECT_EQ(ctx->nb_streams, 3u);  // still open and usable
  AVFormatStubs.avformat_close_input(&ctx);
}

// --- Decoding, seeking and stepping -------------------------------------------------------

TEST_F(ProbeTest, DecodingGivesEveryFrameInOrderThenStaysAtTheEnd) {
  for (TFixture f : {TFixture::AviMpeg4Mp3, TFixture::MkvMpeg4Mp3, TFixture::FlvFlv1Mp3, TFixture::WmvWmv2Wma,
                     TFixture::TsTwoPrograms}) {
    const TFixtureInfo& fi = FixtureInfo(f);
    SCOPED_TRACE(fi.FileName);
    Load(f);
    const int64_t dur = 1000000 / fi.FrameRate;
    for (int i = 0; i < fi.Frames; ++i) {
      ASSERT_TRUE(probe->Decode()) << "frame " << i << ": " << probe->LastErrMsg();
      EXPECT_EQ(probe->FrameInfo().PTS, i * dur);
      EXPECT_EQ(MarkedFrame(), i);
      EXPECT_EQ(probe->FrameInfo().IsKeyFrame, i % fi.GopSize == 0) << i;
      EXPECT_EQ(probe->FrameInfo().Width, fi.Width);
    }
    EXPECT_FALSE(probe->Decode());
    EXPECT_EQ(probe->LastErrMsg(), "stream eof reached.");
    EXPECT_TRUE(probe->Eof());
    EXPECT_FALSE(probe->Decode());
    EXPECT_TRUE(probe->Seek(0));
    EXPECT_FALSE(probe->Eof());
    ASSERT_TRUE(probe->Decode());
    // A transport stream has no index: the library's search lands on a nearby key frame.
    if (f == TFixture::TsTwoPrograms) EXPECT_TRUE(probe->FrameInfo().IsKeyFrame);
    else EXPECT_EQ(MarkedFrame(), 0);
  }
}

TEST_F(ProbeTest, TheDecoderIsDrainedAtTheEndOfAClipWithBFrames) {
  // The pictures the file presents: every video packet not marked for discarding.
  const std::string path = FixturePath(TFixture::Mp4H264Aac);
  int presented = 0;
  int64_t lastPts = INT64_MIN;
  {
    AVFormatContext* ctx = nullptr;
    ASSERT_EQ(AVFormatStubs.avformat_open_input(&ctx, path.c_str(), nullptr, nullptr), 0);
    AVPacket* pkt = AVCodecStubs.av_packet_alloc();
    while (AVFormatStubs.av_read_frame(ctx, pkt) >= 0) {
      if (pkt->stream_index == 0 && !(pkt->flags & AV_PKT_FLAG_DISCARD)) {
        ++presented;
        lastPts = std::max(lastPts, pkt->pts);
      }
      AVCodecStubs.av_packet_unref(pkt);
    }
    lastPts = AVUtilStubs.av_rescale_q(lastPts, ctx->streams[0]->time_base, AVRational{1, 1000000});
    AVCodecStubs.av_packet_free(&pkt);
    AVFormatStubs.avformat_close_input(&ctx);
  }
  ASSERT_GE(presented, FixtureInfo(TFixture::Mp4H264Aac).Frames - 1);
  Load(TFixture::Mp4H264Aac);
  int frames = 0, bFrames = 0;
  while (probe->Decode()) {
    EXPECT_EQ(MarkedFrame(), frames);
    bFrames += probe->FrameInfo().PictureType == ptB;
    ++frames;
  }
  EXPECT_GT(bFrames, 0) << "the clip has B-frames";
  EXPECT_EQ(frames, presented);
  // The last picture stays current after the end.
  EXPECT_EQ(MarkedFrame(), presented - 1);
  EXPECT_NEAR(static_cast<double>(probe->FrameInfo().PTS), static_cast<double>(lastPts), 100000.0);
}

TEST_F(ProbeTest, SeekingLandsOnKeyFrames) {
  Load(TFixture::AviMpeg4Mp3);  // key frames 0, 5, 10, 15 at 10 fps
  ASSERT_TRUE(probe->Seek(1000000));
  EXPECT_TRUE(Contains(probe->LastErrMsg(), "seek to position ")) << probe->LastErrMsg();
  ASSERT_TRUE(probe->Decode());
  EXPECT_EQ(MarkedFrame(), 10);
  EXPECT_EQ(probe->FrameInfo().PTS, 1000000);
  EXPECT_TRUE(probe->FrameInfo().IsKeyFrame);
  EXPECT_EQ(probe->FrameInfo().PictureType, ptI);
  ASSERT_TRUE(probe->Seek(1200000, TSeekFlags{sfBackward}));
  ASSERT_TRUE(probe->Decode());
  EXPECT_EQ(MarkedFrame(), 10);
  for (int64_t start : {int64_t{0}, int64_t{-5}}) {
    ASSERT_TRUE(probe->Seek(start)) << start;
    ASSERT_TRUE(probe->Decode());
    EXPECT_EQ(MarkedFrame(), 0);
    EXPECT_EQ(probe->FrameInfo().PTS, 0);
  }
}

TEST_F(ProbeTest, SteppingBetweenKeyFramesAndBack) {
  for (TFixture f : {TFixture::AviMpeg4Mp3, TFixture::MkvMpeg4Mp3, TFixture::Mp4H264Aac}) {
    SCOPED_TRACE(FixtureInfo(f).FileName);
    Load(f);
    ASSERT_TRUE(probe->Decode());
    ASSERT_TRUE(probe->DecodeNextKeyFrame());
    EXPECT_EQ(MarkedFrame(), 5);
    ASSERT_TRUE(probe->DecodeNextKeyFrame());
    EXPECT_EQ(MarkedFrame(), 10);
    EXPECT_TRUE(probe->FrameInfo().IsKeyFrame);
    // Two frames on, then back to the key frame before them, then to the one before that.
    ASSERT_TRUE(probe->Decode());
    ASSERT_TRUE(probe->Decode());
    ASSERT_EQ(MarkedFrame(), 12);
    ASSERT_TRUE(probe->DecodePreviousKeyFrame()) << probe->LastErrMsg();
    EXPECT_EQ(MarkedFrame(), 10);
    ASSERT_TRUE(probe->DecodePreviousKeyFrame()) << probe->LastErrMsg();
    EXPECT_EQ(MarkedFrame(), 5);
    // From the first picture there is nothing earlier: a picture at 0 or less.
    ASSERT_TRUE(probe->Seek(0));
    ASSERT_TRUE(probe->Decode());
    ASSERT_TRUE(probe->DecodePreviousKeyFrame()) << probe->LastErrMsg();
    EXPECT_LE(probe->FrameInfo().PTS, 0);
  }
}

// An FLV file of some 300 bytes that declares a duration of 30 days, whose stamps jump by days
// and whose pictures do not decode: stepping back from its end one frame at a time once took
// billions of seeks.
std::string JumpingFlv() {
  auto be = [](std::string& s, uint64_t v, int bytes) {
    for (int b = bytes - 1; b >= 0; --b) s += static_cast<char>((v >> (8 * b)) & 0xFF);
  };
  auto number = [&](std::string& s, const std::string& key, double v) {
    be(s, key.size(), 2);
    s += key;
    s += '\0';
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    be(s, bits, 8);
  };
  auto tag = [&](std::string& f, int type, uint32_t ms, const std::string& body) {
    f += static_cast<char>(type);
    be(f, body.size(), 3);
    be(f, ms & 0xFFFFFF, 3);
    f += static_cast<char>(ms >> 24);
    be(f, 0, 3);
    f += body;
    be(f, 11 + body.size(), 4);
  };
  std::string f("FLV\x01\x01\0\0\0\x09\0\0\0\0", 13);
  std::string meta("\x02\0\x0aonMetaData\x08\0\0\0\x05", 18);
  number(meta, "duration", 2592000);
  number(meta, "width", 64);
  number(meta, "height", 48);
  number(meta, "framerate", 1000);
  number(meta, "videocodecid", 2);
  meta += std::string("\0\0\x09", 3);
  tag(f, 18, 0, meta);
  const uint32_t stamps[] = {0, 86400000, 1000, 2592000000u};
  for (uint32_t ms : stamps) tag(f, 9, ms, std::string("\x12\0\0\x84\x00\x41\xff\xff\x00\x13\x37\x00", 12));
  return f;
}

TEST_F(ProbeTest, PreviousKeyFrameSearchIsBoundedInFilesWithoutOne) {
  const fs::path file = fs::temp_directory_path() / ("ombrel-probe-jumping-" + std::to_string(::getpid()) + ".flv");
  {
    const std::string bytes = JumpingFlv();
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
  ASSERT_TRUE(probe->LoadFile(file.string())) << probe->LastErrMsg();
  ASSERT_EQ(probe->VideoStreamCount(), 1);
  EXPECT_FALSE(probe->DecodePreviousKeyFrame());
  EXPECT_EQ(probe->LastErrMsg().rfind("Could not seek to the previous key-frame. ", 0), 0u) << probe->LastErrMsg();
  EXPECT_FALSE(probe->DecodePreviousFrame());
  probe->CloseFile();
  fs::remove(file);
}

// A 252-byte FLV whose pictures claim 65535 pixels across (found by fuzzing): the probe refuses
// them instead of making three copies of half a gigabyte each.
TEST_F(ProbeTest, APictureBeyondSixtyFourMegapixelsIsRefused) {
  ASSERT_TRUE(probe->LoadFile(OMBREL_SOURCE_DIR "/fuzz/corpus/probe/huge-picture.flv")) << probe->LastErrMsg();
  for (int i = 0; i < 3 && probe->Decode(); ++i) {
  }
  TBitmap bmp;
  probe->CopyToBitmap(&bmp);
  EXPECT_LE(int64_t(bmp.Width()) * bmp.Height(), int64_t{8192} * 8192);
  EXPECT_LE(int64_t(probe->FrameInfo().Width) * probe->FrameInfo().Height, int64_t{8192} * 8192);
  probe->CloseFile();
}

TEST_F(ProbeTest, PreviousFrame) {
  for (TFixture f : {TFixture::AviMpeg4Mp3, TFixture::Mp4H264Aac}) {
    SCOPED_TRACE(FixtureInfo(f).FileName);
    Load(f);
    ASSERT_TRUE(probe->Decode());
    ASSERT_TRUE(probe->Decode());
    ASSERT_TRUE(probe->DecodePreviousFrame()) << probe->LastErrMsg();
    EXPECT_EQ(MarkedFrame(), 0) << "the second picture steps back to the first";
    ASSERT_TRUE(probe->Seek(1200000, TSeekFlags{sfBackward}));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(probe->Decode());
    ASSERT_EQ(MarkedFrame(), 12);
    ASSERT_TRUE(probe->DecodePreviousFrame()) << probe->LastErrMsg();
    EXPECT_EQ(MarkedFrame(), 11);
    ASSERT_TRUE(probe->DecodePreviousFrame()) << probe->LastErrMsg();
    EXPECT_EQ(MarkedFrame(), 10) << "across nothing: 10 is a key frame";
    ASSERT_TRUE(probe->DecodePreviousFrame()) << probe->LastErrMsg();
    EXPECT_EQ(MarkedFrame(), 9) << "across a key frame";
  }
}

TEST_F(ProbeTest, APictureFileIsOnePictureAndCannotBeSought) {
  Load(TFixture::PngPicture);
  EXPECT_FALSE(probe->Seek(0));
  EXPECT_EQ(probe->LastErrMsg(), "\"image2\" format cannot to be seeked.");
  ASSERT_TRUE(probe->Decode());
  EXPECT_EQ(probe->FrameInfo().Width, 64);
  EXPECT_TRUE(probe->Decode()) << "the same picture again";
  EXPECT_TRUE(probe->Decode());
  EXPECT_TRUE(probe->FrameInfo().Ready);
}

TEST_F(ProbeTest, AudioOnlyFilesHaveNoPictures) {
  for (TFixture f : {TFixture::Mp3Audio, TFixture::WavAudio}) {
    Load(f);
    EXPECT_FALSE(probe->Decode());
    EXPECT_EQ(probe->LastErrMsg(), "no video stream.");
    EXPECT_TRUE(probe->Seek(500000)) << probe->LastErrMsg();
  }
  Load(TFixture::Mp3Audio);
  EXPECT_EQ(probe->FileStreamInfo().Author, TagArtist);
}

TEST_F(ProbeTest, APictureCopiedIntoABitmapHasTheClipsSizeAndColour) {
  Load(TFixture::SingleColour);
  TBitmap bmp;
  EXPECT_FALSE(probe->CopyToBitmap(&bmp));
  EXPECT_EQ(probe->LastErrMsg(), "picture not ready, please decode first");
  ASSERT_TRUE(probe->Decode());
  ASSERT_TRUE(probe->Decode());
  ASSERT_TRUE(probe->CopyToBitmap(&bmp));
  EXPECT_EQ(bmp.Width(), 96);
  EXPECT_EQ(bmp.Height(), 72);
  EXPECT_EQ(bmp.PixelFormat(), pf24bit);
  for (int y : {0, 35, 71})
    for (int x : {0, 50, 95}) {
      const uint8_t* p = static_cast<const uint8_t*>(bmp.ScanLine(y)) + 3 * x;  // B, G, R
      EXPECT_NEAR(p[2], SingleColourR, 6) << x << "," << y;
      EXPECT_NEAR(p[1], SingleColourG, 6) << x << "," << y;
      EXPECT_NEAR(p[0], SingleColourB, 6) << x << "," << y;
    }
  // A picture of another size replaces the bitmap's size.
  Load(TFixture::PngPicture);
  ASSERT_TRUE(probe->Decode());
  ASSERT_TRUE(probe->CopyToBitmap(&bmp));
  EXPECT_EQ(bmp.Width(), 64);
  EXPECT_EQ(bmp.Height(), 48);
  const uint8_t* p = static_cast<const uint8_t*>(bmp.ScanLine(10)) + 3 * 20;
  EXPECT_NEAR(p[2], 80, 2);   // red = 4 x
  EXPECT_NEAR(p[1], 50, 2);   // green = 5 y
  EXPECT_NEAR(p[0], 128, 2);  // blue
}

TEST_F(ProbeTest, ThePackedPictureIsFollowedByPaddingForTheScalersReads) {
  // CopyToBitmap hands the packed picture to the scaler, whose vector loads run past the last pixel.
  Load(TFixture::SingleColour);
  ASSERT_TRUE(probe->Decode());
  const TFrameInfo& fi = probe->FrameInfo();
  ASSERT_TRUE(fi.Ready);
  EXPECT_EQ(fi.PictureData[0], fi.Buffer);
  const auto fmt = static_cast<AVPixelFormat>(fi.PixFmt);
  const int packed = AVUtilStubs.av_image_get_buffer_size(fmt, fi.Width, fi.Height, 1);
  ASSERT_GT(packed, 0);
  EXPECT_GE(fi.Size, packed + AV_INPUT_BUFFER_PADDING_SIZE);
}

}  // namespace
