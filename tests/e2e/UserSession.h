// The program as a user meets it: the real binary in a real X server, driven
// only through the X input path (xdotool). What the script clicks is found in
// a headless twin of the same windows built in this process; what happened is
// read from outside: the program's log on standard error, the files it
// writes, option.ini, and a stand-in for the file manager that the run's end
// opens.
//
// Each step is a function of UserSession; every *_test.cpp file of this
// folder builds into one executable and may add its own sessions.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QImage>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <type_traits>

#include "app/AboutBox.h"
#include "app/FormatCatalogue.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "platform/cl/application.h"
#include "platform/rtl/ini.h"
#include "platform/testkit/harness.h"
#include "platform/win/input.h"
#include "skin/form/bsSkinForm.h"
#include "skin/inputs/bsSkinListBox.h"
#include "skin/menus/bsSkinMenus.h"
#include "tests/media/common/MediaFixtures.h"

extern char** environ;

namespace fs = std::filesystem;

namespace e2e {

inline const char kTitle[] = "VarnelMOD格式转换器";

inline std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Polls until done() holds; the limit is generous and costs nothing when the
// condition already holds.
template <class F>
inline bool WaitFor(F done, int seconds = 60) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

inline pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& out) {
  std::vector<char*> args, envp;
  for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  if (!out.empty()) {
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
  }
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), env.empty() ? environ : envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  return pid;
}

// Runs a tool to its end and returns its standard output.
inline std::string RunTool(const std::vector<std::string>& argv, int* status = nullptr) {
  char name[] = "/tmp/e2e-out-XXXXXX";
  int fd = mkstemp(name);
  close(fd);
  pid_t pid = Spawn(argv, {}, name);
  int st = -1;
  if (pid > 0) waitpid(pid, &st, 0);
  if (status) *status = st;
  std::string out = ReadFile(name);
  fs::remove(name);
  return out;
}

inline void Xdo(std::vector<std::string> args) {
  args.insert(args.begin(), "xdotool");
  RunTool(args);
}

// The whole X screen (null when it cannot be read).
inline QImage Screen() {
  QImage img;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (!c || xcb_connection_has_error(c)) {
    if (c) xcb_disconnect(c);
    return img;
  }
  xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  auto* reply = xcb_get_image_reply(
      c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, s->root, 0, 0, s->width_in_pixels, s->height_in_pixels, ~0u),
      nullptr);
  if (reply && s->root_depth == 24)
    img = QImage(xcb_get_image_data(reply), s->width_in_pixels, s->height_in_pixels, QImage::Format_RGB32).copy();
  free(reply);
  xcb_disconnect(c);
  return img;
}

// The screen once two grabs in a row agree (or the last one after a few
// seconds): what a user would look at once the drawing has stopped.
inline QImage SettledScreen() {
  QImage last = Screen(), now = last;
  for (int i = 0; i < 40; ++i, last = now) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if ((now = Screen()) == last) break;
  }
  return now;
}

// Only for a look: nothing depends on these pictures.
inline void SaveScreen(const std::string& path) { SettledScreen().save(QString::fromStdString(path), "PNG"); }

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// The program's windows built headless in this process, only to learn where
// each control sits inside its window.
class Twin {
 public:
  explicit Twin(const fs::path& folder) {
    TProgramServices& s = TForm1::Services();
    s = TProgramServices{};
    s.ProgramFolder = (folder / "prog").string() + "/";
    s.ConfigFolder = (folder / "conf").string() + "/";
    s.DefaultOutputFolder = (folder / "out").string();
    fs::create_directories(folder / "prog");
    cl::Application->CreateForm(form1);
    cl::Application->CreateForm(form2);
    cl::Application->CreateForm(form5);
    cl::Application->CreateForm(form6);
    form1->Show();
    h.Pump();
    // Two rows, only for where rows are drawn.
    for (int i = 0; i < 2; ++i) form1->lvFiles->Items()->Add()->SetCaption("row");
    h.Pump();
  }
  ~Twin() {
    bool can = true;
    if (!form1->Destroyed()) form1->FormCloseQuery(form1, can);
    TForm1::Services() = TProgramServices{};
  }
  // A point of a control relative to its form's window, by default its centre.
  static cl::TPoint At(cl::TForm* form, cl::TControl* c, int x = -1, int y = -1) {
    cl::TPoint p = c->ClientToScreen({x < 0 ? c->Width() / 2 : x, y < 0 ? c->Height() / 2 : y});
    return {p.X - form->Left(), p.Y - form->Top()};
  }

