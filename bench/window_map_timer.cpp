// Start to window shown, measured at the X server rather than inside the
// program: selects SubstructureNotify on the root window, then starts the
// program and notes the MapNotify of its first top-level window. Holds the
// program a while after that, reads its peak resident memory (VmHWM), and
// ends it. For any program, so the console is measured as its peers are.
//
//   window_map_timer [--hold SECONDS] -- PROGRAM [ARGUMENTS...]
// prints "mapped_ms N" and "vmhwm_kb N"; exit 1 if no window came in 20 s.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr),
      &std::free);
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The window's _NET_WM_PID, or 0 when it has none.
pid_t WindowPid(xcb_connection_t* x, xcb_window_t window, xcb_atom_t pidAtom) {
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(x, xcb_get_property(x, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1),
                             nullptr),
      &std::free);
  if (!reply || xcb_get_property_value_length(reply.get()) < 4) return 0;
  return static_cast<pid_t>(*static_cast<std::uint32_t*>(xcb_get_property_value(reply.get())));
}

long VmHwmKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// Waits for the MapNotify of a top-level window of `pid` (or of a window that
// does not say whose it is); the milliseconds since `start`, or -1.
double WaitForMap(xcb_connection_t* x, xcb_window_t root, pid_t pid, Clock::time_point start) {
  const xcb_atom_t pidAtom = Atom(x, "_NET_WM_PID");
  pollfd watch{xcb_get_file_descriptor(x), POLLIN, 0};
  while (Clock::now() - start < std::chrono::seconds(20)) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
      const Clock::time_point seen = Clock::now();
      std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
      if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY) continue;
      const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
      if (map->event != root || map->override_redirect) continue;
      const pid_t owner = WindowPid(x, map->window, pidAtom);
      if (owner == 0 || owner == pid) {
        return std::chrono::duration<double, std::milli>(seen - start).count();
      }
    }
    if (xcb_connection_has_error(x)) return -1;
    ::poll(&watch, 1, 100);
  }
  return -1;
}

void End(pid_t pid) {
  ::kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
    ::usleep(100'000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  double holdSeconds = 2;
  int first = 1;
  if (first + 1 < argc && std::strcmp(argv[first], "--hold") == 0) {
    holdSeconds = std::atof(argv[first + 1]);
    first += 2;
  }
  if (first < argc && std::strcmp(argv[first], "--") == 0) ++first;
  if (first >= argc) {
    std::fprintf(stderr, "usage: window_map_timer [--hold SECONDS] -- PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) {
    std::fprintf(stderr, "window_map_timer: no X display (DISPLAY=%s)\n", std::getenv("DISPLAY"));
    return 2;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  // Checked, so the selection is in force at the server before the program starts.
  if (xcb_generic_error_t* error = xcb_request_check(
          x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask))) {
    std::free(error);
    std::fprintf(stderr, "window_map_timer: cannot watch the root window\n");
    return 2;
  }
  const Clock::time_point start = Clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execvp(argv[first], argv + first);
    std::perror(argv[first]);
    ::_exit(127);
  }
  const double mapped = WaitForMap(x, root, pid, start);
  if (mapped >= 0) ::usleep(static_cast<useconds_t>(holdSeconds * 1e6));
  const long hwm = VmHwmKilobytes(pid);
  End(pid);
  xcb_disconnect(x);
  if (mapped < 0) {
    std::fprintf(stderr, "window_map_timer: no window from %s\n", argv[first]);
    return 1;
  }
  std::printf("mapped_ms %.1f\nvmhwm_kb %ld\n", mapped, hwm);
  return 0;
}
