// Asks an X window to close, as a window manager does when its close button
// is pressed: a WM_DELETE_WINDOW message of the WM_PROTOCOLS kind.
//
//   close_window WINDOW_ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: close_window WINDOW_ID\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    fprintf(stderr, "close_window: no display\n");
    return 1;
  }
  Window window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return 0;
}
