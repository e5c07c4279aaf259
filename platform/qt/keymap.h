// Qt key codes to the layer's virtual-key codes (VK_*), and the characters a
// key event produces. Kept apart from the backend so tests can check the
// table without a display.
#pragma once

#include <cstdint>

namespace plat::qt {

// `qtKey` is a Qt::Key value; `keypad` is true when the event carried
// Qt::KeypadModifier (digits and operators then map to the numpad codes).
// Returns 0 for keys the layer has no code for.
uint16_t VirtualKeyFromQt(int qtKey, bool keypad);

}  // namespace plat::qt
