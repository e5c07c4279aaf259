// The main window TForm1: the skinned frame, menu bar, tool bar, file list,
// the output panel with the category and format choosers, the six preset
// combos, the preview panel and the off-screen state holders. The job logic
// (app/MainJobLogic) drives the real controls through the ports below.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ControlPorts.h"
#include "app/JobOutput.h"
#include "app/MainJobLogic.h"
#include "app/ProgramServices.h"
#include "app/Settings.h"
#include "media/FFmpegLogger.h"
#include "media/Player.h"
#include "platform/cl/forms.h"
#include "platform/cl/imglist.h"
#include "platform/cl/stateholders.h"
#include "platform/ctl/edit.h"
#include "skin/controls/bsSkinBars.h"
#include "skin/controls/bsSkinButtons.h"
#include "skin/inputs/bsSkinComboBox.h"
#include "skin/data/bsSkinData.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/form/bsSkinForm.h"
#include "skin/controls/bsSkinLabels.h"
#include "skin/form/bsSkinMainMenuBar.h"
#include "skin/controls/bsSkinMenuSpeedButton.h"
#include "skin/menus/bsSkinHint.h"
#include "skin/menus/bsSkinMenus.h"
#include "skin/inputs/bsSkinLinkLabel.h"
#include "skin/inputs/bsSkinOfficeCombo.h"
#include "skin/controls/bsSkinPanels.h"
#include "skin/controls/bsSkinScrollBar.h"
#include "skin/controls/bsSkinSlider.h"
#include "skin/controls/bsSkinViews.h"
#include "skin/data/bsStoredSkins.h"

class TForm2;
class TForm5;

// A preset combo of the window as the job logic sees it.
class TSkinPresetComboPort : public IPresetCombo {
 public:
  explicit TSkinPresetComboPort(skin::TbsSkinComboBox* c) : c_(c) {}
  void ItemsClear() override { c_->Items().Clear(); }
  void ItemsAdd(const std::string& text) override { c_->Items().Add(text); }
  int ItemCount() const override { return c_->Items().Count(); }
  std::string Item(int index) const override { return c_->Items().Get(index); }
  void SetItemIndex(int index) override { c_->SetItemIndex(index); }
  int ItemIndex() const override { return c_->ItemIndex(); }
  std::string Text() const override { return c_->Text(); }
  void SetEnabled(bool enabled) override { c_->SetEnabled(enabled); }
  bool Enabled() const override { return c_->Enabled(); }

 private:
  skin::TbsSkinComboBox* c_;
};

// The category or format chooser. Format rows get the picture of their own
// format: FirstImage is the picture of the category's first format.
class TSkinOfficeComboPort : public IOfficeCombo {
 public:
  explicit TSkinOfficeComboPort(skin::TbsSkinOfficeComboBox* c) : c_(c) {}
  void ItemsClear() override { c_->Items()->Clear(); }
  void ItemsAdd(const std::string& title, const std::string& caption, int imageIndex) override;
  int ItemCount() const override { return c_->Items()->Count(); }
  std::string ItemTitle(int index) const override;
  void SetItemIndex(int index) override { c_->SetItemIndex(index); }
  int ItemIndex() const override { return c_->ItemIndex(); }
  void Refresh() override { c_->Invalidate(); }
  int FirstImage = -1;  // -1: keep the index given

 private:
  skin::TbsSkinOfficeComboBox* c_;
};

// The file list: column 0 is the row's caption, the others its sub-items;
// each row carries its job slot.
class TSkinFileListPort : public IFileList {
 public:
  explicit TSkinFileListPort(skin::TbsSkinListView* l) : l_(l) {}
  int Count() const override { return l_->Items()->Count(); }
  int Selected() const override;
  std::string Cell(int row, int col) const override;
  void SetCell(int row, int col, const std::string& text) override;
  int RowSlot(int row) const override;
  void SetFocus() override;
  void SetRowSlot(int row, int slot);
  // True while the keys belong elsewhere in the window: a chooser's or
  // combo's open list until it closes, or the rename editor while a name is
  // typed. Whoever holds them keeps the focus.
  std::function<bool()> KeysTaken;

 private:
  skin::TbsSkinListView* l_;
};

// The command groups whose enabled state shows what may be done next.
enum class TCommandGroup { Add, Remove, Clear, Start, Stop, Pause, Resume, Preset };

class TForm1 : public cl::TForm {
 public:
  explicit TForm1(cl::TComponent* owner);

  // What the window reaches outside itself; set before the form is created.
  static TProgramServices& Services();
  // The program's folder (with '/'): the services' one, else the executable's.
  static std::string ProgramFolder();

