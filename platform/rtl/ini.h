// Ini files with the private-profile rules ported code relies on: section and
// key names are case-insensitive, blanks around names and values are trimmed,
// matching outer quotes are stripped from values, ';' lines are comments, the
// first of duplicate keys wins, unknown lines are kept. Files are written as
// UTF-8 without BOM with CR LF; reads accept a BOM and LF line ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/types.h"

namespace rtl {

class TStrings;

namespace detail {
// The lines of one ini text and the private-profile operations on them.
class IniText {
 public:
  void Parse(const std::string& bytes);
  std::string Serialize() const;
  const std::vector<std::string>& Lines() const { return lines_; }

  bool Read(const std::string& section, const std::string& key, std::string& value) const;
  void Write(const std::string& section, const std::string& key, const std::string& value);
  std::vector<std::string> Keys(const std::string& section) const;  // unique, file order
  std::vector<std::string> Sections() const;
  bool EraseSection(const std::string& section);
  bool DeleteKey(const std::string& section, const std::string& key);

 private:
  std::vector<std::string> lines_;
};
}  // namespace detail

class TCustomIniFile : public TObject {
 public:
  explicit TCustomIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& FileName() const { return fileName_; }

  virtual std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) = 0;
  virtual void WriteString(const std::string& section, const std::string& ident, const std::string& value) = 0;
  virtual void ReadSection(const std::string& section, TStrings& strings) = 0;
  virtual void ReadSections(TStrings& strings) = 0;
  virtual void ReadSectionValues(const std::string& section, TStrings& strings);
  virtual void EraseSection(const std::string& section) = 0;
  virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
  virtual void UpdateFile() = 0;

  // Decimal, "$" hex or "0x" hex; anything else gives the default.
  int ReadInteger(const std::string& section, const std::string& ident, int def);
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  // Non-zero integer is true; written as "1" / "0".
  bool ReadBool(const std::string& section, const std::string& ident, bool def);
  void WriteBool(const std::string& section, const std::string& ident, bool value);
  double ReadFloat(const std::string& section, const std::string& ident, double def);
  void WriteFloat(const std::string& section, const std::string& ident, double value);

  // True when the section holds at least one key.
  bool SectionExists(const std::string& section);
  bool ValueExists(const std::string& section, const std::string& ident);

 protected:
  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

 private:
  std::string fileName_;
};

// File-backed: every read goes to the file and every write goes through at
// once; nothing is cached. A missing or unreadable file reads as empty; a
// write creates the file. A write to a file that exists but cannot be read,
// or that cannot be saved, raises EIniFileException and leaves the old file
// as it was.
class TIniFile : public TCustomIniFile {
 public:
  explicit TIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) {}

  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) override;
  void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
  void ReadSection(const std::string& section, TStrings& strings) override;
  void ReadSections(TStrings& strings) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  void UpdateFile() override {}

 private:
  // forWrite: an existing file that cannot be read raises instead of
  // reading as empty, so a write never drops the keys it could not see.
  detail::IniText Load(bool forWrite = false) const;
  void Save(const detail::IniText& text);
};

// In memory: loaded once from the file (or built from a list), written back
// by UpdateFile.
class TMemIniFile : public TCustomIniFile {
 public:
  explicit TMemIniFile(std::string fileName);

  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) override;
  void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
  void ReadSection(const std::string& section, TStrings& strings) override;
  void ReadSections(TStrings& strings) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  // Writes the lines to FileName; raises EIniFileException when that fails,
  // or when the file exists but could not be read at load time (writing
  // would drop everything it holds).
  void UpdateFile() override;

  void Clear();
  void SetStrings(const TStrings& list);
  void GetStrings(TStrings& list) const;
  void Rename(const std::string& fileName, bool reload);

 private:
  detail::IniText text_;
  std::string unreadable_;  // the file that existed but could not be loaded
};

}  // namespace rtl
