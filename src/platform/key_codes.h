#pragma once
// The key codes the program's own handlers look for, by name. Key-down events carry the
// virtual-key code of the key and key-press events the character; for Enter and Esc the two are the
// same number.
namespace zib {

constexpr int kEnter = 13;
constexpr int kEsc = 27;

}  // namespace zib
