// Drives a real window on an X display, as a person would: asks the window
// with a given title to close (as the window manager's close button does),
// and presses keys in the window that has a given title.
//
//   x11_driver wait TITLE [SECONDS]    wait until the window shows
//   x11_driver close TITLE [SECONDS]   send the close request
//   x11_driver key TITLE KEY [SECONDS] focus the window and press KEY (an X
//                                      key name such as Return or Escape)
// Waits up to SECONDS (default 20) for the window to appear; exit 1 when
// it does not.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Title(Display* display, Window window) {
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
      title = name;
      XFree(name);
    }
  }
  return title;
}

bool Viewable(Display* display, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

Window Find(Display* display, Window root, const std::string& title) {
  Window parent, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    if (Title(display, children[i]) == title && Viewable(display, children[i]))
      found = children[i];
    else
      found = Find(display, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

Window Wait(Display* display, const std::string& title, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (Window w = Find(display, DefaultRootWindow(display), title)) return w;
    usleep(100'000);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: x11_driver wait|close TITLE [SECONDS] | key TITLE KEY [SECONDS]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "x11_driver: no display\n");
    return 1;
  }
  const std::string action = argv[1];
  const std::string title = argv[2];
  const int argSeconds = action == "key" ? 4 : 3;
  const int seconds = argc > argSeconds ? std::atoi(argv[argSeconds]) : 20;
  const Window window = Wait(display, title, seconds);
  if (!window) {
    std::fprintf(stderr, "x11_driver: no window '%s'\n", title.c_str());
    return 1;
  }
  if (action == "wait") {
    // Found: nothing more to do.
  } else if (action == "close") {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
  } else if (action == "key" && argc > 3) {
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    usleep(200'000);
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(argv[3]));
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
  } else {
    return 2;
  }
  XSync(display, False);
  XCloseDisplay(display);
  return 0;
}
