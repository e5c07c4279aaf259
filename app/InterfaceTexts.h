// The interface texts the skinned windows of this program show: system
// menu, caption button hints, edit menu, message boxes and file dialogs.
#pragma once
#include <string>
#include <vector>

// The name=text lines of the program's text component: the skin library's
// table with every text this program shows in Chinese.
const std::vector<std::string>& ProgramInterfaceTexts();
