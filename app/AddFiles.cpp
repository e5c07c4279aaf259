#include "app/AddFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

struct FilterEntry {
  const char* description;
  const char* patterns;
};

const FilterEntry kFilter[] = {
    {"所有文件格式 (*.*)", "*.*"},
    {"支持的视频/音频文件格式",
     "*.AVI;*.ASF;*.asx;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.MP4;*.MPG;*.MPEG;*.DAT;*.OGM;*.VOB;*.RM;*.RMVB;*.TS;"
     "*.TP;*.IFO;*.NSV;*.MP3;*.AAC;*.WAV;*.WMA;*.CDA;*.SWF;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;*.MPA;*.MPC;*.APE;*.OFR;"
     "*.OGG;*.RA;*.WV;*.TTA;*.AC3;*.DTS;*.DV;*.m4v;*.3g2;*.mkv;*.dv;*.yuv;*.h261;*.h264;*.mjpeg;*.dif;*.m4v;*.3gpp;"
     "*.3gp2;*.qt"},
    {"支持的视频文件格式",
     "*.AVI;*.ASF;*.asx;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.MP4;*.MPG;*.MPEG;*.DAT;*.OGM;*.VOB;*.RM;*.RMVB;*.TS;"
     "*.TP;*.IFO;*.NSV;*.SWF;*.WV;*.TTA;*.AC3;*.DTS;*.DV;*.m4v;*.3g2;*.mkv;*.dv;*.yuv;*.h261;*.h264;*.mjpeg;*.dif;"
     "*.m4v;*.3gpp;*.3gp2;*.qt"},
    {"支持的音频文件格式",
     "*.MP3;*.AAC;*.WAV;*.WMA;*.CDA;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;*.MPA;*.MPC;*.APE;*.OFR;*.OGG;*.RA;*.WV;*.TTA;"
     "*.AC3"},
    {"AVI文件 (*.avi)", "*.avi"},
    {"Real视频文件格式 (*.rm;*.rmvb)", "*.rm;*.rmvb"},
    {"MP4视频格式 (*.mp4;*.m4v)", "*.mp4;*.m4v"},
    {"MPEG视频格式 (*.mpg;*.mpeg)", "*.mpg;*.mpeg"},
    {"DVD视频格式 (*.vob)", "*.vob"},
    {"VCD/SVCD视频格式 (*.dat;*.mpg)", "*.dat;*.mpg"},
    {"ASF微软视频格式 (*.asf)", "*.asf"},
    {"WMV微软视频格式 (*.wmv)", "*.wmv"},
    {"手机3GPP文件格式 (*.3gp;*.3gpp)", "*.3gp;*.3gpp"},
    {"手机3GPP2文件格式 (*.3g2;*.3gp2)", "*.3g2;*.3gp2"},
    {"Flash动画格式 (*.swf)", "*.swf"},
    {"Flash视频格式 (*.flv)", "*.flv"},
    {"MKV视频媒体格式 (*.mkv)", "*.mkv"},
    {"Quick Time视频文件格式 (*.mov;*.qt)", "*.mov;*.qt"},
    {"DV数字视频文件格式 (*.dv;*.dif)", "*.dv;*.dif"},
    {"Raw h261类型文件 (*.h261)", "*.h261"},
    {"Raw h264类型文件 (*.h264)", "*.h264"},
    {"YUV类型文件 (*.yuv)", "*.yuv"},
    {"GIF图片动画格式 (*.gif)", "*.gif"},
    {"MJPEG视频格式(*.mjpg;*.mjpeg)", "*.mjpg;*.mjpeg"},
    {"TS视频格式 (*.ts)", "*.ts"},
    {"WMV高清HD视频格式 (*.xwmv)", "*.xwmv"},
    {"微软数字视频格式( *.dvr-ms)", "*.dvr-ms"},
    {"iTunes视频格式 (*.m4v)", "*.m4v"},
    {"MP3音频格式 (*.mp3)", "*.mp3"},
    {"CD音频格式 (*.cda)", "*.cda"},
    {"WMA微软音频格式 (*.wma)", "*.wma"},
    {"WAVE音频格式 (*.wav)", "*.wav"},
    {"REAL音频格式 (*.ra;*.ram)", "*.ra;*.ram"},
    {"MP4音频格式 (*.m4a;*.mp4)", "*.m4a;*.mp4"},
    {"AAC高级音频格式 (*.aac)", "*.aac"},
    {"AC3音频格式 (*.ac3)", "*.ac3"},
    {"Monkey音频格式 (*.ape;*.cue)", "*.ape;*.cue"},
    {"Flac无损压缩音频格式　(*.flac)", "*.flac"},
    {"MPEG音频编码格式(*.mpa)", "*.mpa"},
    {"MPEG 2音频编码格式(*.mp2)", "*.mp2"},
    {"OGG音频编码格式(*.ogg)", "*.ogg"},
    {"AIFF音频编码格式(*.aif; *.aiff)", "*.aif; *.aiff"},
};
static_assert(sizeof(kFilter) / sizeof(kFilter[0]) == 42);

}  // namespace

