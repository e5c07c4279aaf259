#include "app/FormLayout.h"
#include "app/HiddenSettingsDialogForm.h"

#include <cstring>

#include "platform/cl/application.h"

using namespace skin;

namespace {

constexpr int kClientWidth = 958;
constexpr int kClientHeight = 474;

// The first `count` pictures of a 32 x 32 strip.
void LoadStrip(cl::TCustomImageList* list, const char* name, int count) {
  list->SetSize(32, 32);
  gfx::TBitmap strip;
  try {
    strip.LoadFromResourceName(name);
  } catch (const std::exception&) {
    return;
  }
  if (strip.Empty()) return;
  gfx::TBitmap part;
  part.SetPixelFormat(strip.PixelFormat());
  const int w = std::min(strip.Width(), count * 32);
  part.SetSize(w, strip.Height());
  const int bytes = strip.PixelFormat() == gfx::pf32bit ? 4 : 3;
  for (int y = 0; y < strip.Height(); ++y) std::memcpy(part.ScanLine(y), strip.ScanLine(y), size_t(w * bytes));
  list->Add(&part, nullptr);
}

}  // namespace

TForm6::TForm6(cl::TComponent* owner) : cl::TForm(owner) {
  SetName("Form6");
  SetCaption("设置选项");
  SetBorderStyle(cl::bsSingle);
  SetBorderIcons(0);
  SetPosition(cl::poMainFormCenter);
  SetClientSize(kClientWidth, kClientHeight);
  SetColor(gfx::clBtnFace);
  auto* main = dynamic_cast<TForm1*>(cl::Application->MainForm());
  TbsSkinData* skin = main ? main->bsSkinData1 : nullptr;
  bsSkinForm1 = new TbsSkinForm(this);
  bsSkinForm1->SetBorderIcons(biSystemMenu);
  bsSkinForm1->ClientWidth = kClientWidth;
  bsSkinForm1->ClientHeight = kClientHeight;
  if (skin) {
    bsSkinForm1->SetSkinData(skin);
    bsSkinForm1->SetMenusSkinData(skin);
  }
  HandleNeeded();
  SetClientSize(kClientWidth, kClientHeight);
  FFConv = std::make_unique<media::TFFConverter>(this);
  ImageList1 = new cl::TCustomImageList(this);
  LoadStrip(ImageList1, "CATEGORY_IMAGES", TForm6Logic::kCategoryItems);
  ImageList2 = new cl::TCustomImageList(this);

  // The output format: category and format choosers.
  bsSkinPanel1 = Place<TbsSkinPanel>(this, this, 8, 8, 632, 88);
  bsSkinPanel1->SetSkinData(skin);
  auto* label = Place<TbsSkinStdLabel>(this, bsSkinPanel1, 12, 35, 76, 18);
  label->SetCaption("输出格式：");
  label->SetSkinData(skin);
  bsSkinOfficeComboBox2 = Place<TbsSkinOfficeComboBox>(this, bsSkinPanel1, 92, 8, 150, 72);
  SetUpCategoryChooser(bsSkinOfficeComboBox2, ImageList1, skin);
  bsSkinOfficeComboBox1 = Place<TbsSkinOfficeComboBox>(this, bsSkinPanel1, 250, 8, 370, 72);
  // No pictures here: the dialog's format chooser shows titles only.
  SetUpFormatChooser(bsSkinOfficeComboBox1, 370, nullptr, skin);

  // The pages; only the first holds anything.
  bsSkinPageControl1 = Place<TbsSkinPageControl>(this, this, 8, 104, 632, 318);
  TbsSkinTabSheet** sheets[] = {&bsSkinTabSheet1, &bsSkinTabSheet2, &bsSkinTabSheet3, &bsSkinTabSheet4};
  const char* captions[] = {"标准参数设置", "剪辑设置", "滤镜设置", "文字水印"};
  for (int i = 0; i < 4; ++i) {
    auto* s = new TbsSkinTabSheet(this);
    s->SetCaption(captions[i]);
    s->SetPageControl(bsSkinPageControl1);
    *sheets[i] = s;
  }
  bsSkinPageControl1->SetSkinData(skin);
  bsSkinPageControl1->SetActivePageIndex(0);
  struct Row {
    const char* label;
    int col, row;
  } rows[catalogue::kComboCount] = {{"视频分辨率：", 0, 0}, {"视频比特率：", 0, 1}, {"视频帧率：", 0, 2},
                                    {"音频比特率：", 1, 0}, {"音频采样率：", 1, 1}, {"视频缩放：", 1, 2}};
  category_ = std::make_unique<TSkinOfficeComboPort>(bsSkinOfficeComboBox2);
  format_ = std::make_unique<TSkinOfficeComboPort>(bsSkinOfficeComboBox1);
  TForm6Logic::Ports ports;
  ports.Category = category_.get();
  ports.Format = format_.get();
  for (int r = 0; r < catalogue::kComboCount; ++r) {
    const int x = 24 + rows[r].col * 300, y = 28 + rows[r].row * 48;
    auto* l = Place<TbsSkinStdLabel>(this, bsSkinTabSheet1, x, y + 2, 90, 18);
    l->SetCaption(rows[r].label);
    l->SetSkinData(skin);
    auto* c = Place<TbsSkinComboBox>(this, bsSkinTabSheet1, x + 92, y, 172, 20);
    c->SetSkinData(skin);
    Combos.push_back(c);
    ports_.push_back(std::make_unique<TSkinPresetComboPort>(c));
    ports.Combos.box[r] = ports_.back().get();
  }

  auto button = [&](const std::string& caption, int x) {
    auto* b = Place<TbsSkinButton>(this, this, x, 434, 84, 28);
    b->SetCaption(caption);
    b->SetSkinData(skin);
    return b;
  };
  bsSkinButton1 = button("设置", 376);
  bsSkinButton1->SetVisible(false);
  bsSkinButton2 = button("确定", 464);
  bsSkinButton3 = button("取消", 556);

  // The developer's panel at the right edge.
  Panel1 = Place<cl::TPanel>(this, this, 652, 0, kClientWidth - 652, kClientHeight);
  Panel1->SetName("Panel1");
  Image1 = Place<cl::TImage>(this, Panel1, 16, 12, 274, 120);
  struct Plain {
    cl::TButton** button;
    const char* caption;
  } plain[] = {{&Button6, "初始化数据"},
               {&Button5, "根据combox添加数据"},
               {&Button7, "确认oo数据"},
               {&Button2, "添加combox"},
               {&Button13, "确认预置选项数据"},
               {&Button11, "onchange用"},
               {&Button18, "根据combox添加预设选项"}};
  int y = 146;
  for (auto& p : plain) {
    *p.button = Place<cl::TButton>(this, Panel1, 16, y, 274, 30);
    (*p.button)->SetCaption(p.caption);
    y += 40;
  }

  for (int i = 0; i < TForm6Logic::kCategoryItems; ++i) {
    TbsSkinOfficeItem* it = bsSkinOfficeComboBox2->Items()->Add();
    it->SetCaption(TForm6Logic::CategoryCaption(i));
    it->SetImageIndex(i);
  }
  bsSkinOfficeComboBox2->SetItemIndex(0);
  if (!main) return;
  Logic = std::make_unique<TForm6Logic>(ports, *main->Logic);
  Logic->Close = [this] { Close(); };
  bsSkinOfficeComboBox2->OnChange = [this](rtl::TObject*) { Logic->bsSkinOfficeComboBox2Change(); };
  bsSkinOfficeComboBox1->OnClick = [this](rtl::TObject*) { Logic->bsSkinOfficeComboBox1Click(); };
  bsSkinButton2->OnClick = [this](rtl::TObject*) { Logic->bsSkinButton2Click(); };
  bsSkinButton3->OnClick = [this](rtl::TObject*) { Logic->bsSkinButton3Click(); };
  Button6->OnClick = [this](rtl::TObject*) { Logic->Button6Click(); };
  Button5->OnClick = [this](rtl::TObject*) { Logic->Button5Click(); };
  Button2->OnClick = [this](rtl::TObject*) { Logic->Button2Click(); };
  Button13->OnClick = [this](rtl::TObject*) { Logic->Button13Click(); };
  Button18->OnClick = [this](rtl::TObject*) { Logic->Button18Click(); };
  OnCreate = [this](rtl::TObject*) { Logic->FormCreate(); };
}
