// The in-memory skin description: the ini grammar of skin texts with indexed
// sections and keys, so that loading a skin of a few thousand lines reads
// each key in constant time.
//
// Rules: section and key names match without regard to letter case; blanks
// around names and values are dropped; values keep any outer quotes, as the
// text holds them (a skin's text values read unchanged); ";" lines are comments; the
// first of duplicate keys (and of duplicate sections) wins; a section counts
// as present only with at least one key; writing to an absent section appends
// it at the end, so an erased and rewritten section moves to the end. Lines
// the grammar does not know are kept.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/rtl/ini.h"

namespace skin {

class TbsSkinIniFile : public rtl::TCustomIniFile {
 public:
  TbsSkinIniFile();
  explicit TbsSkinIniFile(const std::vector<std::string>& Lines);
  ~TbsSkinIniFile() override;

  void SetLines(const std::vector<std::string>& Lines);
  // The text as lines: "[Section]", "key=value", one empty line after each
  // section.
  std::vector<std::string> Lines() const;

  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) override;
  void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
  void ReadSection(const std::string& section, rtl::TStrings& strings) override;
  void ReadSections(rtl::TStrings& strings) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  void UpdateFile() override {}

 private:
  struct Line {
    std::string raw;    // the line as written (non-key lines)
    std::string key;    // trimmed key, letter case as written; empty for non-key lines
    std::string value;  // trimmed
    bool isKey = false;
    bool deleted = false;
  };
  struct Section {
    std::string header;  // raw header line; empty for the lines before any section
    std::string name;
    std::string lowerName;
    std::vector<Line> lines;
    std::unordered_map<std::string, size_t> index;  // lower-case key -> first line
    size_t keyCount = 0;
    bool erased = false;  // left out of the text; dropped at the next compaction
  };
  Section* Find(const std::string& name);
  void Reindex();
  static void ReindexSection(Section& s);

  std::vector<std::unique_ptr<Section>> sections_;
  // Lower-case name -> its sections in text order (the first one is read), so
  // that erasing a section costs only that section, however many there are.
  std::unordered_map<std::string, std::vector<Section*>> byName_;
  size_t erasedCount_ = 0;
};

}  // namespace skin
