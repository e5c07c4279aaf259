// The preview pane and the snapshots through the real window and player: a
// fixture film added through the file-chooser seam opens paused in the
// video area, the seek bar and buttons drive the player, and snapshots land
// as numbered pictures that decode back to the frame they were taken of.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "app/PictureWriters.h"
#include "platform/cl/application.h"
#include "platform/ctl/videosurface.h"
#include "platform/gfx/bmp.h"
#include "platform/rtl/dispatcher.h"
#include "platform/testkit/harness.h"
#include "tests/app/common/ProgramFixture.h"
#include "tests/media/common/MediaFixtures.h"

// Last: it defines TRUE and FALSE as macros (and needs <cstdio> first).
#include <jpeglib.h>

namespace fs = std::filesystem;

namespace {

constexpr int kWait = 60000;  // generous: returns as soon as the condition holds

std::string Slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// A decoded picture as B,G,R bytes, rows packed.
struct Decoded {
  int width = 0, height = 0;
  std::vector<uint8_t> bgr;
  const uint8_t* Px(int x, int y) const { return &bgr[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};

Decoded DecodeBmp(const std::string& bytes) {
  Decoded d;
  gfx::bmp::Image img = gfx::bmp::Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  d.width = img.width;
  d.height = img.height;
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* row = &img.pixels[size_t(y) * size_t(img.stride)];
    d.bgr.insert(d.bgr.end(), row, row + size_t(img.width) * 3);
  }
  return d;
}

Decoded DecodePng(const std::string& path) {
  Decoded d;
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, path.c_str())) return d;
  img.format = PNG_FORMAT_BGR;
  d.bgr.resize(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, d.bgr.data(), 0, nullptr)) return {};
  d.width = int(img.width);
  d.height = int(img.height);
  return d;
}

Decoded DecodeJpeg(const std::string& bytes) {
  Decoded d;
  jpeg_decompress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&c, true);
  c.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&c);
  d.width = int(c.output_width);
  d.height = int(c.output_height);
  d.bgr.resize(size_t(d.width) * size_t(d.height) * 3);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = &d.bgr[size_t(c.output_scanline) * size_t(d.width) * 3];
    jpeg_read_scanlines(&c, &row, 1);
  }
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  return d;
}

Decoded DecodeGif(const std::string& path) {
  Decoded d;
  int err = 0;
  GifFileType* g = DGifOpenFileName(path.c_str(), &err);
  if (!g) return d;
  if (DGifSlurp(g) == GIF_OK && g->ImageCount == 1) {
    const SavedImage& im = g->SavedImages[0];
    const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : g->SColorMap;
    d.width = im.ImageDesc.Width;
    d.height = im.ImageDesc.Height;
    for (int i = 0; i < d.width * d.height; ++i) {
      const GifColorType c = map->Colors[im.RasterBits[i]];
      d.bgr.insert(d.bgr.end(), {c.Blue, c.Green, c.Red});
    }
  }
  DGifCloseFile(g, &err);
  return d;
}

class Preview : public programtest::ProgramTest {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SetUpProgram("preview_", true);
    TForm1::Services().DefaultSnapshotFolder = (root / "snap").string();
  }
  // Adds a copy of the fixture av.avi (320x240, 2 s) as `name`; adding selects it.
  void AddClip(const std::string& name = "clip.avi") {
    const fs::path dst = root / "in" / name;
    fs::copy_file(mediatest::Fixture("av.avi"), dst, fs::copy_options::overwrite_existing);
    chooser.files = {dst.string()};
    form1->btnAddClick();
  }
  bool Until(const std::function<bool()>& pred) { return rtl::WaitWhilePumping(pred, kWait); }
  int FrameWidth() {
    media::TBitmap* b = form1->ZEVizeza->CurrentFrame();
    return b ? b->Width() : 0;
  }
  // Paused near the start with a decoded picture (not the black of none yet).
  bool OpenedPausedAtStart() {
    int64_t pts = -1;
    media::TBitmap* b = form1->ZEVizeza->CurrentFrame(pts);
    if (!b || b->Width() <= 0 || pts < 0 || pts >= 200000 || !form1->ZEVizeza->Paused()) return false;
    const uint8_t* mid = b->ScanLine(b->Height() / 2);
    for (int x = 0; x < b->Width() * 3; ++x)
      if (mid[x]) return true;
    return false;
  }
  size_t Count(const std::string& line) {
    size_t n = 0;
    std::istringstream in(log);
    for (std::string l; std::getline(in, l);) n += l == line;
    return n;
  }
  std::string Ini() { return Slurp(root / "prog" / "option.ini"); }
  ctl::TVideoSurface* Surface() { return ctl::TVideoSurface::SinkForWindow(form1->Panel6->Handle()); }
};

}  // namespace

