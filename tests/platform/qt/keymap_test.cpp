// The Qt key table: every family of keys the layer names maps to its VK code.
#include "platform/qt/keymap.h"
#include "platform/win/messages.h"

#include <Qt>
#include <gtest/gtest.h>

using plat::qt::VirtualKeyFromQt;
using namespace win;

TEST(KeyMap, QtKeysMapToVirtualKeys) {
  struct Case {
    int key;
    bool keypad;
    uint16_t vk;
  };
  const Case cases[] = {{Qt::Key_A, false, 'A'},
                        {Qt::Key_Z, false, 'Z'},
                        {Qt::Key_5, false, '5'},
                        {Qt::Key_5, true, uint16_t(VK_NUMPAD0 + 5)},
                        {Qt::Key_F1, false, VK_F1},
                        {Qt::Key_F24, false, VK_F24},
                        {Qt::Key_Left, false, VK_LEFT},
                        {Qt::Key_PageDown, false, VK_NEXT},
                        {Qt::Key_Home, false, VK_HOME},
                        {Qt::Key_Delete, false, VK_DELETE},
                        {Qt::Key_Backtab, false, VK_TAB},
                        {Qt::Key_Enter, true, VK_RETURN},
                        {Qt::Key_Escape, false, VK_ESCAPE},
                        {Qt::Key_Alt, false, VK_MENU},
                        {Qt::Key_Menu, false, VK_APPS},
                        {Qt::Key_Asterisk, true, VK_MULTIPLY},
                        {Qt::Key_Comma, false, 0xBC},
                        {Qt::Key_unknown, false, 0}};
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromQt(c.key, c.keypad), c.vk) << std::hex << c.key;
}