  // --- start-up and close ---------------------------------------------------
  void FormCreate(rtl::TObject* Sender);
  void FormCloseQuery(rtl::TObject* Sender, bool& CanClose);

  // --- hidden commands --------------------------------------------------------
  void Button15Click();  // every job slot free
  void Button17Click();  // read the output folder
  void ShowOutputFolder(const std::string& folder);
  void Button16Click();       // write the output folder
  void Button21Click();       // the file filter of the open dialogs
  void Button3Click();        // read the skin index and select that skin
  void Button4Click();        // write the skin index
  void bsSkinButton9Click();  // the skin chooser, then the index is stored

  // --- command groups ---------------------------------------------------------
  void SetGroup(TCommandGroup g, bool enabled);
  bool GroupEnabled(TCommandGroup g) const;
  void ShowEmptyListPicture(bool show);
  // The picture drawn again on the list's current (skin's) background.
  void UpdateEmptyListPicture();

  // --- options dialog -------------------------------------------------------
  void bsSkinButton19Click();            // show the options dialog
  void bsSkinButton5Click();             // browse for the output folder
  void bsSkinButton6Click();             // open the output folder
  void Video_OutPut_Folder_EditClick();  // the read-only folder edit hands the focus to the list

  void Log(const std::string& line);
  // The settings file, made on first use.
  TSettingsFile& Settings();

  // --- adding files -----------------------------------------------------------
  void btnAddClick();    // one file
  void Button8Click();   // several files
  void Button12Click();  // every file of a folder
  // Adds one file; false ends a multi-file command (a skipped file is true).
  bool AddOneFile(const std::string& name);
  // Files an add command could not add, with the reason, told in one box.
  std::vector<std::string> notAdded_;
  void NotAdded(const std::string& name, const std::string& reason);
  void TellNotAdded(const std::string& lead = "");

  // --- running the conversion ---------------------------------------------------
  void btnStartClick();
  void button28Click();  // the tasks rebuilt from the rows
  void Button22Click();  // preset controls off
  void Button23Click();  // preset controls on
  void btnPauseClick();
  void btnResumeClick();
  void btnStopClick();
  void bsSkinButton11Click();  // pause, then "继续" shows
  void bsSkinButton12Click();  // resume, then "暂停" shows
  void FFConvProgress(const media::TProgressInfo& info);
  void FFConvTerminate(const media::TTerminateInfo& info);  // on the UI thread
  void Button20Click();                                     // open the output folder
  void Button25Click();                                     // power off
  void Button29Click();                                     // the finish sound
  std::unique_ptr<media::TFFConverter> FFConv;
  // The row of each task of the running list.
  std::vector<int> TaskRows;
  int RowOfTask(int task) const;
  void ShowFailure(const std::string& text);
  // The run's state as the after-completion action needs it: a stop is
  // no completion, and a failed task forbids the power-off.
  bool runActive_ = false, stopping_ = false, runStopped_ = false, runFailed_ = false;
  bool RunHadFailure() const;

  // --- state ------------------------------------------------------------------
  std::unique_ptr<TSettingsFile> Ini;
  std::vector<std::string> earlyLog_;  // lines logged before the log exists
  // The stored skin the form file selects.
  static constexpr int kFormSkinIndex = 1;
  std::string FileOutPutPath;
  std::string OpenDialogFilter;
  std::string bsSkinSlider1_down_UP;
  TJobSlots JobSlots;
  std::unique_ptr<TMainJobLogic> Logic;
  TForm5* Options = nullptr;  // the options dialog once it exists