TEST_F(Preview, TheHiddenSettingsHoldTheirFixedValues) {
  Start();
  EXPECT_TRUE(form1->chkOpenPaused->Checked());
  EXPECT_FALSE(form1->chkStayOnTop->Checked());
  EXPECT_EQ(form1->TrackBar2->Max(), 128);
  EXPECT_EQ(form1->TrackBar2->Position(), 128);
  EXPECT_EQ(form1->Label2->Caption(), "N/A");
  EXPECT_EQ(form1->cboVideoDriver->Items()->Get(2), "GDI");
  EXPECT_EQ(form1->cboAudioDriver->ItemIndex(), 0);
  EXPECT_FALSE(form1->cboSubtitle->Enabled());
  EXPECT_TRUE(form1->BMP1->Checked());
  EXPECT_EQ(form1->bsSkinButton22->Hint, "快照");
  EXPECT_EQ(form1->bsSkinButton23->Hint, "设置");
  EXPECT_FALSE(form1->bsSkinButton24->Visible());
  // Mute and unmute share a place: the one that may be pressed shows.
  form1->bsSkinButton16Click();
  EXPECT_TRUE(form1->ZEVizeza->Mute);
  EXPECT_TRUE(form1->bsSkinButton20->Visible());
  EXPECT_FALSE(form1->bsSkinButton16->Visible());
  form1->bsSkinButton20Click();
  EXPECT_FALSE(form1->ZEVizeza->Mute);
  EXPECT_TRUE(form1->bsSkinButton16->Visible());
  EXPECT_FALSE(form1->bsSkinButton20->Visible());
  form1->TrackBar2->SetPosition(40);
  EXPECT_EQ(form1->ZEVizeza->AudioVolume, 40);
  // Nothing open: the buttons act on nothing, no snapshot is written.
  form1->bsSkinButton13Click();
  form1->bsSkinButton15Click();
  form1->bsSkinButton22Click();
  EXPECT_TRUE(fs::is_directory(root / "snap"));
  EXPECT_TRUE(fs::is_empty(root / "snap"));
}

TEST_F(Preview, SelectingARowOpensItPausedAtItsStartAndStopReloadsIt) {
  Start();
  AddClip();
  ASSERT_EQ(form1->lvFiles->Items()->Count(), 1) << log;
  ASSERT_TRUE(Until([&] { return OpenedPausedAtStart(); })) << log;
  // At the start: a loaded machine may have shown a picture or two before
  // the pause held, and the bar follows their positions (under 0.2 s).
  EXPECT_LT(form1->bsSkinSlider1->Value(), 200 * 200000 / std::max<int64_t>(form1->FDuration, 1) + 1);
  EXPECT_EQ(form1->bsSkinSlider1->MaxValue(), 200);
  EXPECT_GT(form1->FDuration, 1900000);
  EXPECT_EQ(form1->Label2->Caption().substr(0, 2), "2.");
  EXPECT_NE(log.find("frame size: 320x240"), std::string::npos) << log;
  EXPECT_EQ(form1->cboVideo->Items()->Count(), 1);
  EXPECT_FALSE(form1->cboVideo->Enabled());  // a single stream offers no choice
  EXPECT_EQ(form1->cboAudio->Items()->Get(0), "Audio#1");
  // The video area shows the first picture, scaled to the area.
  ctl::TVideoSurface* surface = Surface();
  ASSERT_TRUE(Until([&] { return surface->HasPicture(); }));
  EXPECT_EQ(surface->Size().cx, 200);
  EXPECT_EQ(surface->Size().cy, 124);

  // Stop reloads the file, paused at its start again.
  // Playing keeps the window on top when asked to; a stop ends that.
  const size_t stops = Count("Stop");
  form1->chkStayOnTop->SetChecked(true);
  form1->bsSkinButton13Click();
  ASSERT_TRUE(Until([&] { return form1->FormStyle() == cl::fsStayOnTop; })) << log;
  form1->bsSkinButton15Click();
  EXPECT_GT(Count("Stop"), stops);
  EXPECT_EQ(form1->FormStyle(), cl::fsNormal);
  ASSERT_TRUE(Until([&] { return OpenedPausedAtStart(); })) << log;

  // A click that leaves no row selected closes the preview.
  form1->lvFiles->ClearSelection();
  form1->lvFilesClick();
  EXPECT_EQ(FrameWidth(), 0);
  // Stop with no row selected does nothing.
  const size_t before = Count("Stop");
  form1->bsSkinButton15Click();
  EXPECT_EQ(Count("Stop"), before);
  EXPECT_EQ(FrameWidth(), 0);
}

