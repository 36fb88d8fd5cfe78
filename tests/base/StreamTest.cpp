#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/Exception.h"
#include "base/Stream.h"

namespace {

class StreamFiles : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ombrel-stream-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = tmpl;
    dir += "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  static void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string ReadRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  std::string dir;
};

template <typename E>
std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message;
  }
  return "(no exception)";
}

}  // namespace

TEST(TMemoryStream, ReadWriteSeekAndSize) {
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  EXPECT_EQ(m.Size(), 5);
  EXPECT_EQ(m.Position(), 5);
  EXPECT_EQ(m.Seek(-2, soFromEnd), 3);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 2);  // a short read answers what it got
  EXPECT_EQ(std::string(buf, 2), "lo");
  EXPECT_EQ(m.Read(buf, 8), 0);
  EXPECT_EQ(m.Seek(1, soFromBeginning), 1);
  EXPECT_EQ(m.Seek(2, soFromCurrent), 3);
  // Writing past the end fills the gap with zeros.
  m.SetPosition(7);
  m.WriteBuffer("!", 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(m.Memory()), 8), std::string("hello\0\0!", 8));
  m.SetSize(2);
  EXPECT_EQ(m.Position(), 2);
  m.SetSize(4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(m.Memory()), 4), std::string("he\0\0", 4));
  // A negative position reads and writes nothing.
  m.SetPosition(-3);
  EXPECT_EQ(m.Read(buf, 1), 0);
  EXPECT_EQ(m.Write("x", 1), 0);
  EXPECT_THROW(m.SetSize(-1), EStreamError);
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);
}

TEST(TMemoryStream, ReadPastTheEndRaisesAndNeverFillsGarbage) {
  TMemoryStream m;
  m.WriteBuffer("abc", 3);
  m.SetPosition(1);
  char buf[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(MessageOf<EReadError>([&] { m.ReadBuffer(buf, 4); }), "Stream read error");
  EXPECT_EQ(std::string(buf, 4), "bcxx");  // only the real bytes arrived
  m.SetPosition(3);
  EXPECT_THROW(m.ReadBuffer(buf, 1), EReadError);
  EXPECT_NO_THROW(m.ReadBuffer(buf, 0));
  EXPECT_THROW(m.ReadBuffer(buf, -1), EReadError);
}

TEST(TStream, CopyFromCountAndWholeSource) {
  TStringStream src(std::string(100000, 'a') + "tail");
  TMemoryStream dst;
  src.SetPosition(99998);
  EXPECT_EQ(dst.CopyFrom(src, 4), 4);  // from the current position
  EXPECT_EQ(std::string(reinterpret_cast<char*>(dst.Memory()), 4), "aata");
  // 0 means the whole source from its start, whatever its position.
  TMemoryStream all;
  src.SetPosition(50);
  EXPECT_EQ(all.CopyFrom(src, 0), 100004);
  EXPECT_EQ(all.Size(), 100004);
  EXPECT_EQ(std::memcmp(all.Memory() + 100000, "tail", 4), 0);
  // A source that ends early raises.
  src.SetPosition(100002);
  EXPECT_THROW(dst.CopyFrom(src, 5), EReadError);
  EXPECT_THROW(dst.CopyFrom(src, -1), EReadError);
}

TEST(TStringStream, DataStringAndReadString) {
  TStringStream s("abc");
  EXPECT_EQ(s.ReadString(2), "ab");
  s.WriteString("XYZ");
  EXPECT_EQ(s.DataString(), "abXYZ");
  EXPECT_EQ(s.ReadString(5), "");
}

TEST_F(StreamFiles, CreateWriteReopenRead) {
  const std::string path = dir + "视频.bin";
  {
    TFileStream f(path, fmCreate | fmShareExclusive);
    EXPECT_EQ(f.FileName(), path);
    f.WriteBuffer("0123456789", 10);
    EXPECT_EQ(f.Size(), 10);
    f.SetSize(6);
  }
  TFileStream r(path, fmOpenRead | fmShareDenyNone);
  EXPECT_EQ(r.Size(), 6);
  char buf[6];
  r.ReadBuffer(buf, 6);
  EXPECT_EQ(std::string(buf, 6), "012345");
  EXPECT_THROW(r.ReadBuffer(buf, 1), EReadError);
  EXPECT_EQ(r.Write("x", 1), 0);  // opened for reading only
  EXPECT_THROW(r.WriteBuffer("x", 1), EWriteError);
}

TEST_F(StreamFiles, OpeningForReadOrWriteNeverCreatesOrTruncates) {
  const std::string path = dir + "data";
  WriteRaw(path, "keep me");
  { TFileStream f(path, fmOpenRead); }
  {
    TFileStream f(path, fmOpenWrite);
    f.WriteBuffer("K", 1);
  }
  { TFileStream f(path, fmOpenReadWrite); }
  EXPECT_EQ(ReadRaw(path), "Keep me");
  EXPECT_THROW(TFileStream(dir + "missing", fmOpenReadWrite), EFOpenError);
  EXPECT_FALSE(std::filesystem::exists(dir + "missing"));
}

TEST_F(StreamFiles, OpenAndCreateErrorsNameTheFile) {
  const std::string missing = dir + "missing.ini";
  EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); }),
            "Cannot open file \"" + missing + "\". No such file or directory");
  // A folder is not a file, even for reading.
  EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream f(dir, fmOpenRead); }),
            "Cannot open file \"" + dir + "\". Is a directory");
  const std::string noFolder = dir + "nofolder/x.bin";
  EXPECT_EQ(MessageOf<EFCreateError>([&] { TFileStream f(noFolder, fmCreate); }),
            "Cannot create file \"" + noFolder + "\". No such file or directory");
}

TEST_F(StreamFiles, MemoryStreamLoadAndSaveFile) {
  const std::string path = dir + "m.bin";
  WriteRaw(path, std::string("a\0b", 3));
  TMemoryStream m;
  m.LoadFromFile(path);
  EXPECT_EQ(m.Size(), 3);
  EXPECT_EQ(m.Position(), 0);
  m.SetPosition(3);
  m.WriteBuffer("c", 1);
  m.SaveToFile(dir + "out.bin");
  EXPECT_EQ(ReadRaw(dir + "out.bin"), std::string("a\0bc", 4));
  // A failed load keeps what the stream held.
  EXPECT_THROW(m.LoadFromFile(dir + "missing"), EFOpenError);
  EXPECT_EQ(m.Size(), 4);
}