  // --- controls ---------------------------------------------------------------
  skin::TbsCompressedSkinList* SkinList = nullptr;
  skin::TbsSkinData* bsSkinData1 = nullptr;
  skin::TbsResourceStrData* bsResourceStrData1 = nullptr;  // the skinned windows' texts, in Chinese
  skin::TbsSkinForm* bsSkinForm1 = nullptr;
  skin::TbsSkinHint* bsSkinHint1 = nullptr;
  skin::TbsSkinMainMenu* bsSkinMainMenu1 = nullptr;
  skin::TbsSkinMainMenuBar* bsSkinMainMenuBar1 = nullptr;
  skin::TbsSkinPopupMenu* bsSkinPopupMenu1 = nullptr;
  skin::TbsSkinToolBar* bsSkinToolBar1 = nullptr;
  skin::TbsSkinMenuSpeedButton* bsSkinMenuSpeedButton1 = nullptr;
  skin::TbsSkinButton *bsSkinButton7 = nullptr, *bsSkinButton8 = nullptr, *bsSkinButton2 = nullptr,
                      *bsSkinButton10 = nullptr, *bsSkinButton11 = nullptr, *bsSkinButton12 = nullptr,
                      *bsSkinButton19 = nullptr, *bsSkinButton9 = nullptr;
  skin::TbsSkinPanel* bsSkinPanel1 = nullptr;
  skin::TbsSkinListView* lvFiles = nullptr;
  skin::TbsSkinScrollBar *lvVBar = nullptr, *lvHBar = nullptr;
  skin::TbsSkinButton *bsSkinButton3 = nullptr, *bsSkinButton4 = nullptr, *bsSkinButton21 = nullptr;
  skin::TbsSkinPanel* bsSkinPanel5 = nullptr;
  cl::TImage* EmptyListImage = nullptr;
  skin::TbsSkinPanel* bsSkinPanel2 = nullptr;
  skin::TbsSkinStdLabel* FormatLabel = nullptr;   // "输出格式：" over the choosers
  skin::TbsSkinLinkLabel* WebSiteLink = nullptr;  // the maker's web address
  skin::TbsSkinOfficeComboBox *bsSkinOfficeComboBox2 = nullptr, *bsSkinOfficeComboBox1 = nullptr;
  skin::TbsSkinEdit* Video_OutPut_Folder_Edit = nullptr;
  skin::TbsSkinButton *bsSkinButton5 = nullptr, *bsSkinButton6 = nullptr;
  skin::TbsSkinPanel* bsSkinPanel4 = nullptr;
  skin::TbsSkinComboBox *bsSkinComboBox1 = nullptr, *bsSkinComboBox2 = nullptr, *bsSkinComboBox9 = nullptr,
                        *bsSkinComboBox3 = nullptr, *bsSkinComboBox10 = nullptr, *bsSkinComboBox4 = nullptr;
  skin::TbsSkinPanel* bsSkinPanel3 = nullptr;
  cl::TPanel* Panel6 = nullptr;
  skin::TbsSkinSlider* bsSkinSlider1 = nullptr;
  std::vector<skin::TbsSkinButton*> PreviewButtons;
  cl::TPanel *Panel1 = nullptr, *Panel3 = nullptr, *Panel5 = nullptr;
  cl::TMemo* mmoLog = nullptr;
  cl::TComboBox* cboScreens = nullptr;
  cl::TListBox* ListBox1 = nullptr;
  cl::TCustomImageList *ImageList1 = nullptr, *ImageList2 = nullptr;
  // Menu items by name (Item111, N13, N7, ...).
  cl::TMenuItem* MenuItem(const std::string& name) const;

  // --- file-list editing, menus and log ---
  void bsSkinButton21Click();  // rename, with a hint when no row is selected
  void N26Click();             // rename from the menu
  void lvFilesDblClick();      // rename, silently nothing without a selection
  void edtExit();              // the new output name is committed
  void bsSkinButton3Click();   // move the selected row up
  void bsSkinButton4Click();   // move the selected row down
  void bsSkinButton7Click();   // remove
  void btnRemoveClick();
  void bsSkinButton8Click();  // clear
  void btnClearClick();
  void N15Click();  // the help file
  void N19Click();  // the maker's web site
  void N4Click();   // close the program
  void N5Click();   // the about box
  void FFLoggerLog(void* Sender, uint32_t AThreadID, media::TLogLevel ALogLevel, const std::string& ALogMsg);
  // The preview player's Stop(true); set by the preview pane.
  std::function<void()> StopPreview;
  ctl::TEdit* edt = nullptr;
  media::TFFLogger* FFLogger = nullptr;
  TForm2* About = nullptr;  // the about box once it exists
  void WireEditingAndMenus();
  void StartRename(bool hintWithoutSelection);
  // The typed name into the row the editor covers; false when the name is
  // refused (the editor then stays).
  bool CommitRename();
  void CancelRename();
  // Another row was selected while the editor shows: the edit ends there.
  void EndRenameOnSelection();
  int renameRow_ = -1;  // the row the editor covers, -1 while hidden
  void MoveSelectedRow(int step);
  void EditingCommandsEnabled(bool on);
  void ShowHint(const std::string& text);
  // Detaches the log event when the window goes.
  std::shared_ptr<void> loggerLink_;
  // --- preview pane and snapshots ---
  void Button31Click();  // open T_Movie_PLayer_FileName paused in Panel6
  void ZEVizezaFileOpen(media::TCustomPlayer* Sender, int64_t ADuration, int AFrameWidth, int AFrameHeight,
                        int& AScreenWidth, int& AScreenHeight);
  void ZEVizezaPosition(media::TCustomPlayer* Sender, int64_t APTS);
  void ZEVizezaState(media::TCustomPlayer* Sender, media::TPlayState AState);
  void ZEVizezaHook(media::TCustomPlayer* Sender, media::TBitmap* ABitmap, int64_t APTS);
  void bsSkinSlider1MouseDown();
  void bsSkinSlider1MouseUp();
  void bsSkinSlider1Change() {}
  void bsSkinSlider1Click() {}
  void bsSkinButton13Click();  // play
  void bsSkinButton14Click();  // pause
  void bsSkinButton15Click();  // stop, then the file again, paused at its start
  void bsSkinButton16Click();  // mute
  void bsSkinButton20Click();  // unmute
  void lvFilesClick();
  void TrackBar1Change() {}
  void TrackBar2Change();
  void WindowPosChanged();     // the picture follows the video area
  void bsSkinButton22Click();  // snapshot
  void bsSkinButton23MouseDown(cl::TMouseButton Button);
  void bsSkinButton23Click();
  void MenuItem1Click();  // open the snapshot folder
  void MenuItem2Click();  // choose the snapshot folder
  void BMP1Click();
  void JPG1Click();
  void GIF1Click();
  void PNG1Click();
  void btnCaptureClick();
  // The snapshot folder (created, and the default stored, when needed); empty
  // after a logged failure.
  std::string SnapshotFolder();
  // The stored picture type; "BMP" is written back for anything else.
  std::string SnapshotPictureType();
  // Reports a snapshot that could not be made: the log, and the information box.
  void SnapshotFailed(const std::string& text);
  // folder/base_n.ext with the smallest n from 1 that names no file yet.
  static std::string SnapshotFileName(const std::string& folder, const std::string& base, const std::string& ext);
  void CheckPictureType(const std::string& type);
  void StorePictureType(const std::string& type);
  void OpenPreview(bool paused);

