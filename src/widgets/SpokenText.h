#pragma once
// Texts as a screen reader should say them.

#include <string>

namespace tarnix {

// A control's caption without the mnemonic's ampersand ("&&" stays one "&"), and without
// the spaces that only spread out a Chinese caption ("登 录" is said "登录").
std::wstring spokenCaption(const std::wstring& caption);

}  // namespace tarnix
