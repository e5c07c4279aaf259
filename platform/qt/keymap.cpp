#include "platform/qt/keymap.h"

#include "platform/win/messages.h"

#include <Qt>

namespace plat::qt {

using namespace win;

uint16_t VirtualKeyFromQt(int key, bool keypad) {
  if (keypad) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return uint16_t(VK_NUMPAD0 + (key - Qt::Key_0));
    switch (key) {
      case Qt::Key_Asterisk:
        return VK_MULTIPLY;
      case Qt::Key_Plus:
        return VK_ADD;
      case Qt::Key_Minus:
        return VK_SUBTRACT;
      case Qt::Key_Period:
      case Qt::Key_Comma:
        return VK_DECIMAL;
      case Qt::Key_Slash:
        return VK_DIVIDE;
      case Qt::Key_Enter:
        return VK_RETURN;
    }
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return uint16_t('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return uint16_t('0' + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return uint16_t(VK_F1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Delete:
      return VK_DELETE;
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:  // Shift+Tab arrives as its own key in Qt
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      return VK_MENU;
    case Qt::Key_Menu:
      return VK_APPS;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
      return VK_LWIN;
    case Qt::Key_Pause:
      return VK_PAUSE;
    case Qt::Key_CapsLock:
      return VK_CAPITAL;
    case Qt::Key_NumLock:
      return VK_NUMLOCK;
    // Punctuation keys of a US layout, by the character they carry.
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
      return 0xBA;  // VK_OEM_1
    case Qt::Key_Equal:
    case Qt::Key_Plus:
      return 0xBB;  // VK_OEM_PLUS
    case Qt::Key_Comma:
    case Qt::Key_Less:
      return 0xBC;  // VK_OEM_COMMA
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      return 0xBD;  // VK_OEM_MINUS
    case Qt::Key_Period:
    case Qt::Key_Greater:
      return 0xBE;  // VK_OEM_PERIOD
    case Qt::Key_Slash:
    case Qt::Key_Question:
      return 0xBF;  // VK_OEM_2
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
      return 0xC0;  // VK_OEM_3
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
      return 0xDB;  // VK_OEM_4
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
      return 0xDC;  // VK_OEM_5
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
      return 0xDD;  // VK_OEM_6
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
      return 0xDE;  // VK_OEM_7
  }
  return 0;
}

}  // namespace plat::qt
