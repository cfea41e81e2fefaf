// Placing top-level windows and keeping them off the task bar (see window_placement.h).
#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#ifdef QRTICKET_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace qrticket::ui {

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect placed(QPoint(0, 0), window.size());
  placed.moveCenter(screen->availableGeometry().center());
  window.move(placed.topLeft());
}

namespace {

const QScreen* ScreenOf(const QWidget* over) {
  return over ? over->screen() : QGuiApplication::primaryScreen();
}

// The frame around `over`'s window: none before the window manager has framed it.
QMargins FrameAround(const QWidget* over) {
  if (!over || !over->isVisible()) return {};
  const QRect frame = over->window()->frameGeometry();
  const QRect inner = over->window()->geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

}  // namespace

QSize RoomOnScreen(const QWidget* over) {
  const QScreen* screen = ScreenOf(over);
  if (!screen) return {};
  const QMargins frame = FrameAround(over);
  return screen->availableGeometry().size() -
         QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
}

void PlaceOver(QWidget& window, const QWidget* over) {
  const QScreen* screen = ScreenOf(over);
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  QRect frame = QRect(QPoint(0, 0), window.size()).marginsAdded(FrameAround(over));
  frame.moveCenter(over ? over->window()->frameGeometry().center() : area.center());
  // Right and bottom first, so that a window larger than the area keeps its top left corner
  // (title bar and all) on the screen.
  frame.moveRight(std::min(frame.right(), area.right()));
  frame.moveBottom(std::min(frame.bottom(), area.bottom()));
  frame.moveLeft(std::max(frame.left(), area.left()));
  frame.moveTop(std::max(frame.top(), area.top()));
  window.move(frame.topLeft());  // a window's position is its frame's
}

#ifdef QRTICKET_HAVE_XCB
namespace {

xcb_connection_t* X11Connection() {
  auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return app ? app->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
      nullptr);
  if (!reply) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

}  // namespace

void KeepOffTaskBar(QWidget& window) {
  xcb_connection_t* connection = X11Connection();
  if (!connection) return;
  // Qt merges its own states into the property when it maps the window, keeping these.
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_atom_t states[] = {Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                               Atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
  xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, Atom(connection, "_NET_WM_STATE"),
                      XCB_ATOM_ATOM, 32, 2, states);
  xcb_flush(connection);
}

bool IsKeptOffTaskBar(QWidget& window) {
  xcb_connection_t* connection = X11Connection();
  if (!connection) return false;
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_atom_t skip = Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection,
      xcb_get_property(connection, 0, id, Atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64),
      nullptr);
  if (!reply) return false;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
  const int count = xcb_get_property_value_length(reply) / static_cast<int>(sizeof(xcb_atom_t));
  bool found = false;
  for (int i = 0; i < count; ++i) found = found || atoms[i] == skip;
  std::free(reply);
  return found;
}
#else
void KeepOffTaskBar(QWidget&) {}
bool IsKeptOffTaskBar(QWidget&) { return false; }
#endif

}  // namespace qrticket::ui
