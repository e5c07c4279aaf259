#include "app/ConversionRun.h"

#include "app/AddFiles.h"
#include "app/JobModel.h"
#include "app/JobOutput.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "platform/cl/application.h"
#include "platform/rtl/dispatcher.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/shell/launcher.h"
#include "platform/shell/power.h"
#include "platform/shell/sound.h"

namespace {

// Integer text as the rows hold it; anything else leaves the field alone.
bool ColumnInt(const std::string& s, int& v) {
  try {
    v = rtl::StrToInt(s);
    return true;
  } catch (const rtl::Exception&) {
    return false;
  }
}

}  // namespace

void RowToOutputOptions(const std::function<std::string(int)>& cell, media::TOutputOptions& out) {
  using media::TOptionNormType;
  using media::TOptionTargetType;
  // The columns alone say what they stand for: a value the slot kept from
  // the format the row had when it was added (its codecs, say) must not
  // outlive a later choice whose column is empty, as a DVD's codecs are left
  // to its target.
  const media::TOutputOptions fresh;
  out.VideoCodec = fresh.VideoCodec;
  out.VideoPreset = fresh.VideoPreset;
  out.AudioCodec = fresh.AudioCodec;
  out.AudioChannels = fresh.AudioChannels;
  out.FileExt = fresh.FileExt;
  out.FrameSize = fresh.FrameSize;
  out.VideoBitrate = fresh.VideoBitrate;
  out.FrameRate = fresh.FrameRate;
  out.AudioBitrate = fresh.AudioBitrate;
  out.AudioSampleRate = fresh.AudioSampleRate;
  out.FrameAspectRatio = fresh.FrameAspectRatio;
  out.TargetType = fresh.TargetType;
  const std::string vcodec = cell(colVideoCodec);
  if (!vcodec.empty()) {
    out.VideoCodec = vcodec;
    out.VideoPreset = vcodec == "libx264" ? "libx264-default" : "";
  }
  const std::string acodec = cell(colAudioCodec);
  if (!acodec.empty() && acodec != "AUTO") out.AudioCodec = acodec;
  int n = 0;
  if (!cell(colAudioChannels).empty() && ColumnInt(cell(colAudioChannels), n)) out.AudioChannels = n;
  const std::string tag = cell(colVideoTag);
  out.VideoTag = !tag.empty() && vcodec != "libx264" ? tag : "";
  if (!cell(colFileExt).empty()) out.FileExt = cell(colFileExt);
  if (!cell(colFrameSize).empty()) out.FrameSize = cell(colFrameSize);
  if (cell(colVideoBitrate) != "-1000" && ColumnInt(cell(colVideoBitrate), n)) out.VideoBitrate = n;
  if (!cell(colFrameRate).empty()) out.FrameRate = cell(colFrameRate);
  if (cell(colAudioBitrate) != "-1000" && ColumnInt(cell(colAudioBitrate), n)) out.AudioBitrate = n;
  const std::string rate = cell(colSampleRate);
  if (!rate.empty() && rate != "AUTO" && ColumnInt(rate, n)) out.AudioSampleRate = n;
  if (!cell(colAspect).empty()) out.FrameAspectRatio = cell(colAspect);
  out.DisableVideo = cell(colNoVideo) == "True";
  const std::string target = cell(colTargetType);
  if (!target.empty())
    out.TargetType = target == "vcd"    ? TOptionTargetType::ttVCD
                     : target == "svcd" ? TOptionTargetType::ttSVCD
                     : target == "dvd"  ? TOptionTargetType::ttDVD
                                        : TOptionTargetType::ttIgnore;
  const std::string norm = cell(colNormType);
  out.NormType = norm == "PAL"    ? TOptionNormType::ntPAL
                 : norm == "NTSC" ? TOptionNormType::ntNTSC
                                  : TOptionNormType::ntAuto;
  ApplyTargetPrecedence(out);
}

std::string ProgressPercent(int64_t current, int64_t total) {
  if (total <= 0) return "N/A";
  return std::to_string(current * 100 / total) + "%";
}

// --- the main window's conversion commands -----------------------------------------

