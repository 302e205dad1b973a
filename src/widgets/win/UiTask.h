#pragma once
// The one way from a worker thread onto a window's thread: post a function; it runs on the
// thread that owns the window, in the order posted, or is dropped when the window is gone
// first. Workers never touch a window themselves.
//
// Every Dialog runs the tasks posted to it; another window runs them by passing its
// messages to runUiTask() and calling dropUiTasks() when it is destroyed.

#include <windows.h>

#include <functional>

namespace tarnix {

// The message that carries a task to its window.
inline constexpr UINT WM_UI_TASK = WM_APP + 0x3F00;

// Any thread. False when the window is already gone (the task is dropped).
bool postUiTask(HWND window, std::function<void()> task);

// On the window's thread: runs the task of a WM_UI_TASK message; true when `msg` was one.
bool runUiTask(UINT msg, WPARAM wParam, LPARAM lParam);
// On the window's thread, as the window ends: forgets every task still waiting for it.
void dropUiTasks(HWND window);

}  // namespace tarnix
