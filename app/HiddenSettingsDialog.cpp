#include "app/HiddenSettingsDialog.h"

#include "app/FormatCatalogue.h"
#include "app/JobParams.h"

namespace {

const char* const kCategoryCaptions[TForm6Logic::kCategoryItems] = {
    "常用视频", "常用音频",  "HD视频",   "iPod视频", "iPhone视频", "PSP视频",
    "3GP视频",  "APPLE视频", "XboX视频", "PMP视频",  "MP4视频",    "Flash视频",
};

// The dialog predates the longer iPhone list: it offers six iPhone formats.
constexpr int kIPhoneCategory = 4;
constexpr int kIPhoneFormats = 6;

// The AMR presets of the dialog's 3GP category carry narrow-band audio
// rates of their own.
bool IsAmrPreset(int key) { return key == 700 || key == 702 || key == 704; }

const char* const kAmrBitrates[] = {"5 kbps", "6 kbps", "7 kbps", "8 kbps", "10 kbps", "12 kbps"};
constexpr int kAmrDefault = 5;  // "12 kbps"

// The dialog's own job values, over those of the main catalogue.
void ApplyDialogJobValues(int key, const std::string& folder, TJobSettings& job) {
  if (key == 211) {
    job.Video_AudioCodec = "alac";
    job.Video_FileExt = ".alac";  // the output name keeps ".m4a"
    return;
  }
  if (!IsAmrPreset(key)) return;
  job.Video_AudioCodec = "libamr_nb";
  if (key == 700 || key == 702) job.Video_AudioBitrate = 12000;
  if (key == 700) job.Video_VideoCodec = "h263";
  if (key == 702) {
    job.Video_FileExt = ".3gp";
    job.Video_OutPutFileName = folder + "/" + ChangeFileExt(ExtractFileName(job.Video_AddFileName), ".3gp");
  }
}

}  // namespace

const char* TForm6Logic::CategoryCaption(int item) {
  return item >= 0 && item < kCategoryItems ? kCategoryCaptions[item] : "";
}

int TForm6Logic::FormatCount(int categoryItem) {
  if (categoryItem < 0 || categoryItem >= kCategoryItems) return 0;
  if (categoryItem == kIPhoneCategory) return kIPhoneFormats;
  return catalogue::FormatCount(categoryItem);
}

std::string TForm6Logic::FormatTitle(int categoryItem, int formatIndex) {
  if (formatIndex < 0 || formatIndex >= FormatCount(categoryItem)) return std::string();
  int key = catalogue::PresetKey(categoryItem, formatIndex);
  switch (key) {
    case 202:
      return "WAV - 波形音频格式(*.wav) ";
    case 211:
      return "ALAC-Apple Lossless无损音频格式(*.alac) ";
    case 500:
      return "iPhone MPEG-4视频(*.mp4)";
    case 702:
      return "3GPP2 -  第三代合作项目2-3G2视频+AMR音频(*.3g2))";
    default:
      return catalogue::Format(categoryItem, formatIndex)->title;
  }
}

int TForm6Logic::PresetKey() const {
  // Here the category item is the CategoryId itself.
  return catalogue::PresetKey(p_.Category->ItemIndex(), p_.Format->ItemIndex());
}

void TForm6Logic::FormCreate() { Button2Click(); }

void TForm6Logic::bsSkinOfficeComboBox2Change() { Button2Click(); }

void TForm6Logic::bsSkinOfficeComboBox1Click() { Button18Click(); }

void TForm6Logic::Button2Click() {
  IOfficeCombo& formats = *p_.Format;
  formats.ItemsClear();
  formats.Refresh();
  int item = p_.Category->ItemIndex();
  int count = FormatCount(item);
  if (count > 0) {
    for (int i = 0; i < count; ++i) {
      const catalogue::FormatDef* f = catalogue::Format(item, i);
      formats.ItemsAdd(FormatTitle(item, i), f->caption, i < 15 ? i : i + 5);
    }
    formats.Refresh();
  }
  formats.SetItemIndex(0);
}

void TForm6Logic::Button18Click() {
  int key = PresetKey();
  main_.All_Trant_Number = key;
  main_.Job.Video_DisableVideo = false;
  FillPresetCombos(key, p_.Combos);
  if (IsAmrPreset(key)) {
    IPresetCombo& rates = p_.Combos[catalogue::ComboRole::AudioBitrate];
    for (const char* r : kAmrBitrates) rates.ItemsAdd(r);
    rates.SetItemIndex(kAmrDefault);
  }
}

void TForm6Logic::Button5Click() {
  int key = PresetKey();
  main_.All_Trant_Number = key;
  main_.Job.Video_DisableVideo = false;
  std::string folder = main_.OutputFolderText ? main_.OutputFolderText() : std::string();
  ApplyPresetJobRow(key, folder, main_.Job);
  ApplyDialogJobValues(key, folder, main_.Job);
  bool overwrite = main_.OverwriteOutput && main_.OverwriteOutput();
  main_.Job.Video_OutPutFileName =
      UniqueOutputName(main_.Job.Video_OutPutFileName, folder,
                       [&](const std::string& path) { return !overwrite && OutputFileExists(path); });
}

void TForm6Logic::Button13Click() { ApplyComboTexts(p_.Combos, main_.Job); }

void TForm6Logic::Button6Click() { main_.Job.Reset(); }

void TForm6Logic::bsSkinButton2Click() {
  Button5Click();
  Button13Click();
  if (Close) Close();
}

void TForm6Logic::bsSkinButton3Click() {
  if (Close) Close();
}
