// The top-level windows of the X display, found by their title, and what the single-instance
// guard does with them: retitle, restore and raise. Windows not yet shown and windows that
// only set the old WM_NAME count too. Without an X display (an offscreen or Wayland-only
// Qt platform) there are no windows to find.
#pragma once

#include <string>

namespace os {

// An X window id; 0 stands for none.
using WindowHandle = unsigned long;

// The first top-level window titled exactly Title (UTF-8): the calling process's own
// windows come first, then the others from the top of the stacking order down.
WindowHandle FindTopLevelWindow(const std::string& Title);

void SetWindowTitle(WindowHandle Window, const std::string& Title);

// Minimized: iconic to the window manager, or hidden through _NET_WM_STATE.
bool IsWindowMinimized(WindowHandle Window);

// Both ask a running window manager the way a pager does, which focus-stealing prevention
// honours; without one they map and raise the window themselves.
void RestoreWindow(WindowHandle Window);
void BringWindowToTop(WindowHandle Window);

} // namespace os