// A file added while the preview of the one before is still opening (the
// open's wait serves the window) is previewed once that open is done.
TEST_F(Preview, ARowChosenWhileAnOpenWaitsIsPreviewedAfterIt) {
  Start();
  rtl::Post([&] { AddClip("second.avi"); });
  AddClip("first.avi");
  ASSERT_TRUE(Until([&] { return form1->lvFiles->Items()->Count() == 2; })) << log;
  const std::string want = form1->Logic->T_Movie_PLayer_FileName;
  EXPECT_NE(want.find("second.avi"), std::string::npos);
  ASSERT_TRUE(Until([&] { return form1->ZEVizeza->FileName() == want && OpenedPausedAtStart(); })) << log;
  EXPECT_EQ(log.find("Cannot open a file"), std::string::npos) << log;
}

TEST_F(Preview, TheHeldSeekBarIgnoresPositionsAndTheEndReturnsToTheStartPaused) {
  Start();
  AddClip();
  ASSERT_TRUE(Until([&] { return OpenedPausedAtStart(); })) << log;
  form1->bsSkinSlider1MouseDown();
  EXPECT_EQ(form1->bsSkinSlider1_down_UP, "Down");
  const std::string shown = form1->Label3->Caption();
  form1->ZEVizezaPosition(form1->ZEVizeza.get(), 1500000);
  EXPECT_EQ(form1->bsSkinSlider1->Value(), 0);
  EXPECT_EQ(form1->Label3->Caption(), shown);
  // Released at the right end: the seek goes to the file's end and playback
  // resumes, so the end comes, and the file waits at its start again.
  form1->bsSkinSlider1->SetValue(form1->bsSkinSlider1->MaxValue());
  form1->bsSkinSlider1MouseUp();
  EXPECT_EQ(form1->bsSkinSlider1_down_UP, "UP");
  ASSERT_TRUE(Until([&] { return Count("End") > 0; })) << log;
  ASSERT_TRUE(Until([&] { return OpenedPausedAtStart(); })) << log << [&] {
    int64_t pts = -1;
    form1->ZEVizeza->CurrentFrame(pts);
    return std::to_string(pts) + " " + std::to_string(form1->ZEVizeza->CurrentPTS()) + " " +
           std::to_string(form1->ZEVizeza->Paused()) + " " + std::to_string(FrameWidth());
  }();
  // It seeks back within the open file; the file is not stopped and opened again.
  EXPECT_EQ(Count("Stop"), 0u) << log;
  // Released, position events move the bar again.
  form1->ZEVizezaPosition(form1->ZEVizeza.get(), form1->FDuration / 2);
  EXPECT_EQ(form1->bsSkinSlider1->Value(), 100);
  EXPECT_EQ(form1->Label3->Caption().substr(0, 2), "1.");
}

TEST_F(Preview, SnapshotsAreNumberedPerTypeAndDecodeToTheFrame) {
  Start();
  AddClip();
  ASSERT_TRUE(Until([&] { return OpenedPausedAtStart(); })) << log;
  std::vector<uint8_t> frame;
  int fw = 0, fh = 0;
  auto shown = [&] {
    media::TBitmap* b = form1->ZEVizeza->CurrentFrame();
    fw = b->Width();
    fh = b->Height();
    frame.clear();
    for (int y = 0; y < fh; ++y) frame.insert(frame.end(), b->ScanLine(y), b->ScanLine(y) + fw * 3);
  };
  // The first snapshot without option.ini stores the default folder and type.
  fs::remove(root / "prog" / "option.ini");
  form1->bsSkinButton22Click();
  const fs::path snap = root / "snap";
  EXPECT_TRUE(fs::exists(snap / "clip_1.bmp"));
  EXPECT_NE(Ini().find("Dir=" + snap.string()), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("Picture=BMP"), std::string::npos) << Ini();
  form1->bsSkinButton22Click();
  form1->bsSkinButton22Click();
  fs::remove(snap / "clip_2.bmp");
  form1->bsSkinButton22Click();  // the free number is taken again
  EXPECT_TRUE(fs::exists(snap / "clip_2.bmp"));
  EXPECT_TRUE(fs::exists(snap / "clip_3.bmp"));
  EXPECT_FALSE(fs::exists(snap / "clip_4.bmp"));
  // Numbers count per extension.
  struct Case {
    cl::TMenuItem* choose;
    const char* file;
    int tolerance;  // per channel, averaged over the picture
  } cases[] = {{form1->JPG1, "clip_1.jpg", 12},
               {form1->GIF1, "clip_1.gif", 24},
               {form1->PNG1, "clip_1.png", 0},
               {form1->BMP1, "clip_4.bmp", 0}};
  for (const Case& c : cases) {
    c.choose->Click();
    shown();
    form1->bsSkinButton22Click();
    const std::string path = (snap / c.file).string();
    ASSERT_TRUE(fs::exists(path)) << c.file << "\n" << log;
    const std::string ext = fs::path(path).extension().string();
    Decoded d = ext == ".jpg"   ? DecodeJpeg(Slurp(path))
                : ext == ".gif" ? DecodeGif(path)
                : ext == ".png" ? DecodePng(path)
                                : DecodeBmp(Slurp(path));
    ASSERT_EQ(d.width, fw) << c.file;
    ASSERT_EQ(d.height, fh) << c.file;
    // Channels in the right order and rows the right way up.
    double diff = 0;
    for (size_t i = 0; i < frame.size(); ++i) diff += std::abs(int(frame[i]) - int(d.bgr[i]));
    EXPECT_LE(diff / double(frame.size()), c.tolerance) << c.file;
  }
  // The hidden "Capture" button: a BMP for ".bmp" in any case, else a JPEG.
  std::string answer;
  TForm1::Services().SavePicture = [&](const std::string& filter, const std::string& ext, std::string& file) {
    EXPECT_EQ(filter, "Bitmaps (*.bmp)|*.bmp|JPEG Image File |*.jpg;*.jpeg");
    EXPECT_EQ(ext, "bmp");
    file = answer;
    return true;
  };
  for (const char* name : {"cap.BMP", "cap.jpeg"}) {
    answer = (root / name).string();
    form1->btnCaptureClick();
    const std::string bytes = Slurp(answer);
    ASSERT_GT(bytes.size(), 2u) << name;
    EXPECT_EQ(bytes.substr(0, 2), std::string(name) == "cap.BMP" ? "BM" : "\xFF\xD8") << name;
  }
  EXPECT_TRUE(infos.empty());
}