std::string OpenDialogFilter() {
  std::string s;
  for (const auto& e : kFilter) s += std::string(e.description) + "|" + e.patterns + "|";
  return s;
}

std::string SecToDate(int64_t sec) {
  const int64_t s = sec % 60;
  const int64_t m = ((sec - s) / 60) % 60;
  const int64_t h = ((sec - s - m * 60) / 3600) % 24;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2d:%.2d:%.2d", int(h), int(m), int(s));
  return buf;
}

std::string SizeInMB(int64_t bytes) {
  const double mb = std::round(double(bytes) / 1024.0 / 1024.0 * 100.0) / 100.0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", mb);
  std::string t = buf;
  while (!t.empty() && t.back() == '0') t.pop_back();
  if (!t.empty() && t.back() == '.') t.pop_back();
  return t + "MB";
}

std::vector<std::string> GetFilenames(const std::string& folder) {
  std::vector<std::string> out;
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return out;
  std::string base = folder;
  if (base.empty() || base.back() != '/') base += '/';
  for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec)) continue;
    out.push_back(base + it->path().filename().string());
  }
  return out;
}

// --- the add commands of the main window -----------------------------------------

#include <unistd.h>

#include "app/JobParams.h"
#include "app/MainForm.h"
#include "media/AVProbe.h"
#include "platform/rtl/files.h"

namespace {

bool EnsureLibraries(TForm1& f) {
  if (f.FFConv->AVLibLoaded()) return true;
  if (f.FFConv->LoadAVLib(rtl::ExeFolder() + "LibAV")) return true;
  f.Log(f.FFConv->LastErrMsg());
  return false;
}

// Why no output could be set for a file, as a user can act on it.
std::string OutputFolderReason(const std::string& folder) {
  if (!rtl::DirectoryExists(folder)) return "输出文件夹不存在";
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return "输出文件夹不能写入";
  return "不能转换为所选的格式";
}

}  // namespace

void TForm1::NotAdded(const std::string& name, const std::string& reason) {
  notAdded_.push_back(ExtractFileName(name) + "：" + reason);
}

void TForm1::TellNotAdded(const std::string& lead) {
  // One box per add command: the log alone changes nothing on screen.
  std::string text = lead;
  if (!notAdded_.empty()) {
    if (!text.empty()) text += "\n\n";
    text += "以下文件没有添加：";
    const size_t shown = std::min<size_t>(notAdded_.size(), 20);
    for (size_t i = 0; i < shown; ++i) text += "\n" + notAdded_[i];
    if (notAdded_.size() > shown) text += "\n……另有 " + std::to_string(notAdded_.size() - shown) + " 个文件";
  }
  notAdded_.clear();
  if (text.empty()) return;
  if (Services().InfoBox)
    Services().InfoBox(text);
  else
    Log(text);
}

