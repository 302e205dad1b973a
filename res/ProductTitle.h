#pragma once
// The product title; also the name of the window property that marks the running instance,
// which the updater's bindings look for as well, so it is written once, here.

namespace tarnix {

inline constexpr wchar_t kProductTitle[] = L"澄远宽带拨号客户端";

}  // namespace tarnix