  std::unique_ptr<media::TZEVizeza> ZEVizeza;
  cl::TTimer* previewRetry_ = nullptr;  // a preview waiting for the open in flight
  int64_t FDuration = 0;
  cl::TWinControl* FScreenControl = nullptr;
  skin::TbsSkinButton *bsSkinButton13 = nullptr, *bsSkinButton14 = nullptr, *bsSkinButton15 = nullptr,
                      *bsSkinButton16 = nullptr, *bsSkinButton20 = nullptr, *bsSkinButton24 = nullptr,
                      *bsSkinButton22 = nullptr, *bsSkinButton23 = nullptr;
  skin::TbsSkinPopupMenu* bsSkinPopupMenu2 = nullptr;
  cl::TMenuItem *MenuItem1 = nullptr, *MenuItem2 = nullptr, *BMP1 = nullptr, *JPG1 = nullptr, *GIF1 = nullptr,
                *PNG1 = nullptr;
  cl::TComboBox *cboVideoDriver = nullptr, *cboAudioDriver = nullptr, *cboVideo = nullptr, *cboAudio = nullptr,
                *cboSubtitle = nullptr;
  cl::TCheckBox *chkOpenPaused = nullptr, *chkStayOnTop = nullptr;
  cl::TTrackBar *TrackBar1 = nullptr, *TrackBar2 = nullptr;
  cl::TLabel *Label2 = nullptr, *Label3 = nullptr;
  cl::TButton* btnCapture = nullptr;
  static const char* const PlayStateNames[6];

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildFileList();
  void BuildOutputPanel();
  void BuildPresetPanel();
  void BuildPreviewPanel();
  void BuildHiddenPanels();
  void WireJobLogic();
  skin::TbsSkinButton* ToolButton(const std::string& caption, const char* picture, int x);
  cl::TMenuItem* AddMenuItem(cl::TMenuItem* parent, const std::string& name, const std::string& caption,
                             std::function<void()> onClick = nullptr, bool enabled = true);
  void WireCommands();
  void AttachConverterEvents();
  void DetachConverterEvents();
  void ApplyGlyph(skin::TbsSkinButton* b, const char* picture, bool enabled);

  TSkinOfficeComboPort* categoryPort_ = nullptr;
  std::unique_ptr<TSkinOfficeComboPort> categoryPortOwned_, formatPortOwned_;
  std::vector<std::unique_ptr<TSkinPresetComboPort>> comboPorts_;
  std::unique_ptr<TSkinFileListPort> filesPort_;
  std::vector<std::pair<std::string, cl::TMenuItem*>> menuItems_;
  // Handed to work queued for the window; gone once the window is.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool closing_ = false;
  bool groups_[8] = {};
};