bool TForm1::AddOneFile(const std::string& name) {
  if (!rtl::FileExists(name)) {
    NotAdded(name, "文件不存在");
    return false;
  }
  media::TAVProbe* probe = FFConv->AVProbe();
  if (!probe->LoadFile(name, "")) {
    Log("");
    Log("***File load error: " + probe->LastErrMsg());
    Log("");
    NotAdded(name, rtl::FileSizeOf(name) == 0 ? "文件是空的（0 字节）" : "不是能识别的视频或音频文件，或文件已损坏");
    return false;
  }
  Logic->Job.Video_AddFileName = name;
  media::TInputOptions io;
  media::InitInputOptions(io);
  const int task = FFConv->AddTask(name, &io);
  if (task < 0) {
    Log("");
    Log("***File open error: " + FFConv->LastErrMsg());
    Log("");
    NotAdded(name, "无法打开文件");
    return false;
  }
  Log("");
  if (media::TAVProbe* tp = FFConv->TaskProbe(task, 0)) Log(tp->FileInfoText());
  Logic->T_Movie_PLayer_FileName = name;
  media::TOutputOptions oo;
  media::InitOutputOptions(oo);
  // The new file's job; the row selected before the add keeps its columns.
  Logic->ApplyPresetForAdd();
  Logic->Button13Click();
  BuildJobOutputOptions(Logic->Job, oo);
  // Only checks that the output could be written: the file itself is made
  // when its task starts, so adding touches nothing in the output folder.
  if (!FFConv->SetOutputFile(task, Logic->Job.Video_OutPutFileName, &oo)) {
    FFConv->RemoveTask(task);
    Log("");
    Log("***Cannot do convert, error: " + FFConv->LastErrMsg());
    Log("");
    NotAdded(name, OutputFolderReason(FileOutPutPath));
    return false;
  }
  const int slot = JobSlots.Store(io, oo);
  if (slot < 0) {
    FFConv->RemoveTask(task);
    // Every slot was used since the list was last cleared: the row could not
    // be converted, so it is not offered.
    Log("");
    Log("***Cannot do convert, error: the list holds as many files as it can; clear it first");
    Log("");
    NotAdded(name, "列表已满（最多 " + std::to_string(TJobSlots::kCount) + " 个文件），请先清空列表");
    return false;
  }
  ShowEmptyListPicture(false);
  const media::TFileStreamInfo info = probe->FileStreamInfo();
  const TJobSettings& job = Logic->Job;
  ctl::TListItem* it = lvFiles->Items()->Add();
  it->SetCaption(io.FileName.empty() ? name : io.FileName);
  rtl::TStrings* c = it->SubItems();
  c->Add(info.Duration > 0 ? SecToDate(info.Duration / 1000000) : "N/A");
  c->Add(SizeInMB(probe->FileSize()));
  c->Add(ExtractFileName(oo.FileName.empty() ? job.Video_OutPutFileName : oo.FileName));
  for (int i = 0; i < 4; ++i) c->Add("");
  c->Add(std::to_string(task + 1));
  c->Add(Logic->CurrentCategoryCode());
  c->Add(Logic->CurrentPresetOptionCode());
  // The job's columns as a later choice of format on this row writes them,
  // so a row converts the same whichever way it got its format.
  for (int col = colVideoCodec; col <= colNormType; ++col) c->Add(JobColumnText(FileColumn(col), job));
  it->Data = reinterpret_cast<void*>(intptr_t(slot) + 1);
  SetGroup(TCommandGroup::Remove, true);
  SetGroup(TCommandGroup::Clear, true);
  SetGroup(TCommandGroup::Start, true);
  Log("");
  Log("***Can do convert.");
  Log("");
  return true;
}

// The list takes the keyboard once the rows are in. An add waits for the
// preview to open, and the user may have opened a chooser's list meanwhile:
// the files port leaves the keyboard with an open list.
void TForm1::btnAddClick() {
  Logic->Button6Click();
  if (!EnsureLibraries(*this)) return;
  std::string file;
  IFileChooser* chooser = Services().Chooser;
  if (!chooser || !chooser->OpenFile(OpenDialogFilter, file) || !rtl::FileExists(file)) return;
  const int before = lvFiles->Items()->Count();
  AddOneFile(file);
  if (lvFiles->Items()->Count() > before) {
    lvFiles->Items()->Item(lvFiles->Items()->Count() - 1)->SetSelected(true);
    filesPort_->SetFocus();
  }
  TellNotAdded();
}

void TForm1::Button8Click() {
  Logic->Button6Click();
  if (!EnsureLibraries(*this)) return;
  std::vector<std::string> files;
  IFileChooser* chooser = Services().Chooser;
  if (!chooser || !chooser->OpenFiles(OpenDialogFilter, files) || files.empty() || !rtl::FileExists(files.front()))
    return;
  // A file that cannot be added is named in the box at the end; the others
  // are still added.
  for (auto i = files.rbegin(); i != files.rend(); ++i) AddOneFile(*i);
  if (lvFiles->Items()->Count() > 0) {
    lvFiles->Items()->Item(lvFiles->Items()->Count() - 1)->SetSelected(true);
    filesPort_->SetFocus();
  }
  TellNotAdded();
}

void TForm1::Button12Click() {
  const int before = lvFiles->Items()->Count();
  Logic->Button6Click();
  if (!EnsureLibraries(*this)) return;
  std::string folder;
  IFileChooser* chooser = Services().Chooser;
  if (!chooser || !chooser->SelectFolder("选择目录", folder) || folder.empty() || !rtl::DirectoryExists(folder)) return;
  ListBox1->Items()->Clear();
  for (const std::string& f : GetFilenames(folder)) ListBox1->Items()->Add(f);
  for (int i = ListBox1->Items()->Count() - 1; i >= 0; --i) AddOneFile(ListBox1->Items()->Get(i));
  if (lvFiles->Items()->Count() > 0) {
    lvFiles->Items()->Item(lvFiles->Items()->Count() - 1)->SetSelected(true);
    filesPort_->SetFocus();
  }
  TellNotAdded(lvFiles->Items()->Count() <= before ? "在该目录没有发现可以用的视频或音频文件！" : "");
}