void TForm1::AttachConverterEvents() {
  std::weak_ptr<bool> alive = alive_;
  FFConv->OnProgress = [this, alive](void*, media::TProgressInfo* p) {
    if (!p) return;
    media::TProgressInfo info = *p;
    auto run = [this, alive, info] {
      if (alive.lock()) FFConvProgress(info);
    };
    if (rtl::IsMainThread())
      run();
    else
      rtl::Post(run);
  };
  // Termination comes on a thread of its own; everything it does belongs to
  // the window, so it is handed over in the order it came.
  FFConv->OnTerminate = [this, alive](void*, const media::TTerminateInfo& info) {
    rtl::Post([this, alive, info] {
      if (alive.lock() && !closing_) FFConvTerminate(info);
    });
  };
}

void TForm1::DetachConverterEvents() {
  FFConv->OnProgress = nullptr;
  FFConv->OnTerminate = nullptr;
  FFConv->OnCustomHook = nullptr;
}

void TForm1::btnStartClick() {
  // The tasks of the last run go with the rebuild, so a start has to wait
  // for that run's end to be handled; during a stop (which waits for the
  // tasks while serving the window) it is refused.
  if (stopping_) return;
  if (runActive_ && !rtl::WaitWhilePumping([this] { return !runActive_; }, 60000)) return;
  runActive_ = true;
  runStopped_ = false;
  runFailed_ = false;
  if (Options) {
    if (Options->bsSkinCheckRadioBox9->Checked()) FFConv->SetThreadPriority(rtl::tpIdle);
    if (Options->bsSkinCheckRadioBox10->Checked()) FFConv->SetThreadPriority(rtl::tpLowest);
    if (Options->bsSkinCheckRadioBox11->Checked()) FFConv->SetThreadPriority(rtl::tpLower);
    if (Options->bsSkinCheckRadioBox12->Checked()) FFConv->SetThreadPriority(rtl::tpNormal);
  }
  button28Click();
  SetGroup(TCommandGroup::Add, false);
  Button22Click();
  SetGroup(TCommandGroup::Remove, false);
  SetGroup(TCommandGroup::Clear, false);
  SetGroup(TCommandGroup::Start, false);
  SetGroup(TCommandGroup::Stop, true);
  SetGroup(TCommandGroup::Pause, true);
  SetGroup(TCommandGroup::Resume, false);
  int threads = 1;
  if (Options && Options->bsSkinCheckRadioBox7->Checked()) threads = Options->ThreadCount();
  FFConv->Start(threads);
}

void TForm1::button28Click() {
  FFConv->ClearTasks();
  TaskRows.clear();
  TSkinFileListPort& rows = *filesPort_;
  std::string failures;
  for (int i = 0; i < rows.Count(); ++i) {
    int slot = rows.RowSlot(i);
    if (slot < 0) slot = i;
    TJobSlot& s = JobSlots[slot];
    s.IO1.FileName = rows.Cell(i, colInputFile);
    RowToOutputOptions([&](int col) { return rows.Cell(i, col); }, s.OO1);
    media::TInputOptions io = s.IO1;
    const int t = FFConv->AddTask(s.IO1.FileName, &io);
    std::string error;
    if (t < 0) {
      error = FFConv->LastErrMsg();
    } else {
      media::TOutputOptions oo = s.OO1;
      if (!FFConv->SetOutputFile(t, FileOutPutPath + "/" + rows.Cell(i, colOutputFile), &oo)) {
        error = FFConv->LastErrMsg();
        FFConv->RemoveTask(t);
      }
    }
    if (!error.empty()) {
      // The row cannot run (its file went or changed since it was added): it
      // says so and the others still run; events find rows through TaskRows.
      Log("");
      Log("***Cannot do convert, error: " + error);
      Log("");
      rows.SetCell(i, colProgress, error);
      failures += (failures.empty() ? "" : "\n") + error;
      continue;
    }
    TaskRows.push_back(i);
  }
  if (!failures.empty()) {
    runFailed_ = true;
    ShowFailure(failures);
  }
}

void TForm1::Button22Click() {
  SetGroup(TCommandGroup::Preset, false);
  bsSkinOfficeComboBox2->Repaint();
}

void TForm1::Button23Click() {
  SetGroup(TCommandGroup::Preset, true);
  bsSkinOfficeComboBox2->Repaint();
}

void TForm1::btnPauseClick() {
  SetGroup(TCommandGroup::Pause, false);
  SetGroup(TCommandGroup::Resume, true);
  FFConv->Pause();
}

void TForm1::btnResumeClick() {
  SetGroup(TCommandGroup::Pause, true);
  SetGroup(TCommandGroup::Resume, false);
  FFConv->Resume();
}