  // The real text engine: row heights follow the fonts the program uses.
  plat::test::Harness h{false};
  // Where item `index` of an office chooser's list shows once the chooser
  // is clicked open, relative to the main window.
  cl::TPoint OfficeItem(skin::TbsSkinOfficeComboBox* c, int index) {
    h.input.MoveTo(c, c->Width() / 2, c->Height() / 2);
    h.input.Click();
    skin::TbsPopupOfficeListBox* l = c->ListBox();
    const cl::TRect r = l->Items()->Items(index)->ItemRect;
    cl::TPoint p = At(form1, l, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    h.input.Key(win::VK_ESCAPE);
    return p;
  }
  // The same for a plain combo's drop-down list.
  cl::TPoint ComboItem(skin::TbsSkinComboBox* c, int index) {
    h.input.MoveTo(c, c->Width() / 2, c->Height() / 2);
    h.input.Click();
    const cl::TPoint below = c->ClientToScreen({c->Width() / 2, c->Height() + 8});
    cl::TWinControl* w = cl::FindControl(win::WindowFromPoint({below.X, below.Y}));
    ctl::TListBox* l = dynamic_cast<ctl::TListBox*>(w);
    if (auto* skinned = dynamic_cast<skin::TbsSkinCustomListBox*>(w)) l = skinned->ListBox;
    cl::TPoint p{-1, -1};
    if (l) {
      const cl::TRect r = l->ItemRect(index);
      p = At(form1, l, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    h.input.Key(win::VK_ESCAPE);
    return p;
  }
  // Where an entry of the add button's menu shows once "添加" is pressed,
  // relative to the main window.
  cl::TPoint AddMenuEntry(const std::string& caption) {
    skin::TbsSkinMenuSpeedButton* b = form1->bsSkinMenuSpeedButton1;
    h.input.MoveTo(b, b->Width() / 2, b->Height() / 2);
    h.input.Click();
    cl::TPoint p{-1, -1};
    skin::TbsSkinMenu* m = form1->bsSkinForm1->SkinMenu();
    if (m && m->PopupList().size() == 1)
      for (skin::TbsSkinMenuItem* i : m->PopupList()[0]->ItemList)
        if (i->MenuItem->Caption == caption)
          p = At(form1, m->PopupList()[0], (i->ObjectRect.Left + i->ObjectRect.Right) / 2,
                 (i->ObjectRect.Top + i->ObjectRect.Bottom) / 2);
    if (m) m->Hide();
    h.Pump();
    return p;
  }
  // Where the snapshot menu's entries sit once a left press on the settings
  // button opens it: the entry `opener` in the first window and `item` in
  // the submenu that entry opens, each in its own window's coordinates,
  // with the sizes of both windows (which tell them apart on the screen).
  struct MenuPath {
    cl::TPoint opener{-1, -1}, item{-1, -1};
    cl::TPoint firstSize, subSize;
  };
  MenuPath SnapshotMenu(const std::string& opener, const std::string& item) {
    MenuPath p;
    skin::TbsSkinMenu* m = form1->bsSkinForm1->SkinMenu();
    skin::TbsSkinButton* b = form1->bsSkinButton23;
    h.input.MoveTo(b, b->Width() / 2, b->Height() / 2);
    h.input.Click();
    auto centre = [](skin::TbsSkinPopupWindow* w, const std::string& caption) {
      for (skin::TbsSkinMenuItem* i : w->ItemList)
        if (i->MenuItem->Caption == caption)
          return cl::TPoint{(i->ObjectRect.Left + i->ObjectRect.Right) / 2,
                            (i->ObjectRect.Top + i->ObjectRect.Bottom) / 2};
      return cl::TPoint{-1, -1};
    };
    if (m && m->PopupList().size() == 1) {
      skin::TbsSkinPopupWindow* first = m->PopupList()[0];
      p.firstSize = {first->Width(), first->Height()};
      p.opener = centre(first, opener);
      h.input.MoveTo(first->Handle(), p.opener.X, p.opener.Y);
      for (int i = 0; i < 40 && m->PopupList().size() < 2; ++i) h.Advance(50);
      if (m->PopupList().size() == 2) {
        skin::TbsSkinPopupWindow* sub = m->PopupList()[1];
        p.subSize = {sub->Width(), sub->Height()};
        p.item = centre(sub, item);
      }
    }
    if (m) m->Hide();
    h.Pump();
    return p;
  }
  TForm1* form1 = nullptr;
  TForm2* form2 = nullptr;
  TForm5* form5 = nullptr;
  TForm6* form6 = nullptr;
};

class UserSession : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = std::getenv("VC_PROGRAM");
    ASSERT_TRUE(exe && fs::exists(exe)) << "VC_PROGRAM names the program binary";
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server";
    root = fs::path(mediatest::TempDir()) / "session";
    // Sessions of one run share the temporary folder: each starts afresh
    // (settings, outputs, the opener's notes, the program's link).
    fs::remove_all(root);
    fs::create_directories(root / "prog");
    fs::create_directories(root / "home");
    fs::create_directories(root / "bin");
    fs::create_directories(root / "in");
    shots = fs::path(std::getenv("VC_E2E_SHOTS") ? std::getenv("VC_E2E_SHOTS") : fs::current_path().string());
    // The program keeps option.ini beside itself: a private copy of the
    // binary gives it a private folder (a hard link when the file system allows).
    program = root / "prog" / fs::path(exe).filename();
    std::error_code ec;
    fs::create_hard_link(exe, program, ec);
    if (ec) fs::copy_file(exe, program);
    // The run's end opens the output folder through xdg-open: this one only notes it.
    std::ofstream(root / "bin" / "xdg-open") << "#!/bin/sh\necho \"$@\" >> '" << (root / "opened").string() << "'\n";
    fs::permissions(root / "bin" / "xdg-open", fs::perms::owner_all);
    twin = std::make_unique<Twin>(root / "twin");
  }

  void TearDown() override {
    if (HasFailure()) {
      const std::string shot = (shots / "e2e-failure.png").string();
      SaveScreen(shot);
      std::printf("screen at the failure: %s\nprogram log:\n%s\n", shot.c_str(), ReadFile(root / "log").c_str());
    }
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    twin.reset();
  }

  // --- the program -----------------------------------------------------------------

  void StartProgram() {
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    std::vector<std::string> env = {"DISPLAY=" + std::string(std::getenv("DISPLAY")),
                                    "HOME=" + (root / "home").string(),
                                    "XDG_CONFIG_HOME=" + (root / "home" / ".config").string(),
                                    "PATH=" + (root / "bin").string() + ":" + path,
                                    "QT_QPA_PLATFORM=xcb",
                                    "VC_TEST=1"};
    // The sanitizers run the program as they run the session (see the CMake file).
    for (const char* keep : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "XAUTHORITY", "LANG"})
      if (const char* v = std::getenv(keep)) env.push_back(std::string(keep) + "=" + v);
    logStart = LogText().size();
    pid = Spawn({program.string()}, env, (root / "log").string());
    ASSERT_GT(pid, 0);
    main = WaitWindow(kTitle);
    ASSERT_FALSE(main.empty()) << "the main window never showed";
    mainAt = Geometry(main);
    // Drawn: the middle of the window is no longer the empty screen's black.
    ASSERT_TRUE(WaitFor([&] {
      QImage s = Screen();
      return !s.isNull() && (s.pixel(mainAt.x + mainAt.w / 2, mainAt.y + mainAt.h / 2) & 0xffffff) != 0;
    })) << "the main window was never drawn";
  }

