#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/Files.h"

TEST(Files, PathParts) {
  struct Case { std::string path, filePath, fileDir, fileName, ext; };
  const Case cases[] = {
      {"/home/u/clip.avi", "/home/u/", "/home/u", "clip.avi", ".avi"},
      {"clip.tar.gz", "", "", "clip.tar.gz", ".gz"},
      {"/a.b/noext", "/a.b/", "/a.b", "noext", ""},
      {"/dir/", "/dir/", "/dir", "", ""},
      {"/", "/", "/", "", ""},
      {"/top", "/", "/", "top", ""},
      {"", "", "", "", ""},
      {"/x/.hidden", "/x/", "/x", ".hidden", ".hidden"},
      {"name.", "", "", "name.", "."},
      {"/视频/输出/片.MP4", "/视频/输出/", "/视频/输出", "片.MP4", ".MP4"},
      {"C:\\dir\\f.txt", "", "", "C:\\dir\\f.txt", ".txt"},  // a backslash is an ordinary character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.path), c.filePath) << c.path;
    EXPECT_EQ(ExtractFileDir(c.path), c.fileDir) << c.path;
    EXPECT_EQ(ExtractFileName(c.path), c.fileName) << c.path;
    EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
  }
}

TEST(Files, ChangeExtAndTrailingDelimiter) {
  struct Case { std::string path, ext, want; };
  const Case changes[] = {
      {"/a/clip.avi", ".mp4", "/a/clip.mp4"},
      {"/a.b/clip", ".mp4", "/a.b/clip.mp4"},
      {"clip.tar.gz", "", "clip.tar"},
      {"/a/", ".x", "/a/.x"},
      {"", ".x", ".x"},
  };
  for (const auto& c : changes) EXPECT_EQ(ChangeFileExt(c.path, c.ext), c.want) << c.path;
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a//"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");  // the root stays the root
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a"), "a");
}

class FilesOnDisk : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ombrel-files-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = std::string(tmpl) + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void Touch(const std::string& path, const std::string& bytes = "x") { std::ofstream(path) << bytes; }
  std::string dir;
};

TEST_F(FilesOnDisk, ExistenceSizeAndAge) {
  Touch(dir + "f", "12345");
  std::filesystem::create_directory(dir + "d");
  EXPECT_TRUE(FileExists(dir + "f"));
  EXPECT_FALSE(FileExists(dir + "d"));  // a folder is not a file
  EXPECT_FALSE(FileExists(dir + "missing"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DirectoryExists(dir + "d"));
  EXPECT_TRUE(DirectoryExists(dir + "d/"));
  EXPECT_FALSE(DirectoryExists(dir + "f"));
  EXPECT_EQ(FileSizeOf(dir + "f"), 5);
  EXPECT_EQ(FileSizeOf(dir + "d"), -1);
  EXPECT_EQ(FileSizeOf(dir + "missing"), -1);
  EXPECT_GT(FileAge(dir + "f"), 0);
  EXPECT_EQ(FileAge(dir + "missing"), -1);
}

TEST_F(FilesOnDisk, ForceDirectoriesDeleteAndRename) {
  EXPECT_TRUE(ForceDirectories(dir + "Ombrel视频软件/输出/"));
  EXPECT_TRUE(DirectoryExists(dir + "Ombrel视频软件/输出"));
  EXPECT_TRUE(ForceDirectories(dir + "Ombrel视频软件/输出"));  // already there
  Touch(dir + "file");
  EXPECT_FALSE(ForceDirectories(dir + "file/sub"));  // a file stands in the way
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_TRUE(RenameFile(dir + "file", dir + "renamed"));
  EXPECT_FALSE(FileExists(dir + "file"));
  EXPECT_FALSE(RenameFile(dir + "missing", dir + "other"));
  EXPECT_TRUE(DeleteFile(dir + "renamed"));
  EXPECT_FALSE(DeleteFile(dir + "renamed"));
  EXPECT_FALSE(DeleteFile(dir + "Ombrel视频软件"));  // folders are not deleted as files
  EXPECT_TRUE(DirectoryExists(dir + "Ombrel视频软件"));
  // A link whose target is gone is still a name that can be deleted.
  std::filesystem::create_symlink(dir + "gone", dir + "dangling");
  EXPECT_TRUE(DeleteFile(dir + "dangling"));
  EXPECT_FALSE(std::filesystem::is_symlink(dir + "dangling"));
}

TEST(Files, ExecutableDirAndEnvironment) {
  const std::string exeDir = ExecutableDir();
  ASSERT_FALSE(exeDir.empty());
  EXPECT_EQ(exeDir.back(), '/');
  EXPECT_TRUE(DirectoryExists(exeDir));
  ::setenv("OMBREL_FILES_TEST", "值", 1);
  EXPECT_EQ(GetEnvironmentVariable("OMBREL_FILES_TEST"), "值");
  ::unsetenv("OMBREL_FILES_TEST");
  EXPECT_EQ(GetEnvironmentVariable("OMBREL_FILES_TEST"), "");
}
