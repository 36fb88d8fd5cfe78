#include "base/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/Exception.h"
#include "base/Files.h"
#include "base/Stream.h"
#include "base/StringList.h"
#include "base/Text.h"
#include "base/UpdateGuard.h"

// ---- The document ---------------------------------------------------------------------

struct TIniLine {
  bool IsKey;
  std::string Key;    // trimmed, for key lines
  std::string Value;  // for key lines, as written after "="
  std::string Raw;    // for other lines (comments, text without "="), as read
};

struct TIniSection {
  std::string Name;
  std::vector<TIniLine> Lines;
  bool HasKey() const {
    for (const auto& l : Lines)
      if (l.IsKey) return true;
    return false;
  }
  TIniLine* FindKey(const std::string& key) {
    for (auto& l : Lines)
      if (l.IsKey && SameText(l.Key, key)) return &l;
    return nullptr;
  }
};

struct TIniDocument {
  std::vector<std::string> Prologue;  // lines before the first section
  std::vector<TIniSection> Sections;

  void Clear() {
    Prologue.clear();
    Sections.clear();
  }

  TIniSection* FindSection(const std::string& name) {
    for (auto& s : Sections)
      if (SameText(s.Name, name)) return &s;
    return nullptr;
  }

  void Parse(std::string_view text) {
    Clear();
    AddText(text);
  }

  // Lines end at CRLF, LF or a lone CR.
  void AddText(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
      const size_t start = i;
      while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
      AddLine(text.substr(start, i - start));
      if (i < text.size() && text[i] == '\r') ++i;
      if (i < text.size() && text[i] == '\n') ++i;
    }
  }

  void AddLine(std::string_view line) {
    const std::string t = Trim(line);
    if (t.empty()) return;
    if (t[0] == '[') {
      const size_t close = t.find(']');
      Sections.push_back({Trim(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
      return;
    }
    const size_t eq = t.find('=');
    const bool isKey = t[0] != ';' && eq != std::string::npos && eq > 0;
    if (Sections.empty()) {
      Prologue.push_back(TrimRight(line));
      return;
    }
    if (isKey)
      Sections.back().Lines.push_back({true, Trim(std::string_view(t).substr(0, eq)), Trim(std::string_view(t).substr(eq + 1)), {}});
    else
      Sections.back().Lines.push_back({false, {}, {}, TrimRight(line)});
  }

  template <typename AddFn>
  void ForEachLine(AddFn add) const {
    for (const auto& p : Prologue) add(p);
    if (!Prologue.empty()) add(std::string());
    for (const auto& s : Sections) {
      add("[" + s.Name + "]");
      for (const auto& l : s.Lines) add(l.IsKey ? l.Key + "=" + l.Value : l.Raw);
      add(std::string());
    }
  }

  std::string Serialize() const {
    std::string out;
    ForEachLine([&](const std::string& line) {
      out += line;
      out += "\r\n";
    });
    return out;
  }
};

namespace {

std::string ErrnoText(int err) {
  char buf[256];
  const char* text = strerror_r(err, buf, sizeof buf);
  return text ? std::string(text) : std::string("Unknown error");
}

[[noreturn]] void WriteFailed(const std::string& path, const std::string& reason) {
  throw EIniFileException("Unable to write to \"" + path + "\". " + reason);
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

void CheckSectionName(const std::string& section) {
  if (section.empty() || HasLineBreak(section) || section.find(']') != std::string::npos)
    throw EIniFileException("Invalid INI section name \"" + section + "\"");
}

void CheckKeyName(const std::string& key) {
  if (key.empty() || HasLineBreak(key) || key.find('=') != std::string::npos || key[0] == '[' || key[0] == ';')
    throw EIniFileException("Invalid INI key name \"" + key + "\"");
}

std::atomic<unsigned> gTempCounter{0};

// Writes `bytes` to `path` through a temporary file in the same folder that is renamed over
// the old file, so the file is at every moment either the old one or the new one.
void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  if (path.empty()) throw EIniFileException("Unable to write an INI file without a file name");
  std::string target = path;
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    // Replace the file the link names, not the link.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) WriteFailed(path, ErrnoText(EISDIR));
  const std::string dir = ExtractFilePath(target);
  const std::string base = ExtractFileName(target);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + "." + base + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(gTempCounter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) WriteFailed(path, ErrnoText(errno));
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    WriteFailed(path, ErrnoText(err));
  };
  if (exists && S_ISREG(st.st_mode)) (void)::fchmod(fd, st.st_mode & 07777);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail(n < 0 ? errno : EIO);
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    WriteFailed(path, ErrnoText(err));
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    WriteFailed(path, ErrnoText(err));
  }
}

// The file's text, or nothing when it cannot be read.
std::string ReadFileText(const std::string& path) {
  if (path.empty()) return {};
  try {
    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    std::string bytes;
    char buf[65536];
    for (;;) {
      const int64_t n = f.Read(buf, sizeof buf);
      if (n <= 0) break;
      bytes.append(buf, static_cast<size_t>(n));
    }
    return DecodeTextBytes(bytes);
  } catch (const Exception&) {
    return {};
  }
}

}  // namespace