  // Waits for the program to end by itself; its exit status.
  int WaitExit() {
    int status = -1;
    bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 120);
    if (!ended) return -1;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  std::string LogText() { return ReadFile(root / "log"); }
  size_t Count(const std::string& what) {
    const std::string log = LogText();
    size_t n = 0;
    for (size_t at = log.find(what, logStart); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
  }

  // --- X windows and input ---------------------------------------------------------

  // Visible windows of that name (or whose class matches the pattern).
  std::vector<std::string> Windows(const std::string& pattern, const char* by = "--name") {
    const std::string p = std::string(by) == "--name" ? "^" + pattern + "$" : pattern;
    std::istringstream in(RunTool({"xdotool", "search", "--onlyvisible", by, p}));
    std::vector<std::string> ids;
    for (std::string id; in >> id;) ids.push_back(id);
    return ids;
  }
  // The first visible window of that name other than those in `besides`.
  std::string WaitWindow(const std::string& name, const std::vector<std::string>& besides = {}) {
    std::string found;
    WaitFor([&] {
      for (auto& id : Windows(name))
        if (std::find(besides.begin(), besides.end(), id) == besides.end()) found = id;
      return !found.empty();
    });
    return found;
  }
  Rect Geometry(const std::string& id) {
    std::map<std::string, int> v;
    std::istringstream in(RunTool({"xdotool", "getwindowgeometry", "--shell", id}));
    for (std::string line; std::getline(in, line);)
      if (auto eq = line.find('='); eq != std::string::npos) v[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
    return {v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]};
  }
  void ClickAt(const Rect& window, cl::TPoint p) {
    Xdo({"mousemove", std::to_string(window.x + p.X), std::to_string(window.y + p.Y), "click", "1"});
  }
  void Click(cl::TControl* c) { ClickAt(mainAt, Twin::At(twin->form1, c)); }
  void Keys(const std::string& key, int times = 1) {
    for (int i = 0; i < times; ++i) Xdo({"key", "--clearmodifiers", key});
  }
  // --- the steps ---------------------------------------------------------------------

  std::string MakeInput(const std::string& name, const std::string& size) {
    const std::string path = (root / "in" / name).string();
    // Long enough that pause and resume land inside the run.
    EXPECT_TRUE(mediatest::RunFfmpeg("-f lavfi -i testsrc=size=" + size +
                                     ":rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 -t 20 "
                                     "-c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 64k '" +
                                     path + "'"));
    return path;
  }

  // "添加" and its "添加一个文件", then the open dialog "打开文件": the path
  // typed into its name field and Enter.
  void AddThroughOpenDialog(const std::string& file) {
    const size_t added = Count("***Can do convert.");
    const cl::TPoint entry = twin->AddMenuEntry("添加一个文件");
    ASSERT_GE(entry.X, 0) << "no add menu in the twin";
    Click(twin->form1->bsSkinMenuSpeedButton1);
    ASSERT_TRUE(WaitFor([&] { return PopupAt(entry); })) << "the add menu never opened";
    Step("add-menu");
    ClickAt(mainAt, entry);
    const std::string dlg = WaitWindow("打开文件");
    ASSERT_FALSE(dlg.empty()) << "the open dialog never showed";
    Xdo({"windowfocus", "--sync", dlg});
    Xdo({"type", "--delay", "20", file});
    Keys("Return");
    ASSERT_TRUE(WaitFor([&] { return Count("***Can do convert.") > added; }, 120)) << "not added: " << file;
    ASSERT_TRUE(WaitFor([&] { return Windows("打开文件").empty(); })) << "the open dialog stayed";
  }

  void SelectRow(int row) {
    TForm1* f = twin->form1;
    const cl::TRect r = f->lvFiles->Items()->Item(row)->DisplayRect(ctl::drBounds);
    ClickAt(mainAt, Twin::At(f, f->lvFiles, 60, (r.Top + r.Bottom) / 2));
  }

  // A window other than the main one covering a point of the main window.
  bool PopupAt(cl::TPoint p) {
    for (auto& id : Windows(".", "--class")) {
      if (id == main) continue;
      const Rect r = Geometry(id);
      const int x = mainAt.x + p.X, y = mainAt.y + p.Y;
      if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) return true;
    }
    return false;
  }
  // A chooser or combo as a user works it: a click opens its list, a click
  // on the item picks it. (A change hands the keyboard back to the file
  // list, so keys would not do.) The twin follows, so that its lists sit
  // where the program's do.
  template <class Combo>
  void Choose(Combo* combo, int item) {
    cl::TPoint p;
    if constexpr (std::is_same_v<Combo, skin::TbsSkinOfficeComboBox>)
      p = twin->OfficeItem(combo, item);
    else
      p = twin->ComboItem(combo, item);
    ASSERT_GE(p.X, 0) << "no list under the combo";
    Click(combo);
    ASSERT_TRUE(WaitFor([&] { return PopupAt(p); })) << "the list never opened";
    ClickAt(mainAt, p);
    ASSERT_TRUE(WaitFor([&] { return !PopupAt(p); })) << "the list stayed open";
    combo->SetItemIndex(item);
    twin->h.Pump();
  }

