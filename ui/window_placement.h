// Where top-level windows appear, and keeping them off the desktop's task bar.
#pragma once

class QWidget;

namespace qrticket::ui {

// Places `window` in the middle of the available area of its screen.
void CentreOnScreen(QWidget& window);

// Asks the window manager to leave `window` out of the task bar (and the pager). On X11 this
// sets _NET_WM_STATE_SKIP_TASKBAR before the window is mapped; elsewhere it does nothing.
void KeepOffTaskBar(QWidget& window);

// True when KeepOffTaskBar set the state on `window` (read back from the X server).
bool IsKeptOffTaskBar(QWidget& window);

}  // namespace qrticket::ui
