// Where top-level windows appear and how large they may be, and keeping them off the desktop's
// task bar.
#pragma once

#include <QSize>

class QWidget;

namespace qrticket::ui {

// Places `window` in the middle of the available area of its screen.
void CentreOnScreen(QWidget& window);

// The size a window opened over `over` may have and still lie wholly on the screen `over` is
// on (the primary screen when `over` is null): that screen's available area, less the frame the
// window manager draws around `over`, as it will draw one around the new window too. In
// logical pixels, so a display scaled to 200 % has half the room.
QSize RoomOnScreen(const QWidget* over);

// Centres `window`, frame included, over `over` (or on the primary screen), moved as little as
// needed to lie wholly in the available area of that screen. Qt's own placement of dialogs
// counts the frame on one side only and can leave a border off the screen.
void PlaceOver(QWidget& window, const QWidget* over);

// Asks the window manager to leave `window` out of the task bar (and the pager). On X11 this
// sets _NET_WM_STATE_SKIP_TASKBAR before the window is mapped; elsewhere it does nothing.
void KeepOffTaskBar(QWidget& window);

// True when KeepOffTaskBar set the state on `window` (read back from the X server).
bool IsKeptOffTaskBar(QWidget& window);

}  // namespace qrticket::ui
