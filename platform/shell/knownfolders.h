// Special folders by their CSIDL numbers, mapped onto the home folder and the
// XDG user folders. Only the folders that exist here resolve; the others
// (network, printers, control panel, start menu, ...) are unavailable.
#pragma once

#include <string>

namespace shell {

constexpr int CSIDL_DESKTOP = 0x00, CSIDL_INTERNET = 0x01, CSIDL_PROGRAMS = 0x02, CSIDL_CONTROLS = 0x03,
              CSIDL_PRINTERS = 0x04, CSIDL_PERSONAL = 0x05, CSIDL_FAVORITES = 0x06, CSIDL_STARTUP = 0x07,
              CSIDL_RECENT = 0x08, CSIDL_SENDTO = 0x09, CSIDL_BITBUCKET = 0x0A, CSIDL_STARTMENU = 0x0B,
              CSIDL_DESKTOPDIRECTORY = 0x10, CSIDL_DRIVES = 0x11, CSIDL_NETWORK = 0x12, CSIDL_FONTS = 0x14,
              CSIDL_TEMPLATES = 0x15, CSIDL_COMMON_STARTMENU = 0x16, CSIDL_COMMON_PROGRAMS = 0x17,
              CSIDL_COMMON_STARTUP = 0x18, CSIDL_COMMON_DESKTOPDIRECTORY = 0x19, CSIDL_APPDATA = 0x1A,
              CSIDL_PRINTHOOD = 0x1B;

// The home folder ($HOME, else the password entry's), without a trailing '/'.
std::string HomeDir();
// An XDG user folder ("DESKTOP", "DOCUMENTS", "TEMPLATES", ...) from
// user-dirs.dirs in $XDG_CONFIG_HOME (default ~/.config); "" when it is not
// set or does not exist.
std::string XdgUserDir(const std::string& name);
// The folder of a file-system CSIDL, "" when it has none here:
//   CSIDL_PERSONAL          the documents folder, else the home folder
//   CSIDL_DESKTOPDIRECTORY  the desktop folder (XDG, else ~/Desktop), else the home folder
//   CSIDL_APPDATA           $XDG_CONFIG_HOME, else ~/.config
//   CSIDL_TEMPLATES         the templates folder (XDG, else ~/Templates), when it exists
// CSIDL_DESKTOP and CSIDL_DRIVES are virtual folders (see namespace.h).
std::string SpecialFolderPath(int csidl);
// True for the CSIDLs the namespace resolves (the above and the two virtual ones).
bool SpecialFolderAvailable(int csidl);

}  // namespace shell
