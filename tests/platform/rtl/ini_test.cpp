#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/ini.h"
#include "platform/rtl/strlist.h"
#include "temp_dir.h"

using namespace rtl;

namespace {
const char* kSample =
    "\xEF\xBB\xBF; comment line\n"
    "[Options]\n"
    "  Path  =  /tmp/out  \n"
    "Quoted=\"  spaced  \"\n"
    "Single='x'\n"
    "Half=\"open\n"
    "dup=first\n"
    "DUP=second\n"
    ";Hidden=1\n"
    "garbage line without equals\n"
    "Hex=$1F\n"
    "Hex2=0x10\n"
    "Bad=12abc\n"
    "Empty=\n"
    "[Empty Section]\n"
    "\n"
    "[Other]\n"
    "a=1\n";
}  // namespace

TEST(IniFile, PrivateProfileReadRules) {
  TempDir dir;
  dir.Write("o.ini", kSample);
  TIniFile ini(dir / "o.ini");
  struct Case {
    const char *section, *key, *want;
  };
  const Case cases[] = {
      {"options", "PATH", "/tmp/out"},      // case-insensitive, trimmed
      {"Options", "Quoted", "  spaced  "},  // matching quotes stripped, inner blanks kept
      {"Options", "Single", "x"},
      {"Options", "Half", "\"open"},
      {"Options", "dup", "first"},   // first duplicate wins
      {"Options", "Hidden", "def"},  // ';' lines are comments
      {"Options", "Empty", ""},
      {"Options", "missing", "def"},
      {"Nope", "a", "def"},
      {"OTHER", "A", "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(ini.ReadString(c.section, c.key, "def"), c.want) << c.key;
  EXPECT_EQ(ini.ReadInteger("Options", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Options", "Hex2", 0), 16);
  EXPECT_EQ(ini.ReadInteger("Options", "Bad", 7), 7);
  EXPECT_EQ(ini.ReadInteger("Options", "Empty", 7), 7);
  EXPECT_TRUE(ini.ReadBool("Other", "a", false));
  EXPECT_TRUE(ini.SectionExists("other"));
  EXPECT_FALSE(ini.SectionExists("Empty Section"));  // needs at least one key
  EXPECT_TRUE(ini.ValueExists("Options", "HEX"));
  TStringList keys;
  ini.ReadSection("Options", keys);
  EXPECT_EQ(keys.CommaText(), "Path,Quoted,Single,Half,dup,Hex,Hex2,Bad,Empty");
  ini.ReadSections(keys);
  EXPECT_EQ(keys.CommaText(), "Options,\"Empty Section\",Other");
  ini.ReadSectionValues("Other", keys);
  EXPECT_EQ(keys.Text(), "a=1\r\n");
}

TEST(IniFile, WriteThroughSeenBySecondReaderAndUnknownLinesKept) {
  TempDir dir;
  dir.Write("o.ini", kSample);
  TIniFile writer(dir / "o.ini");
  TIniFile reader(dir / "o.ini");
  EXPECT_EQ(reader.ReadString("Other", "a", ""), "1");
  writer.WriteString("other", "A", "2");
  EXPECT_EQ(reader.ReadString("Other", "a", ""), "2");  // nothing is cached
  writer.WriteInteger("Other", "b", 5);
  EXPECT_EQ(reader.ReadInteger("Other", "B", 0), 5);
  std::string text = dir.Read("o.ini");
  EXPECT_EQ(text.substr(0, 3), "; c");  // rewritten without BOM
  EXPECT_NE(text.find("garbage line without equals\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Other]\r\nA=2\r\nb=5\r\n"), std::string::npos);
  EXPECT_NE(text.find("DUP=second"), std::string::npos);
  // A line break in a value cannot split the line.
  writer.WriteString("Other", "c", "x\r\ny=z");
  EXPECT_EQ(reader.ReadString("Other", "c", ""), "x  y=z");
  EXPECT_EQ(reader.ReadString("Other", "y", "none"), "none");
}

TEST(IniFile, RepeatedMarksAndSectionsReadAsOneFile) {
  TempDir dir;
  // The second [options] is what a start that could not see the first wrote.
  dir.Write("o.ini",
            "\xEF\xBB\xBF\xEF\xBB\xBF[Options]\r\nThreads=5\r\nMode=2\r\n\r\n[OutPath]\r\nPath=/x\r\n\r\n"
            "[options]\r\nthreads=1\r\n; note\r\nNew=7\r\n");
  TIniFile ini(dir / "o.ini");
  EXPECT_EQ(ini.ReadInteger("Options", "Threads", 0), 5);
  EXPECT_EQ(ini.ReadInteger("Options", "New", 0), 7);
  TStringList names;
  ini.ReadSections(names);
  EXPECT_EQ(names.CommaText(), "Options,OutPath");
  ini.WriteInteger("Options", "Threads", 3);
  EXPECT_EQ(dir.Read("o.ini"),
            "[Options]\r\nThreads=3\r\nMode=2\r\n; note\r\nNew=7\r\n\r\n[OutPath]\r\nPath=/x\r\n\r\n");
}

TEST(IniFile, AppendEraseAndDeleteOrder) {
  TempDir dir;
  TIniFile ini(dir / "new.ini");
  EXPECT_EQ(ini.ReadString("A", "k", "missing"), "missing");  // missing file reads as empty
  EXPECT_FALSE(std::filesystem::exists(dir / "new.ini"));
  ini.WriteString("A", "k", "1");
  ini.WriteString("B", "k", "2");
  ini.WriteString("A", "j", "3");
  EXPECT_EQ(dir.Read("new.ini"), "[A]\r\nk=1\r\nj=3\r\n\r\n[B]\r\nk=2\r\n");
  ini.EraseSection("a");
  ini.WriteString("A", "k", "4");  // re-created at the end
  EXPECT_EQ(dir.Read("new.ini"), "[B]\r\nk=2\r\n\r\n[A]\r\nk=4\r\n");
  ini.DeleteKey("B", "K");
  EXPECT_FALSE(ini.SectionExists("B"));
  ini.WriteBool("B", "on", true);
  EXPECT_EQ(ini.ReadString("B", "on", ""), "1");
  ini.WriteFloat("B", "f", 0.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("B", "f", 0), 0.5);
}

TEST(IniFile, MalformedAndUnwritableFilesLoseNothing) {
  TempDir dir;
  const char raw[] = "[unterminated\nkey=v\r\n\0\xFF\xFE=bin\n[]\n=novalue\n[ok]\nx=1";
  std::string malformed(raw, sizeof raw - 1);
  dir.Write("bad.ini", malformed);
  TIniFile bad(dir / "bad.ini");
  EXPECT_EQ(bad.ReadString("unterminated", "key", ""), "v");
  EXPECT_EQ(bad.ReadString("ok", "x", ""), "1");
  bad.WriteString("ok", "y", "2");
  EXPECT_EQ(bad.ReadString("unterminated", "key", ""), "v");
  EXPECT_EQ(bad.ReadString("ok", "x", ""), "1");

  // A folder in place of the file: reads as empty, a write raises and
  // leaves everything as it was.
  std::filesystem::create_directory(dir / "dir.ini");
  TIniFile blocked(dir / "dir.ini");
  EXPECT_EQ(blocked.ReadString("a", "b", "d"), "d");
  EXPECT_THROW(blocked.WriteString("a", "b", "c"), EIniFileException);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "dir.ini"));
  // A pipe in place of the file must not block.
  ASSERT_EQ(mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
  TIniFile fifo(dir / "fifo.ini");
  EXPECT_EQ(fifo.ReadString("a", "b", "d"), "d");
  EXPECT_THROW(fifo.WriteString("a", "b", "c"), EIniFileException);
  // The in-memory kind refuses the same way at UpdateFile, and may still
  // be saved elsewhere.
  TMemIniFile memFifo(dir / "fifo.ini");
  memFifo.WriteString("a", "b", "c");
  EXPECT_THROW(memFifo.UpdateFile(), EIniFileException);
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo.ini"));
  memFifo.Rename(dir / "saved.ini", false);
  memFifo.UpdateFile();
  EXPECT_EQ(dir.Read("saved.ini"), "[a]\r\nb=c\r\n");
  TIniFile noFolder(dir / "no/such/o.ini");
  EXPECT_THROW(noFolder.WriteString("a", "b", "c"), EIniFileException);
}

TEST(MemIniFile, WorksInMemoryUntilUpdateFile) {
  TempDir dir;
  dir.Write("m.ini", "[S]\nk = ' v '\n");
  TMemIniFile mem(dir / "m.ini");
  EXPECT_EQ(mem.ReadString("s", "K", ""), " v ");
  mem.WriteString("S", "n", "1");
  EXPECT_EQ(dir.Read("m.ini"), "[S]\nk = ' v '\n");  // not yet written
  mem.UpdateFile();
  EXPECT_EQ(dir.Read("m.ini"), "[S]\r\nk = ' v '\r\nn=1\r\n");
  TStringList lines;
  lines.SetText("[Skin]\nName=Blue\n");
  TMemIniFile fromList("");
  fromList.SetStrings(lines);
  EXPECT_EQ(fromList.ReadString("SKIN", "name", ""), "Blue");
  fromList.GetStrings(lines);
  EXPECT_EQ(lines.Count(), 2);
}
