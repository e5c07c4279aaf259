#include "app/FormLayout.h"
#include "app/OptionsDialog.h"

#include "app/MainForm.h"
#include "platform/cl/application.h"

using namespace skin;

TForm5::TForm5(cl::TComponent* owner) : cl::TForm(owner) {
  if (auto* main = dynamic_cast<TForm1*>(cl::Application->MainForm())) {
    ini_ = main->Ini.get();
    skin_ = main->bsSkinData1;
    main->Options = this;
  }
  Build();
  if (auto* main = dynamic_cast<TForm1*>(cl::Application->MainForm()))
    OnPreviewChanged = [main](bool on) { main->FFConv->SetPreview(on); };
}

TForm5::TForm5(cl::TComponent* owner, TSettingsFile* ini, TbsSkinData* skin)
    : cl::TForm(owner), ini_(ini), skin_(skin) {
  Build();
}

void TForm5::Build() {
  SetName("Form5");
  SetCaption("选项");
  SetBorderStyle(cl::bsSingle);
  SetBorderIcons(0);
  SetPosition(cl::poMainFormCenter);
  SetClientSize(420, 352);
  SetColor(gfx::clBtnFace);
  bsSkinForm1 = new TbsSkinForm(this);
  bsSkinForm1->SetBorderIcons(biSystemMenu);
  bsSkinForm1->ClientWidth = 420;
  bsSkinForm1->ClientHeight = 352;
  if (skin_) {
    bsSkinForm1->SetSkinData(skin_);
    bsSkinForm1->SetMenusSkinData(skin_);
  }
  // The store was loaded before the frame came: size the client once the
  // window and its frame exist.
  HandleNeeded();
  SetClientSize(420, 352);
  // A framed group with its heading as a label: the group-box record's
  // caption strip is too short for the longer headings.
  auto group = [&](const std::string& caption, int x, int y, int w, int h) {
    auto* g = Place<TbsSkinPanel>(this, this, x, y, w, h);
    g->SetSkinData(skin_);
    auto* l = Place<TbsSkinStdLabel>(this, g, 8, 4, w - 16, 18);
    l->SetCaption(caption);
    l->SetSkinData(skin_);
    return g;
  };
  auto box = [&](cl::TWinControl* parent, const std::string& caption, bool radio, int x, int y, int w) {
    auto* b = Place<TbsSkinCheckRadioBox>(this, parent, x, y, w, 20);
    b->SetRadio(radio);
    if (radio) {
      b->SetGroupIndex(1);  // one group per group box
      b->SetSkinDataName("radiobox");
    }
    b->SetCaption(caption);
    b->SetSkinData(skin_);
    return b;
  };
  auto* after = group("转换工作完成后", 8, 8, 200, 122);
  bsSkinCheckRadioBox1 = box(after, "自动打开输出文件夹", true, 10, 24, 180);
  bsSkinCheckRadioBox2 = box(after, "自动关闭计算机", true, 10, 48, 180);
  bsSkinCheckRadioBox4 = box(after, " 播放提示音乐", true, 10, 72, 180);
  bsSkinCheckRadioBox5 = box(after, "不进行任何操作", true, 10, 96, 180);
  auto* exists = group("如果输出文件存在时", 212, 8, 200, 122);
  bsSkinCheckRadioBox3 = box(exists, "直接覆盖输出文件", true, 10, 24, 180);
  bsSkinCheckRadioBox6 = box(exists, "自动重命名输出文件", true, 10, 48, 180);
  auto* params = group("转换参数", 8, 136, 404, 96);
  auto* label = Place<TbsSkinStdLabel>(this, params, 10, 24, 300, 18);
  label->SetCaption("程序最大运行线程数--（同时进行转换的文件个数）");
  label->SetSkinData(skin_);
  bsSkinComboBox2 = Place<TbsSkinComboBox>(this, params, 316, 22, 70, 20);
  for (int i = 1; i <= 19; ++i) bsSkinComboBox2->Items().Add(std::to_string(i));
  bsSkinComboBox2->SetSkinData(skin_);
  bsSkinCheckRadioBox8 = box(params, "转换时进行实时视频预览", false, 10, 48, 300);
  bsSkinCheckRadioBox7 = box(params, "启用多线程模式   （同时进行转换的视频个数）", false, 10, 72, 300);
  bsSkinCheckRadioBox7->SetVisible(false);
  auto* cpu = group("转换时CPU利用方式", 8, 236, 404, 76);
  bsSkinCheckRadioBox9 = box(cpu, "系统空闲时进行", true, 10, 26, 180);
  bsSkinCheckRadioBox10 = box(cpu, "最低优先级进行", true, 204, 26, 180);
  bsSkinCheckRadioBox11 = box(cpu, "较低优先级进行", true, 10, 50, 180);
  bsSkinCheckRadioBox12 = box(cpu, "正常优先级进行", true, 204, 50, 180);
  bsSkinButton6 = Place<TbsSkinButton>(this, this, 250, 320, 76, 24);
  bsSkinButton6->SetCaption("确定");
  bsSkinButton6->SetSkinData(skin_);
  bsSkinButton1 = Place<TbsSkinButton>(this, this, 336, 320, 76, 24);
  bsSkinButton1->SetCaption("取消");
  bsSkinButton1->SetCancel(true);  // Escape leaves the dialog as "取消" does
  bsSkinButton1->SetSkinData(skin_);

  // The states before the settings are read.
  bsSkinCheckRadioBox1->SetChecked(true);
  bsSkinCheckRadioBox6->SetChecked(true);
  bsSkinCheckRadioBox12->SetChecked(true);
  bsSkinCheckRadioBox7->SetChecked(true);
  bsSkinComboBox2->SetItemIndex(0);

  bsSkinButton6->OnClick = [this](rtl::TObject*) { bsSkinButton6Click(); };
  bsSkinButton1->OnClick = [this](rtl::TObject*) { bsSkinButton1Click(); };
  bsSkinCheckRadioBox7->OnClick = [this](rtl::TObject*) { bsSkinCheckRadioBox7Click(); };
  bsSkinCheckRadioBox8->OnClick = [this](rtl::TObject*) {
    if (OnPreviewChanged) OnPreviewChanged(bsSkinCheckRadioBox8->Checked());
  };
  OnCreate = [this](rtl::TObject* s) { FormCreate(s); };
}

