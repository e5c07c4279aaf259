// The main window's preview pane: the player ZEVizeza shows the selected
// row's input in Panel6, paused at its start; the seek bar, the play, pause,
// stop and mute buttons drive it, and its file-open, position and state
// events come back here on the UI thread.
#include <cstring>

#include "app/MainForm.h"
#include "platform/cl/timer.h"
#include "platform/ctl/videosurface.h"
#include "platform/rtl/dispatcher.h"
#include "platform/rtl/format.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/win/messages.h"
#include "platform/win/metrics.h"
#include "platform/win/window.h"

const char* const TForm1::PlayStateNames[6] = {"Play", "Pause", "Resume", "Step", "Stop", "End"};

void TForm1::Button31Click() {
  if (!ZEVizeza->AVLibLoaded() && !ZEVizeza->LoadAVLib(ProgramFolder() + "LibAV")) {
    Log(ZEVizeza->LastErrMsg());
    return;
  }
  // The screen control is looked up by name among the window's own
  // components: the video area sits inside the preview group, not directly
  // on the window, and its size is what the picture is scaled to.
  FScreenControl = nullptr;
  if (const int i = cboScreens->ItemIndex(); i >= 0 && i < cboScreens->Items()->Count())
    FScreenControl = dynamic_cast<cl::TWinControl*>(FindComponent(cboScreens->Items()->Get(i)));
  if (FScreenControl) FScreenControl->HandleNeeded();
  switch (cboVideoDriver->ItemIndex()) {
    case 1:
      ZEVizeza->VideoDriver = media::vdDirectDraw;
      break;
    case 2:
      ZEVizeza->VideoDriver = media::vdGDI;
      break;
    default:
      ZEVizeza->VideoDriver = media::vdDefault;
  }
  switch (cboAudioDriver->ItemIndex()) {
    case 1:
      ZEVizeza->AudioDriver = media::adDirectSound;
      break;
    case 2:
      ZEVizeza->AudioDriver = media::adWaveOut;
      break;
    default:
      ZEVizeza->AudioDriver = media::adDefault;
  }
  OpenPreview(chkOpenPaused->Checked());
}

void TForm1::OpenPreview(bool paused) {
  // A row chosen while an earlier open still waits (its wait serves the
  // window) opens once that one is done, rather than being refused.
  if (ZEVizeza->OpeningHere()) {
    if (!previewRetry_) {
      previewRetry_ = new cl::TTimer(this);
      previewRetry_->SetInterval(50);
    }
    previewRetry_->SetOnTimer([this, paused](rtl::TObject*) {
      if (ZEVizeza->OpeningHere()) return;
      previewRetry_->SetEnabled(false);
      OpenPreview(paused);
    });
    previewRetry_->SetEnabled(true);
    return;
  }
  if (previewRetry_) previewRetry_->SetEnabled(false);
  Panel6->HandleNeeded();
  ctl::TVideoSurface* surface = ctl::TVideoSurface::SinkForWindow(Panel6->Handle());
  if (!ZEVizeza->Open(Logic->T_Movie_PLayer_FileName, surface, paused)) Log(ZEVizeza->LastErrMsg());
}

void TForm1::ZEVizezaFileOpen(media::TCustomPlayer*, int64_t ADuration, int AFrameWidth, int AFrameHeight,
                              int& AScreenWidth, int& AScreenHeight) {
  media::TAVProbe* probe = ZEVizeza->AVProbe();
  Log(probe->FileInfoText());
  Log(rtl::Format("duration: %f, frame size: %dx%d", double(ADuration) / 1000000, AFrameWidth, AFrameHeight));
  if (FScreenControl) {
    AScreenWidth = FScreenControl->Width();
    AScreenHeight = FScreenControl->Height();
  } else {
    AScreenWidth = win::GetSystemMetrics(win::SM_CXSCREEN);
    AScreenHeight = win::GetSystemMetrics(win::SM_CYSCREEN);
  }
  FDuration = ADuration;
  Label2->SetCaption(rtl::Format("%f", double(ADuration) / 1000000));
  Label3->SetCaption("0.0");
  bsSkinSlider1->SetIncrement(5);
  bsSkinSlider1->SetMaxValue(bsSkinSlider1->Width());
  bsSkinSlider1->SetValue(0);

  for (cl::TComboBox* c : {cboVideo, cboAudio, cboSubtitle}) c->Items()->Clear();
  for (int i = 0; i < probe->StreamCount(); ++i) {
    if (probe->IsVideoStream(i))
      cboVideo->Items()->Add(rtl::Format("Video#%d", i));
    else if (probe->IsAudioStream(i))
      cboAudio->Items()->Add(rtl::Format("Audio#%d", i));
    else if (probe->IsSubtitleStream(i))
      cboSubtitle->Items()->Add(rtl::Format("Subtitle#%d", i));
  }
  const int video = ZEVizeza->VideoStreamIndex(), audio = ZEVizeza->AudioStreamIndex();
  cboVideo->SetEnabled(cboVideo->Items()->Count() >= 2 && video >= 0);
  cboVideo->SetItemIndex(cboVideo->Items()->IndexOf(rtl::Format("Video#%d", video)));
  cboAudio->SetEnabled(cboAudio->Items()->Count() >= 2 && audio >= 0);
  cboAudio->SetItemIndex(cboAudio->Items()->IndexOf(rtl::Format("Audio#%d", audio)));
  cboSubtitle->SetEnabled(cboSubtitle->Items()->Count() >= 1 && video >= 0);
  if (cboSubtitle->Enabled()) {
    cboSubtitle->Items()->Insert(0, "Subtitle#-1");
    cboSubtitle->SetItemIndex(
        cboSubtitle->Items()->IndexOf(rtl::Format("Subtitle#%d", ZEVizeza->SubtitleStreamIndex())));
  }
}