TEST_F(Preview, TheSnapshotMenuStoresTypeAndFolder) {
  Start();
  // A stored type outside the four is replaced by BMP.
  form1->Ini->Write("SnapShot", "Picture", "TIFF");
  form1->PNG1->SetChecked(true);
  form1->bsSkinButton23Click();
  EXPECT_NE(Ini().find("Picture=BMP"), std::string::npos) << Ini();
  EXPECT_TRUE(form1->BMP1->Checked());
  form1->GIF1->Click();
  EXPECT_NE(Ini().find("Picture=GIF"), std::string::npos) << Ini();
  form1->BMP1->SetChecked(true);
  form1->bsSkinButton23Click();
  EXPECT_TRUE(form1->GIF1->Checked());
  EXPECT_FALSE(form1->BMP1->Checked());

  // Cancelling the folder dialog stores nothing; confirming an existing folder does.
  form1->MenuItem2->Click();
  EXPECT_EQ(Ini().find("Dir="), std::string::npos);
  ASSERT_EQ(chooser.titles.size(), 1u);
  EXPECT_EQ(chooser.titles[0], "选择输出目录");
  fs::create_directories(root / "chosen");
  chooser.folder = (root / "chosen").string();
  form1->MenuItem2->Click();
  EXPECT_NE(Ini().find("Dir=" + chooser.folder), std::string::npos) << Ini();
  // A stored folder that is gone is made again (with its parents) and opened.
  fs::remove_all(root / "chosen");
  h.launcher.calls.clear();
  form1->MenuItem1->Click();
  EXPECT_TRUE(fs::is_directory(root / "chosen"));
  ASSERT_EQ(h.launcher.calls.size(), 1u);
  EXPECT_EQ(h.launcher.calls[0].back(), chooser.folder);
}

TEST_F(Preview, ASnapshotThatCannotBeWrittenIsReportedAndLeavesNoFile) {
  Start();
  AddClip();
  ASSERT_TRUE(Until([&] { return OpenedPausedAtStart(); })) << log;
  // A folder below a plain file cannot be made, not even by root.
  std::ofstream(root / "plain") << "x";
  form1->Ini->Write("SnapShot", "Dir", (root / "plain" / "sub").string());
  form1->bsSkinButton22Click();
  ASSERT_EQ(infos.size(), 1u);
  EXPECT_NE(infos[0].find("无法创建快照目录"), std::string::npos);
  EXPECT_NE(log.find(infos[0]), std::string::npos);

  // A disk that fills up part-way: the half-written picture goes again.
  fs::create_directories(root / "snap2");
  form1->Ini->Write("SnapShot", "Dir", (root / "snap2").string());
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  form1->bsSkinButton22Click();
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  ASSERT_EQ(infos.size(), 2u) << log;
  EXPECT_NE(infos[1].find("无法保存快照"), std::string::npos) << infos[1];
  EXPECT_TRUE(fs::is_empty(root / "snap2"));
}
