#pragma once
// Texts as a screen reader should say them.

#include <initializer_list>
#include <string>

namespace tarnix {

// A control's caption without the mnemonic's ampersand ("&&" stays one "&"), and without
// the spaces that only spread out a Chinese caption ("登 录" is said "登录").
std::wstring spokenCaption(const std::wstring& caption);

// `pattern` with each "%s" replaced by the next of `values`, in order; a "%s" without a
// value is left out.
std::wstring fillIn(const std::wstring& pattern, std::initializer_list<std::wstring> values);

// A number with one decimal, as the charts say their values ("12.5").
std::wstring oneDecimal(double value);

}  // namespace tarnix
