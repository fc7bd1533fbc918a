#pragma once
// Captions of the key-binding labels.
#include <string>

namespace zib {

// The caption for a Windows virtual-key code: "UP", "RIGHT", "DOWN", "LEFT", "NUM 0".."NUM 9" for
// the number pad digits, readable names ("ENTER", "ESC", "SHIFT", ...) for keys whose code is a
// control character, else the character with that code in Windows-1250, upper-cased, as UTF-8
// (so F1, code 112, reads "P", as players of the game know it). Codes outside 0..255: "KEY " and
// the number.
std::string nameOfKey(int code);

}  // namespace zib