void TForm1::ZEVizezaPosition(media::TCustomPlayer*, int64_t APTS) {
  if (bsSkinSlider1_down_UP != "UP") return;  // the user holds the bar
  Label3->SetCaption(rtl::Format("%f", double(APTS) / 1000000));
  if (APTS >= 0 && FDuration > 0) bsSkinSlider1->SetValue(int(int64_t(bsSkinSlider1->MaxValue()) * APTS / FDuration));
}

void TForm1::ZEVizezaState(media::TCustomPlayer*, media::TPlayState AState) {
  Log(PlayStateNames[AState]);
  switch (AState) {
    case media::psPlay:
    case media::psResume:
      if (chkStayOnTop->Checked()) SetFormStyle(cl::fsStayOnTop);
      break;
    case media::psPause:
    case media::psStep:
      SetFormStyle(cl::fsNormal);
      break;
    case media::psStop:
      SetFormStyle(cl::fsNormal);
      // The video area repaints empty.
      if (auto* surface = dynamic_cast<ctl::TVideoSurface*>(ZEVizeza->ScreenHandle());
          surface && surface->HandleAllocated()) {
        win::PostMessage(surface->Handle(), win::CM_INVALIDATE);
        win::UpdateWindow(surface->Handle());
      }
      break;
    case media::psEnd:
      // Back to the start, waiting there with its first picture shown.
      ZEVizeza->Seek(int64_t(0), media::SeekFlag(media::TSeekFlag::sfAny), false);
      ZEVizeza->Pause();
      break;
  }
}

void TForm1::ZEVizezaHook(media::TCustomPlayer*, media::TBitmap* ABitmap, int64_t APTS) {
  if (!ABitmap || ABitmap->Width() <= 0 || ABitmap->Height() <= 0) return;
  const int w = ABitmap->Width(), h = ABitmap->Height();
  gfx::TBitmap b;
  b.SetPixelFormat(gfx::pf24bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y) std::memcpy(b.ScanLine(y), ABitmap->ScanLine(y), size_t(w) * 3);
  gfx::TCanvas* c = b.Canvas();
  c->Brush()->SetStyle(gfx::bsClear);
  c->Font()->SetName("Tahoma");
  c->Font()->SetSize(12);
  c->Font()->SetStyle({gfx::fsBold, gfx::fsUnderline});
  c->Font()->SetColor(gfx::clWhite);
  c->TextOut(10, 10, rtl::Format("FFConv - Time Stamp: %d", APTS));
  auto bytes = rtl::Resource("MAINICON32");
  if (!bytes.empty()) {
    rtl::TMemoryStream ms;
    ms.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    ms.SetPosition(0);
    gfx::TBitmap icon;
    icon.LoadFromStream(ms);
    c->Draw(w - icon.Width() - 10, h - icon.Height() - 10, &icon);
  }
  for (int y = 0; y < h; ++y) std::memcpy(ABitmap->ScanLine(y), b.ScanLine(y), size_t(w) * 3);
}

void TForm1::bsSkinSlider1MouseDown() {
  bsSkinSlider1_down_UP = "Down";
  ZEVizeza->Pause();
}

void TForm1::bsSkinSlider1MouseUp() {
  ZEVizeza->Pause();
  const int max = bsSkinSlider1->MaxValue();
  const int64_t to = max > 0 ? FDuration * bsSkinSlider1->Value() / max : 0;
  ZEVizeza->Seek(to, media::TSeekFlags(0), false);
  ZEVizeza->Resume();
  bsSkinSlider1_down_UP = "UP";
}

void TForm1::bsSkinButton13Click() {
  ZEVizeza->Resume();
  filesPort_->SetFocus();
}

void TForm1::bsSkinButton14Click() {
  ZEVizeza->Pause();
  filesPort_->SetFocus();
}

void TForm1::bsSkinButton15Click() {
  if (!lvFiles->Selected()) return;
  try {
    ZEVizeza->Stop(true);
    OpenPreview(chkOpenPaused->Checked());
    filesPort_->SetFocus();
  } catch (const std::exception&) {
    ZEVizeza->Stop(true);
  }
}

void TForm1::bsSkinButton16Click() {
  ZEVizeza->Mute = true;
  bsSkinButton20->SetVisible(true);
  bsSkinButton16->SetVisible(false);
}

void TForm1::bsSkinButton20Click() {
  ZEVizeza->Mute = false;
  bsSkinButton16->SetVisible(true);
  bsSkinButton20->SetVisible(false);
}

void TForm1::lvFilesClick() {
  if (!lvFiles->Selected()) ZEVizeza->Stop(true);
}

void TForm1::TrackBar2Change() { ZEVizeza->AudioVolume = TrackBar2->Position(); }

void TForm1::WindowPosChanged() {
  if (ZEVizeza) ZEVizeza->UpdateScreenPosition();
}