void TForm1::bsSkinButton11Click() { btnPauseClick(); }
void TForm1::bsSkinButton12Click() { btnResumeClick(); }

void TForm1::btnStopClick() {
  if (stopping_) return;
  SetGroup(TCommandGroup::Stop, false);
  Button23Click();
  runStopped_ = true;
  stopping_ = true;
  FFConv->Stop(true);
  stopping_ = false;
  // Offered again only now: a start while the tasks are still being waited
  // for would free them under the stop.
  SetGroup(TCommandGroup::Start, true);
}

bool TForm1::RunHadFailure() const {
  if (runFailed_) return true;
  // The last task's own event may still be on its way when the end of the
  // run is handled: the tasks themselves tell.
  for (int t = 0; t < FFConv->TasksCount(); ++t) {
    const media::TFFmpeg* f = FFConv->Task(t);
    if (f && (!f->Finished() || f->FatalException())) return true;
  }
  return false;
}

int TForm1::RowOfTask(int task) const {
  if (task < 0 || task >= int(TaskRows.size())) return -1;
  return TaskRows[size_t(task)] < filesPort_->Count() ? TaskRows[size_t(task)] : -1;
}

void TForm1::ShowFailure(const std::string& text) {
  if (Services().FailureBox)
    Services().FailureBox(text);
  else
    cl::Application->MessageBox(text, cl::Application->Title(), cl::MB_OK | cl::MB_ICONWARNING);
}

void TForm1::FFConvProgress(const media::TProgressInfo& info) {
  const int row = RowOfTask(info.TaskIndex);
  if (row < 0) return;
  filesPort_->SetCell(row, colProgress, ProgressPercent(info.CurrentDuration, info.TotalDuration));
  if (info.FPS > 0) filesPort_->SetCell(row, colFps, std::to_string(info.FPS));
  filesPort_->SetCell(row, colCurrentTime, SecToDate(info.CurrentDuration / 1000000));
  filesPort_->SetCell(row, colConvertedSize, SizeInMB(info.CurrentSize));
}

void TForm1::FFConvTerminate(const media::TTerminateInfo& info) {
  if (info.TaskIndex < 0) {
    SetGroup(TCommandGroup::Remove, false);
    SetGroup(TCommandGroup::Clear, true);
    SetGroup(TCommandGroup::Stop, false);
    SetGroup(TCommandGroup::Pause, false);
    SetGroup(TCommandGroup::Resume, false);
    Button23Click();
    runActive_ = false;
    // A stopped run did not complete: nothing of "after completion" runs.
    // The power-off never follows a failure, whose box would go with the
    // desktop session.
    if (Options && !runStopped_) {
      if (Options->bsSkinCheckRadioBox1->Checked()) Button20Click();
      if (Options->bsSkinCheckRadioBox2->Checked() && !RunHadFailure()) Button25Click();
      if (Options->bsSkinCheckRadioBox4->Checked()) Button29Click();
    }
  } else if (const int row = RowOfTask(info.TaskIndex); row >= 0) {
    if (info.Exception || (!info.Finished && !runStopped_)) runFailed_ = true;
    // A task that did not finish keeps the last percentage it showed; its
    // partial file is gone, and the box says which file and why.
    if (info.Finished) filesPort_->SetCell(row, colProgress, "100%");
    if (info.Exception) {
      ShowFailure("文件：" + filesPort_->Cell(row, colInputFile) + "\n输出：" + FileOutPutPath + "/" +
                  filesPort_->Cell(row, colOutputFile) + "\n" + info.ExceptionMsg);
      return;
    }
  }
  if (info.Exception) ShowFailure(info.ExceptionMsg);
}

void TForm1::Button20Click() { shell::ShellExecute(Handle(), "", Video_OutPut_Folder_Edit->Text(), "", "", 1); }

void TForm1::Button25Click() {
  // The guarded power-off refuses under tests and CI by itself.
  shell::SetPrivilege("SeShutdownPrivilege", true);
  if (!shell::PowerControl().PowerOff(true)) shell::SetPrivilege("SeShutdownPrivilege", false);
}

void TForm1::Button29Click() {
  const std::string path = ProgramFolder() + "sounds/ring001.wav";
  if (rtl::FileExists(path)) shell::PlaySound(path, nullptr, 1);
}