// ---- TCustomIniFile -------------------------------------------------------------------

int32_t TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
  return StrToIntDef(ReadString(Section, Ident, std::string()), Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

// ---- TBufferedIniFile -----------------------------------------------------------------

TBufferedIniFile::TBufferedIniFile(std::string AFileName)
    : TCustomIniFile(std::move(AFileName)), FDoc(std::make_unique<TIniDocument>()) {}

TBufferedIniFile::~TBufferedIniFile() = default;

void TBufferedIniFile::LoadFromDisk() { FDoc->Parse(ReadFileText(FFileName)); }

void TBufferedIniFile::SaveToDisk() { WriteFileAtomically(FFileName, FDoc->Serialize()); }

std::string TBufferedIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                         const std::string& Default) {
  Refresh();
  TIniSection* s = FDoc->FindSection(Trim(Section));
  const TIniLine* l = s ? s->FindKey(Trim(Ident)) : nullptr;
  return l ? Trim(l->Value) : Default;
}

void TBufferedIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  const std::string section = Trim(Section), key = Trim(Ident);
  CheckSectionName(section);
  CheckKeyName(key);
  if (HasLineBreak(Value)) throw EIniFileException("Invalid INI value for \"" + key + "\": it holds a line break");
  Refresh();
  TIniSection* s = FDoc->FindSection(section);
  if (!s) {
    FDoc->Sections.push_back({section, {}});
    s = &FDoc->Sections.back();
  }
  if (TIniLine* l = s->FindKey(key))
    l->Value = Value;
  else
    s->Lines.push_back({true, key, Value, {}});
  Modified();
}

void TBufferedIniFile::ReadSection(const std::string& Section, TStrings& Strings) {
  Refresh();
  TUpdateGuard update(Strings);
  Strings.Clear();
  if (TIniSection* s = FDoc->FindSection(Trim(Section)))
    for (const auto& l : s->Lines)
      if (l.IsKey && s->FindKey(l.Key) == &l) Strings.Add(l.Key);
}

void TBufferedIniFile::ReadSections(TStrings& Strings) {
  Refresh();
  TUpdateGuard update(Strings);
  Strings.Clear();
  for (auto& s : FDoc->Sections)
    if (FDoc->FindSection(s.Name) == &s && s.HasKey()) Strings.Add(s.Name);
}

void TBufferedIniFile::ReadSectionValues(const std::string& Section, TStrings& Strings) {
  Refresh();
  TUpdateGuard update(Strings);
  Strings.Clear();
  if (TIniSection* s = FDoc->FindSection(Trim(Section)))
    for (const auto& l : s->Lines)
      if (l.IsKey && s->FindKey(l.Key) == &l) Strings.Add(l.Key + "=" + Trim(l.Value));
}

