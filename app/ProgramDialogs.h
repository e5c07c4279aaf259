// The skinned boxes, the skin chooser and the conversion's live preview
// window behind the main window's seams, as the real program shows them.
#pragma once

class TForm1;

// Fills the information box, the failure box and the skin chooser of
// TForm1::Services() with the skinned dialogs, drawn in the main window's
// skin, and installs the live preview window (app/LivePreview.h). Call
// after the main window exists.
void InstallProgramDialogs(TForm1* Form1);

// The skin chooser's caption: Chinese like every other text of the program.
inline constexpr const char* kSkinChooserTitle = "选择皮肤";
