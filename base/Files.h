#pragma once
// Files and paths. Paths are POSIX: "/" separates folders and names are case-sensitive.
#include <cstdint>
#include <string>

constexpr char PathDelim = '/';

std::string ExtractFilePath(const std::string& fileName);   // folder with its trailing "/"
std::string ExtractFileDir(const std::string& fileName);    // folder without the trailing "/"
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFileExt(const std::string& fileName);    // ".ext" of the last name, or ""
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExcludeTrailingPathDelimiter(const std::string& path);

bool FileExists(const std::string& fileName);       // a file (not a folder) is there
bool DirectoryExists(const std::string& dir);
bool ForceDirectories(const std::string& dir);      // creates every missing folder; false on failure
bool DeleteFile(const std::string& fileName);
bool RenameFile(const std::string& oldName, const std::string& newName);
int64_t FileAge(const std::string& fileName);       // modification time in seconds since the epoch, -1 when missing
int64_t FileSizeOf(const std::string& fileName);    // -1 when missing

std::string ExecutableFileName();                   // full path of the running executable, "" when unknown
std::string ExecutableDir();                        // folder of the running executable, with its trailing "/"
std::string GetEnvironmentVariable(const std::string& name);
