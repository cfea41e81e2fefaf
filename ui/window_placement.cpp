// Centring top-level windows and keeping them off the task bar (see window_placement.h).
#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
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
