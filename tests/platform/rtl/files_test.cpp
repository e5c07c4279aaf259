#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/rtl/files.h"
#include "temp_dir.h"

using namespace rtl;

TEST(Paths, Table) {
  struct Case {
    std::string got, want;
  };
  const Case cases[] = {
      {ExtractFilePath("/a/b/c.avi"), "/a/b/"},
      {ExtractFilePath("c.avi"), ""},
      {ExtractFileDir("/a/b/c.avi"), "/a/b"},
      {ExtractFileDir("/c.avi"), "/"},
      {ExtractFileName("/a/b/c.avi"), "c.avi"},
      {ExtractFileName("/a/b/"), ""},
      {ExtractFileName("a\\b.avi"), "a\\b.avi"},  // only '/' separates
      {ExtractFileExt("/a/b/c.tar.gz"), ".gz"},
      {ExtractFileExt("/a.b/c"), ""},
      {ExtractFileExt("c:d"), ""},
      {ChangeFileExt("/a/b/c.avi", ".mp4"), "/a/b/c.mp4"},
      {ChangeFileExt("/a.b/c", ".mp4"), "/a.b/c.mp4"},
      {ChangeFileExt("c.avi", ""), "c"},
      {IncludeTrailingPathDelimiter("/a"), "/a/"},
      {IncludeTrailingPathDelimiter("/a/"), "/a/"},
      {ExcludeTrailingPathDelimiter("/a/"), "/a"},
      {ExcludeTrailingPathDelimiter("/"), "/"},
      {ExpandFileName("/a/./b/../c"), "/a/c"},
      {ExpandFileName("/../x"), "/x"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
  EXPECT_EQ(ExpandFileName("rel"), IncludeTrailingPathDelimiter(GetCurrentDir()) + "rel");
  EXPECT_EQ(ExeFolder(), ExtractFilePath(ExeName()));
  EXPECT_TRUE(FileExists(ExeName()));
  EXPECT_EQ(ParamStr(0), ExeName());
}

TEST(Files, ExistenceSizesAndFolders) {
  TempDir dir;
  dir.Write("f.bin", "12345");
  dir.Write("empty", "");
  EXPECT_TRUE(FileExists(dir / "f.bin"));
  EXPECT_FALSE(FileExists(dir.path()));  // a folder does not count
  EXPECT_TRUE(DirectoryExists(dir.path()));
  EXPECT_FALSE(DirectoryExists(dir / "f.bin"));
  EXPECT_EQ(FileSizeOf(dir / "f.bin"), 5);
  EXPECT_EQ(FileSizeOf(dir / "empty"), 0);
  EXPECT_EQ(FileSizeOf(dir / "missing"), -1);
  ASSERT_EQ(::symlink((dir / "f.bin").c_str(), (dir / "link").c_str()), 0);
  EXPECT_TRUE(FileExists(dir / "link"));  // symlinks followed
  EXPECT_TRUE(ForceDirectories(dir / "x/y/z/"));
  EXPECT_TRUE(DirectoryExists(dir / "x/y/z"));
  EXPECT_FALSE(ForceDirectories(dir / "f.bin/sub"));
  EXPECT_TRUE(RenameFile(dir / "f.bin", dir / "g:bin"));
  EXPECT_FALSE(RenameFile(dir / "g:bin", dir / "empty"));  // never replaces
  EXPECT_TRUE(DeleteFile(dir / "g:bin"));
  EXPECT_FALSE(DeleteFile(dir / "x"));
  TDateTime age = 0;
  EXPECT_TRUE(FileAge(dir / "empty", age));
  EXPECT_GT(age, 40000);
  EXPECT_FALSE(FileAge(dir / "missing", age));
}

TEST(Files, MasksTable) {
  struct Case {
    const char *name, *mask;
    bool match;
  };
  const Case cases[] = {
      {"README", "*.*", true},    {"a.avi", "*.AVI", true},        {"A.AVI", "*.avi", true},
      {"a.avi", " *.avi ", true}, {"a.mp4", "*.avi", false},       {"a.avi.bak", "*.avi", false},
      {"x1.txt", "x?.txt", true}, {"a[1].avi", "a[1].avi", false}, {".hidden", "*", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
}

namespace {
std::vector<std::pair<std::string, int>> List(const std::string& path, int attr) {
  std::vector<std::pair<std::string, int>> out;
  TSearchRec rec;
  if (FindFirst(path, attr, rec) == 0) {
    do out.emplace_back(rec.Name, rec.Attr);
    while (FindNext(rec) == 0);
  }
  FindClose(rec);
  return out;
}
}  // namespace

TEST(Files, FindFirstOverTempTree) {
  TempDir dir;
  dir.Write("a.avi", "1234");
  dir.Write("README", "x");
  dir.Write(".hidden", "");
  dir.Write("b.AVI", "");
  std::filesystem::create_directory(dir / "sub");
  using V = std::vector<std::pair<std::string, int>>;
  EXPECT_EQ(List(dir / "*.*", 0), (V{{"a.avi", faArchive}, {"b.AVI", faArchive}, {"README", faArchive}}));
  EXPECT_EQ(List(dir / "*.AVI", faAnyFile), (V{{"a.avi", faArchive}, {"b.AVI", faArchive}}));
  EXPECT_EQ(List(dir / "*", faDirectory), (V{{".", faDirectory},
                                             {"..", faDirectory},
                                             {"a.avi", faArchive},
                                             {"b.AVI", faArchive},
                                             {"README", faArchive},
                                             {"sub", faDirectory}}));
  auto all = List(dir / "*.*", faAnyFile);
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all[2], (std::pair<std::string, int>{".hidden", faArchive | faHidden}));
  EXPECT_EQ(List(dir / "*.mkv", faAnyFile), V{});
  EXPECT_EQ(List(dir / "nope/*.*", faAnyFile), V{});

  TSearchRec rec;
  ASSERT_EQ(FindFirst(dir / "a.avi", faAnyFile, rec), 0);
  EXPECT_EQ(rec.Size, 4);
  EXPECT_GT(rec.Time, 40000);
  EXPECT_NE(FindNext(rec), 0);
  FindClose(rec);

  // The search itself takes brackets literally (only MatchesMask knows sets).
  TempDir br;
  br.Write("Movie [1080p].mkv", "12");
  br.Write("Movie 1.mkv", "");
  br.Write("back\\slash.mkv", "");
  EXPECT_EQ(List(br / "Movie [1080p].mkv", faAnyFile), (V{{"Movie [1080p].mkv", faArchive}}));
  EXPECT_EQ(List(br / "movie [1*", faAnyFile), (V{{"Movie [1080p].mkv", faArchive}}));
  EXPECT_EQ(List(br / "Movie [1].mkv", faAnyFile), V{});
  EXPECT_EQ(List(br / "back\\slash.*", faAnyFile), (V{{"back\\slash.mkv", faArchive}}));
}
