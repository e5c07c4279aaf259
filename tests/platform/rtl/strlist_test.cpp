#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strlist.h"
#include "temp_dir.h"

using namespace rtl;

TEST(StringList, NamesAndValues) {
  TStringList l;
  l.SetText("Width=640\r\nheight=480=x\nflag\rWIDTH=800\n");
  ASSERT_EQ(l.Count(), 4);
  EXPECT_EQ(l.Names(1), "height");
  EXPECT_EQ(l.ValueFromIndex(1), "480=x");  // the first '=' splits
  EXPECT_EQ(l.Names(2), "");
  EXPECT_EQ(l.Values("width"), "640");  // case-insensitive, first match wins
  EXPECT_EQ(l.IndexOfName("HEIGHT"), 1);
  EXPECT_EQ(l.Values("missing"), "");
  l.SetValues("height", "720");
  EXPECT_EQ(l[1], "height=720");
  l.SetValues("depth", "24");
  EXPECT_EQ(l[4], "depth=24");
  l.SetValues("flag2", "");
  l.SetValues("depth", "");
  EXPECT_EQ(l.Count(), 4);
  EXPECT_EQ(l.Text(), "Width=640\r\nheight=720\r\nflag\r\nWIDTH=800\r\n");
  EXPECT_EQ(l.IndexOf("FLAG"), 2);
}

TEST(StringList, SortedDuplicatesAndErrors) {
  TStringList l;
  l.SetSorted(true);
  for (const char* s : {"pear", "Apple", "banana", "apple"}) l.Add(s);
  ASSERT_EQ(l.Count(), 3);  // dupIgnore, case-insensitive
  EXPECT_EQ(l[0], "Apple");
  EXPECT_EQ(l[2], "pear");
  int index;
  EXPECT_TRUE(l.Find("BANANA", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(l.Find("cherry", index));
  EXPECT_EQ(index, 2);
  EXPECT_THROW(l.Insert(0, "x"), EListError);
  l.SetDuplicates(dupError);
  EXPECT_THROW(l.Add("PEAR"), EListError);
  l.SetDuplicates(dupAccept);
  l.Add("PEAR");
  EXPECT_EQ(l.Count(), 4);
  try {
    (void)l[7];
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (7)");
  }
  EXPECT_THROW(l.Delete(-1), EListError);
}

TEST(StringList, ChangeEventsObjectsAndUpdates) {
  TStringList l;
  int changes = 0;
  l.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &l);
    ++changes;
  };
  int marker = 5;
  l.AddObject("a", &marker);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(l.Objects(0), &marker);
  l.BeginUpdate();
  l.Add("b");
  l.Add("c");
  l.Exchange(0, 2);
  l.EndUpdate();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(l.Objects(2), &marker);
  TStringList copy;
  copy.Assign(l);
  EXPECT_EQ(copy.Text(), "c\r\nb\r\na\r\n");
  copy.Move(0, 2);
  EXPECT_EQ(copy.Text(), "b\r\na\r\nc\r\n");
  copy.SetCommaText("one,\"two words\",\"say \"\"hi\"\"\",");
  ASSERT_EQ(copy.Count(), 4);
  EXPECT_EQ(copy[1], "two words");
  EXPECT_EQ(copy[2], "say \"hi\"");
  EXPECT_EQ(copy.CommaText(), "one,\"two words\",\"say \"\"hi\"\"\",");
}

TEST(StringList, FilesAndStreams) {
  TempDir dir;
  dir.Write("bom.txt", "\xEF\xBB\xBFline1\nline2");
  TStringList l;
  l.LoadFromFile(dir / "bom.txt");
  ASSERT_EQ(l.Count(), 2);
  EXPECT_EQ(l[0], "line1");
  l.SaveToFile(dir / "out.txt");
  EXPECT_EQ(dir.Read("out.txt"), "line1\r\nline2\r\n");
  EXPECT_THROW(l.LoadFromFile(dir / "missing.txt"), EFOpenError);
  TStringStream ss("x\r\ny");
  l.LoadFromStream(ss);
  EXPECT_EQ(l.Count(), 2);
  TStringStream out;
  l.SaveToStream(out);
  EXPECT_EQ(out.DataString(), "x\r\ny\r\n");

  // A save that runs out of room raises and leaves the old file whole
  // (a file size limit stands in for a full disk).
  dir.Write("keep.txt", "old\r\n");
  TStringList big;
  for (int i = 0; i < 100; ++i) big.Add("a line that takes room");
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(big.SaveToFile(dir / "keep.txt"), EStreamError);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(dir.Read("keep.txt"), "old\r\n");
}
