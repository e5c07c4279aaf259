// Program entry: real windows over Qt, the application object with its title
// and help file, then the forms in their creation order and the loop until
// the main form closes.
#include <cstdio>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "app/ProgramDialogs.h"
#include "platform/cl/application.h"
#include "platform/qt/qt_backend.h"
#include "platform/win/window.h"

int main() {
  plat::qt::QtBackend::Install();
  TForm1::Services().LogSink = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
  cl::Application->Initialize();
  cl::Application->SetTitle("VarnelMOD格式转换器");
  cl::Application->HelpFile = kHelpFile;
  TForm1* Form1 = nullptr;
  TForm2* Form2 = nullptr;
  TForm5* Form5 = nullptr;
  TForm6* Form6 = nullptr;
  cl::Application->CreateForm(Form1);
  InstallProgramDialogs(Form1);
  cl::Application->CreateForm(Form2);
  cl::Application->CreateForm(Form5);
  cl::Application->CreateForm(Form6);
  cl::Application->Run();
  cl::ResetApplication();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return 0;
}