  void SetThreadCount(int n) {
    Click(twin->form1->bsSkinButton19);
    const std::string dlg = WaitWindow("选项");
    ASSERT_FALSE(dlg.empty()) << "the options dialog never showed";
    const Rect at = Geometry(dlg);
    TForm5* o = twin->form5;
    if (!o->bsSkinCheckRadioBox7->Checked()) ClickAt(at, Twin::At(o, o->bsSkinCheckRadioBox7, 8));
    ClickAt(at, Twin::At(o, o->bsSkinComboBox2));
    Keys("Prior", 3);
    Keys("Down", n - 1);
    Keys("Return");
    ClickAt(at, Twin::At(o, o->bsSkinButton6));  // "确定"
    ASSERT_TRUE(WaitFor([&] { return Windows("选项").empty(); })) << "the options dialog stayed";
    const std::string ini = (fs::path(program).parent_path() / "option.ini").string();
    ASSERT_TRUE(WaitFor([&] {
      return rtl::TIniFile(ini).ReadString("Options", "Thread_Count", "") == std::to_string(n);
    })) << ReadFile(ini);
  }

  // The pixels of a control of the main window as the screen shows them.
  QImage Area(cl::TControl* c) {
    const cl::TPoint at = Twin::At(twin->form1, c, 0, 0);
    return Screen().copy(mainAt.x + at.X, mainAt.y + at.Y, c->Width(), c->Height());
  }

