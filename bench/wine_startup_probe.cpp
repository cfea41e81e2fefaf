// Starts a Windows program under Wine and watches the X server it draws on, for
// bench/startup_wine.sh: the time from the fork to the first window on screen (mapped, and its
// white drawn), then to the window titled TITLE on screen, and the program's resident memory
// (VmRSS of the Wine process) at that moment. Ends the program afterwards.
// Usage: wine_startup_probe TITLE PROGRAM [ARGS...]   (DISPLAY names the X server)
// Prints first_shown_us=, last_shown_us= and rss_kib=, one a line; exits 1 when TITLE did not
// show within 60 s. With PROBE_SMAPS=FILE set, also copies the process's /proc/PID/smaps there at
// that moment, to see where the memory goes.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// VmRSS of a process, in KiB; -1 when it cannot be read.
long ResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

struct Shown {
  bool any = false;     // a window of some size is mapped and shows white inside
  bool titled = false;  // ... and it is the one titled as asked
};

// Whether `window` is on screen: mapped, at least 100 pixels each way, and white near the
// middle of its bottom edge (the splash's, Form1's and the yardstick's background there).
bool OnScreen(xcb_connection_t* x, xcb_window_t window) {
  xcb_get_window_attributes_reply_t* attributes =
      xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, window), nullptr);
  const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
  std::free(attributes);
  if (!viewable) return false;
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr);
  if (!geometry) return false;
  const int width = geometry->width, height = geometry->height;
  std::free(geometry);
  if (width < 100 || height < 100) return false;
  xcb_get_image_reply_t* image = xcb_get_image_reply(
      x,
      xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<int16_t>(width / 2),
                    static_cast<int16_t>(height - 8), 1, 1, ~0U),
      nullptr);
  const bool white = image && xcb_get_image_data_length(image) >= 3 &&
                     xcb_get_image_data(image)[0] == 0xFF && xcb_get_image_data(image)[1] == 0xFF &&
                     xcb_get_image_data(image)[2] == 0xFF;
  std::free(image);
  return white;
}

// The title as UTF-8: _NET_WM_NAME, which Wine sets beside WM_NAME (in the locale's encoding).
std::string TitleOf(xcb_connection_t* x, xcb_window_t window) {
  static const xcb_atom_t netWmName = [x] {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, 12, "_NET_WM_NAME"), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_WM_NAME);
    std::free(reply);
    return atom;
  }();
  xcb_get_property_reply_t* name = xcb_get_property_reply(
      x, xcb_get_property(x, 0, window, netWmName, XCB_ATOM_ANY, 0, 256), nullptr);
  std::string title;
  if (name)
    title.assign(static_cast<const char*>(xcb_get_property_value(name)),
                 static_cast<std::size_t>(xcb_get_property_value_length(name)));
  std::free(name);
  return title;
}

Shown Look(xcb_connection_t* x, xcb_window_t root, const std::string& title) {
  Shown shown;
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x, xcb_query_tree(x, root), nullptr);
  if (!tree) return shown;
  const xcb_window_t* children = xcb_query_tree_children(tree);
  for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
    if (!OnScreen(x, children[i])) continue;
    shown.any = true;
    if (TitleOf(x, children[i]) == title) shown.titled = true;
  }
  std::free(tree);
  return shown;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TITLE PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  const std::string title = argv[1];
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) {
    std::fprintf(stderr, "no X display\n");
    return 2;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  if (Look(x, root, title).any) {
    std::fprintf(stderr, "a window is already on screen\n");
    return 2;
  }

  const auto start = Clock::now();
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
    std::perror("posix_spawn");
    return 2;
  }
  const auto since = [&] {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
  };
  long long first = -1, last = -1;
  long rss = -1;
  while (Clock::now() - start < 60s) {
    const Shown shown = Look(x, root, title);
    if (shown.any && first < 0) first = since();
    if (shown.titled) {
      last = since();
      rss = ResidentKiB(pid);
      if (const char* copy = std::getenv("PROBE_SMAPS")) {
        std::ifstream from("/proc/" + std::to_string(pid) + "/smaps");
        std::ofstream(copy) << from.rdbuf();
      }
      break;
    }
    std::this_thread::sleep_for(1ms);
  }
  std::printf("first_shown_us=%lld\nlast_shown_us=%lld\nrss_kib=%ld\n", first, last, rss);
  std::fflush(stdout);

  ::kill(pid, SIGTERM);
  for (int i = 0; i < 200 && ::waitpid(pid, nullptr, WNOHANG) == 0; ++i) std::this_thread::sleep_for(10ms);
  if (::waitpid(pid, nullptr, WNOHANG) == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  // Until the program's windows are gone, so the next run starts on an empty screen.
  for (int i = 0; i < 300 && Look(x, root, title).any; ++i) std::this_thread::sleep_for(10ms);
  xcb_disconnect(x);
  return last >= 0 ? 0 : 1;
}
