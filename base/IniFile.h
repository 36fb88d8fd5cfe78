#pragma once
// INI files: sections in square brackets, one "key=value" line per key.
//
// Both TIniFile and TMemIniFile keep the file as a document in memory and share one
// implementation of its rules:
// - section and key names match without regard to ASCII letter case; the case first written
//   is kept; when a section or key appears twice, the first one is used;
// - blanks around names and values are not part of them (quotes are kept as they are);
// - blank lines are dropped; ";" comments and other lines that are no key are kept;
// - a section exists only while it holds at least one key;
// - a missing or unreadable file reads as empty, without an error;
// - the file is written as UTF-8 with CRLF line ends and an empty line after each section,
//   always atomically: a temporary file in the same folder is renamed over the old one, so a
//   crash or a full disk never leaves a half-written file. A failed write raises
//   EIniFileException naming the path, and the old file stays as it was.
// TIniFile works through to the file: every read first takes in changes made to the file
// since (by another TIniFile, say), and every write goes to disk at once. TMemIniFile reads
// the file once and writes it on UpdateFile.
#include <cstdint>
#include <memory>
#include <string>

#include "base/Object.h"

class TStrings;

class TCustomIniFile : public TObject {
public:
  explicit TCustomIniFile(std::string AFileName) : FFileName(std::move(AFileName)) {}
  ~TCustomIniFile() override = default;
  const std::string& FileName() const { return FFileName; }

  // The value, or Default when the key is absent.
  virtual std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) = 0;
  // Raises EIniFileException for names or values that the file cannot hold: an empty name,
  // a line break anywhere, "]" in a section name, "=" in a key or a key that starts like a
  // section or comment line.
  virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
  // Decimal, or hexadecimal after "$", "0x" or "0X", with an optional sign; anything that is
  // no 32-bit number gives Default.
  int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default);
  void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value);
  // A number: false when 0, true otherwise; anything else gives Default.
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value);  // "1" or "0"

  // Each of these empties Strings first.
  virtual void ReadSection(const std::string& Section, TStrings& Strings) = 0;        // key names
  virtual void ReadSections(TStrings& Strings) = 0;                                   // existing sections
  virtual void ReadSectionValues(const std::string& Section, TStrings& Strings) = 0;  // "key=value"
  virtual void EraseSection(const std::string& Section) = 0;
  virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
  virtual void UpdateFile() = 0;
  virtual bool SectionExists(const std::string& Section) = 0;
  virtual bool ValueExists(const std::string& Section, const std::string& Ident) = 0;

protected:
  std::string FFileName;
};

struct TIniDocument;

// The shared implementation over a document in memory; Refresh and Modified are the hooks
// by which TIniFile stays in step with the file.
class TBufferedIniFile : public TCustomIniFile {
public:
  ~TBufferedIniFile() override;

  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  void ReadSection(const std::string& Section, TStrings& Strings) override;
  void ReadSections(TStrings& Strings) override;
  void ReadSectionValues(const std::string& Section, TStrings& Strings) override;
  void EraseSection(const std::string& Section) override;
  void DeleteKey(const std::string& Section, const std::string& Ident) override;
  bool SectionExists(const std::string& Section) override;
  bool ValueExists(const std::string& Section, const std::string& Ident) override;

protected:
  explicit TBufferedIniFile(std::string AFileName);
  // Called before every operation.
  virtual void Refresh() {}
  // Called after every operation that changed the document.
  virtual void Modified() {}
  // Replaces the document with the file's content (empty when it cannot be read).
  void LoadFromDisk();
  // Writes the document to FileName atomically.
  void SaveToDisk();

  std::unique_ptr<TIniDocument> FDoc;
};

class TIniFile : public TBufferedIniFile {
public:
  explicit TIniFile(const std::string& AFileName);
  ~TIniFile() override;
  // Everything is on disk already.
  void UpdateFile() override {}

protected:
  void Refresh() override;
  void Modified() override;

private:
  struct Stamp;
  std::unique_ptr<Stamp> FStamp;
};

class TMemIniFile : public TBufferedIniFile {
public:
  explicit TMemIniFile(const std::string& AFileName);
  // Over the lines of Strings, with no file name until Rename gives one.
  explicit TMemIniFile(const TStrings& Strings);
  ~TMemIniFile() override;

  // Writes the whole document to FileName. Raises EIniFileException without a file name.
  void UpdateFile() override;
  // The file's lines: sections in the order they were first written (a section erased and
  // written again comes last), each followed by an empty line.
  void GetStrings(TStrings& List);
  void SetStrings(const TStrings& List);
  void Clear();
  // Takes a new file name; with Reload, the document is read again from that file.
  void Rename(const std::string& AFileName, bool Reload);
};