  // The selected row opens paused in the preview; "播放" plays it on (the
  // picture moves), "暂停" stops it where it is.
  void PlayAndPausePreview() {
    TForm1* f = twin->form1;
    ASSERT_TRUE(WaitFor([&] { return Count("duration: ") > 0 && Count("frame size: 320x240") > 0; }))
        << "the preview never opened";
    ASSERT_TRUE(WaitFor([&] { return Count("\nPause\n") > 0; })) << "the preview never opened paused";
    const QImage still = Area(f->Panel6);
    const size_t played = Count("\nPlay\n") + Count("\nResume\n"), paused = Count("\nPause\n");
    Click(f->bsSkinButton13);
    ASSERT_TRUE(WaitFor([&] { return Count("\nPlay\n") + Count("\nResume\n") > played; })) << "it never played";
    ASSERT_TRUE(WaitFor([&] { return Area(f->Panel6) != still; })) << "the picture stood still";
    Step("playing");
    Click(f->bsSkinButton14);
    ASSERT_TRUE(WaitFor([&] { return Count("\nPause\n") > paused; })) << "it never paused";
  }

  // The snapshot type chosen through the settings button's menu (a left
  // press opens it at the pointer, the type submenu opens on hover), then a
  // snapshot of the paused picture. Returns the picture's file.
  fs::path SnapshotAsPng(const std::string& inputStem) {
    TForm1* f = twin->form1;
    const Twin::MenuPath path = twin->SnapshotMenu("快照保存类型", "PNG文件");
    EXPECT_GE(path.item.X, 0) << "no type submenu in the twin";
    if (path.item.X < 0) return {};
    // A menu window on the screen: a window of that size other than those in `besides`.
    auto menuWindow = [&](cl::TPoint size, const std::vector<std::string>& besides) {
      std::string found;
      WaitFor([&] {
        for (auto& id : Windows(".", "--class")) {
          if (id == main || std::find(besides.begin(), besides.end(), id) != besides.end()) continue;
          const Rect r = Geometry(id);
          if (r.w == size.X && r.h == size.Y) found = id;
        }
        return !found.empty();
      });
      return found;
    };
    const std::vector<std::string> before = Windows(".", "--class");
    Click(f->bsSkinButton23);
    const std::string first = menuWindow(path.firstSize, before);
    EXPECT_FALSE(first.empty()) << "the snapshot menu never opened";
    if (first.empty()) return {};
    const Rect firstAt = Geometry(first);
    Xdo({"mousemove", std::to_string(firstAt.x + path.opener.X), std::to_string(firstAt.y + path.opener.Y)});
    std::vector<std::string> others = before;
    others.push_back(first);
    const std::string sub = menuWindow(path.subSize, others);
    EXPECT_FALSE(sub.empty()) << "the type submenu never opened";
    if (sub.empty()) return {};
    Step("snapshot-menu");
    ClickAt(Geometry(sub), path.item);
    EXPECT_TRUE(WaitFor([&] { return Windows(".", "--class").size() <= before.size(); })) << "the menu stayed open";
    EXPECT_TRUE(WaitFor([&] { return Ini("SnapShot", "Picture") == "PNG"; })) << "the type was not stored";

    Click(f->bsSkinButton22);
    fs::path picture;
    EXPECT_TRUE(WaitFor([&] {
      const std::string dir = Ini("SnapShot", "Dir");
      if (dir.empty()) return false;
      picture = fs::path(dir) / (inputStem + "_1.png");
      return fs::exists(picture) && !QImage(QString::fromStdString(picture.string()), "PNG").isNull();
    })) << "no snapshot "
        << picture;
    return picture;
  }

  // "重命名" under the list opens an editor on the selected row's output
  // name; the typed name is taken with Enter.
  void RenameSelectedRow(const std::string& name) {
    Click(twin->form1->bsSkinButton21);
    Xdo({"type", "--delay", "20", name});
    Step("renaming");
    Keys("Return");
  }

  // With VC_E2E_STEPS set, the screen after each named step is kept too.
  void Step(const std::string& name) {
    if (std::getenv("VC_E2E_STEPS")) SaveScreen((shots / ("e2e-" + name + ".png")).string());
  }

  // The colour in the middle of the main window's caption: it tells the skins apart.
  QRgb CaptionColour() {
    mainAt = Geometry(main);
    return SettledScreen().pixel(mainAt.x + mainAt.w / 2, mainAt.y + 6);
  }

  std::string Ini(const std::string& section, const std::string& key) {
    return rtl::TIniFile((program.parent_path() / "option.ini").string()).ReadString(section, key, "");
  }

  fs::path root, program, shots;
  std::unique_ptr<Twin> twin;
  pid_t pid = -1;
  size_t logStart = 0;
  std::string main;
  Rect mainAt;
};

}  // namespace e2e