void TForm5::FormCreate(rtl::TObject*) { Button1Click(); }

void TForm5::Button1Click() {
  if (!ini_) return;
  SetValues(ReadOptions(*ini_));
}

void TForm5::Button2Click() {
  if (!ini_) return;
  WriteOptions(*ini_, Values());
}

void TForm5::bsSkinButton6Click() {
  Button2Click();
  if (Modal())
    SetModalResult(1);
  else
    Close();
}

void TForm5::bsSkinButton1Click() {
  if (Modal())
    SetModalResult(2);
  else
    Close();
}

void TForm5::DoClose(cl::TCloseAction& action) {
  cl::TForm::DoClose(action);
  if (ModalResult() != 1) Button1Click();
}

void TForm5::bsSkinCheckRadioBox7Click() { bsSkinComboBox2->SetEnabled(bsSkinCheckRadioBox7->Checked()); }

int TForm5::ThreadCount() const {
  const int i = const_cast<TbsSkinComboBox*>(bsSkinComboBox2)->ItemIndex();
  return i < 0 ? 1 : i + 1;
}

TOptionValues TForm5::Values() const {
  TOptionValues v;
  v.ThreadCount = ThreadCount();
  v.AfterDone = bsSkinCheckRadioBox2->Checked()   ? 1
                : bsSkinCheckRadioBox4->Checked() ? 2
                : bsSkinCheckRadioBox5->Checked() ? 3
                                                  : 0;
  v.ThreadPriority = bsSkinCheckRadioBox9->Checked()    ? 0
                     : bsSkinCheckRadioBox10->Checked() ? 1
                     : bsSkinCheckRadioBox11->Checked() ? 2
                                                        : 3;
  v.OverwriteFile = bsSkinCheckRadioBox3->Checked() ? 0 : 1;
  v.ShowPreview = bsSkinCheckRadioBox8->Checked();
  return v;
}

void TForm5::SetValues(const TOptionValues& v) {
  bsSkinComboBox2->SetItemIndex(v.ThreadCount - 1);
  TbsSkinCheckRadioBox* after[] = {bsSkinCheckRadioBox1, bsSkinCheckRadioBox2, bsSkinCheckRadioBox4,
                                   bsSkinCheckRadioBox5};
  after[v.AfterDone]->SetChecked(true);
  TbsSkinCheckRadioBox* prio[] = {bsSkinCheckRadioBox9, bsSkinCheckRadioBox10, bsSkinCheckRadioBox11,
                                  bsSkinCheckRadioBox12};
  prio[v.ThreadPriority]->SetChecked(true);
  (v.OverwriteFile == 0 ? bsSkinCheckRadioBox3 : bsSkinCheckRadioBox6)->SetChecked(true);
  bsSkinCheckRadioBox8->SetChecked(v.ShowPreview);
  // The stored choice takes effect at once, whether or not the box changed.
  if (OnPreviewChanged) OnPreviewChanged(v.ShowPreview);
}
