#include "base/Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

std::string ExtractFilePath(const std::string& fileName) {
  auto pos = fileName.rfind(PathDelim);
  return pos == std::string::npos ? std::string() : fileName.substr(0, pos + 1);
}

std::string ExtractFileDir(const std::string& fileName) {
  auto pos = fileName.rfind(PathDelim);
  if (pos == std::string::npos) return {};
  if (pos == 0) return "/";
  return fileName.substr(0, pos);
}

std::string ExtractFileName(const std::string& fileName) {
  auto pos = fileName.rfind(PathDelim);
  return pos == std::string::npos ? fileName : fileName.substr(pos + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
  auto dot = fileName.rfind('.');
  auto slash = fileName.rfind(PathDelim);
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return fileName.substr(dot);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
  auto dot = fileName.rfind('.');
  auto slash = fileName.rfind(PathDelim);
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return fileName + ext;
  return fileName.substr(0, dot) + ext;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && path.back() == PathDelim) return path;
  return path + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == PathDelim) p.pop_back();
  return p;
}

bool FileExists(const std::string& fileName) {
  struct stat st;
  return !fileName.empty() && ::stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& dir) {
  struct stat st;
  return !dir.empty() && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& dir) {
  if (dir.empty()) return false;
  std::string d = ExcludeTrailingPathDelimiter(dir);
  if (DirectoryExists(d)) return true;
  std::string parent = ExtractFileDir(d);
  if (!parent.empty() && parent != d && !ForceDirectories(parent)) return false;
  return ::mkdir(d.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(d));
}

bool DeleteFile(const std::string& fileName) {
  // lstat: a symbolic link is deleted itself, even when what it names is gone.
  struct stat st;
  return !fileName.empty() && ::lstat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) &&
         ::unlink(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
  return ::rename(oldName.c_str(), newName.c_str()) == 0;
}

int64_t FileAge(const std::string& fileName) {
  struct stat st;
  if (::stat(fileName.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtime);
}

int64_t FileSizeOf(const std::string& fileName) {
  struct stat st;
  if (::stat(fileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

std::string ExecutableFileName() {
  std::vector<char> buf(4096);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

std::string ExecutableDir() {
  std::string exe = ExecutableFileName();
  return exe.empty() ? std::string("./") : ExtractFilePath(exe);
}

std::string GetEnvironmentVariable(const std::string& name) {
  const char* v = std::getenv(name.c_str());
  return v ? std::string(v) : std::string();
}