void TBufferedIniFile::EraseSection(const std::string& Section) {
  Refresh();
  const std::string name = Trim(Section);
  auto& secs = FDoc->Sections;
  const size_t before = secs.size();
  std::erase_if(secs, [&](const TIniSection& s) { return SameText(s.Name, name); });
  if (secs.size() != before) Modified();
}

void TBufferedIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  Refresh();
  TIniSection* s = FDoc->FindSection(Trim(Section));
  if (!s) return;
  const std::string key = Trim(Ident);
  const size_t before = s->Lines.size();
  std::erase_if(s->Lines, [&](const TIniLine& l) { return l.IsKey && SameText(l.Key, key); });
  if (s->Lines.size() != before) Modified();
}

bool TBufferedIniFile::SectionExists(const std::string& Section) {
  Refresh();
  TIniSection* s = FDoc->FindSection(Trim(Section));
  return s && s->HasKey();
}

bool TBufferedIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
  Refresh();
  TIniSection* s = FDoc->FindSection(Trim(Section));
  return s && s->FindKey(Trim(Ident));
}

// ---- TIniFile -------------------------------------------------------------------------

// What identifies one version of the file on disk. Every write replaces the file by a new
// one (a new inode), so a change by anyone shows here.
struct TIniFile::Stamp {
  bool Exists = false;
  dev_t Dev = 0;
  ino_t Ino = 0;
  off_t Size = 0;
  struct timespec MTime = {};

  static Stamp Of(const std::string& path) {
    Stamp s;
    struct stat st;
    if (!path.empty() && ::stat(path.c_str(), &st) == 0) {
      s.Exists = true;
      s.Dev = st.st_dev;
      s.Ino = st.st_ino;
      s.Size = st.st_size;
      s.MTime = st.st_mtim;
    }
    return s;
  }
  bool operator==(const Stamp& o) const {
    return Exists == o.Exists && Dev == o.Dev && Ino == o.Ino && Size == o.Size && MTime.tv_sec == o.MTime.tv_sec &&
           MTime.tv_nsec == o.MTime.tv_nsec;
  }
};

TIniFile::TIniFile(const std::string& AFileName) : TBufferedIniFile(AFileName), FStamp(std::make_unique<Stamp>()) {
  *FStamp = Stamp::Of(FFileName);
  LoadFromDisk();
}

TIniFile::~TIniFile() = default;

void TIniFile::Refresh() {
  const Stamp now = Stamp::Of(FFileName);
  if (now == *FStamp) return;
  *FStamp = now;
  LoadFromDisk();
}

void TIniFile::Modified() {
  try {
    SaveToDisk();
  } catch (...) {
    // The change did not reach the file: go back to what the file holds.
    *FStamp = Stamp::Of(FFileName);
    LoadFromDisk();
    throw;
  }
  *FStamp = Stamp::Of(FFileName);
}

// ---- TMemIniFile ----------------------------------------------------------------------

TMemIniFile::TMemIniFile(const std::string& AFileName) : TBufferedIniFile(AFileName) { LoadFromDisk(); }

TMemIniFile::TMemIniFile(const TStrings& Strings) : TBufferedIniFile(std::string()) { SetStrings(Strings); }

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::UpdateFile() { SaveToDisk(); }

void TMemIniFile::GetStrings(TStrings& List) {
  TUpdateGuard update(List);
  List.Clear();
  FDoc->ForEachLine([&](const std::string& line) { List.Add(line); });
}

void TMemIniFile::SetStrings(const TStrings& List) {
  FDoc->Clear();
  // A string that holds line breaks of its own is several lines of the file.
  for (int32_t i = 0; i < List.Count(); ++i) FDoc->AddText(List[i]);
}

void TMemIniFile::Clear() { FDoc->Clear(); }

void TMemIniFile::Rename(const std::string& AFileName, bool Reload) {
  FFileName = AFileName;
  if (Reload) LoadFromDisk();
}
