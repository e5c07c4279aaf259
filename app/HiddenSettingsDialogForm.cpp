#include "app/HiddenSettingsDialogForm.h"

#include "platform/cl/application.h"

using namespace skin;

TForm6::TForm6(cl::TComponent* owner) : cl::TForm(owner) {
  SetName("Form6");
  SetCaption("设置选项");
  SetBorderStyle(cl::bsSingle);
  SetBorderIcons(0);
  SetPosition(cl::poMainFormCenter);
  SetClientSize(958, 474);
  auto* main = dynamic_cast<TForm1*>(cl::Application->MainForm());
  bsSkinOfficeComboBox2 = new TbsSkinOfficeComboBox(this);
  bsSkinOfficeComboBox2->SetParent(this);
  bsSkinOfficeComboBox1 = new TbsSkinOfficeComboBox(this);
  bsSkinOfficeComboBox1->SetParent(this);
  category_ = std::make_unique<TSkinOfficeComboPort>(bsSkinOfficeComboBox2);
  format_ = std::make_unique<TSkinOfficeComboPort>(bsSkinOfficeComboBox1);
  for (int i = 0; i < TForm6Logic::kCategoryItems; ++i) {
    TbsSkinOfficeItem* it = bsSkinOfficeComboBox2->Items()->Add();
    it->SetCaption(TForm6Logic::CategoryCaption(i));
    it->SetImageIndex(i);
  }
  bsSkinOfficeComboBox2->SetItemIndex(0);
  TForm6Logic::Ports ports;
  ports.Category = category_.get();
  ports.Format = format_.get();
  for (int r = 0; r < catalogue::kComboCount; ++r) {
    auto* c = new TbsSkinComboBox(this);
    c->SetParent(this);
    Combos.push_back(c);
    ports_.push_back(std::make_unique<TSkinPresetComboPort>(c));
    ports.Combos.box[r] = ports_.back().get();
  }
  if (!main) return;
  Logic = std::make_unique<TForm6Logic>(ports, *main->Logic);
  Logic->Close = [this] { Close(); };
  bsSkinOfficeComboBox2->OnChange = [this](rtl::TObject*) { Logic->bsSkinOfficeComboBox2Change(); };
  bsSkinOfficeComboBox1->OnClick = [this](rtl::TObject*) { Logic->bsSkinOfficeComboBox1Click(); };
  OnCreate = [this](rtl::TObject*) { Logic->FormCreate(); };
}
