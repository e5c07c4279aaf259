// Program entry: real windows over Qt, the application object with its title
// and help file, then the forms in their creation order and the loop until
// the main form closes.
#include "platform/cl/application.h"
#include "platform/qt/qt_backend.h"

int main() {
  plat::qt::QtBackend::Install();
  cl::Application->Initialize();
  cl::Application->SetTitle("VarnelMOD格式转换器");
  cl::Application->HelpFile = "help.chm";
  // The main window (TForm1), the about box, the options dialog and the hidden
  // settings dialog are created here, in that order, once they exist.
  cl::Application->Run();
  cl::ResetApplication();
  return 0;
}
