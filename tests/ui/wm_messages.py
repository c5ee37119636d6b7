#!/usr/bin/python3
"""What a window manager asks of a window and sees of the screen, for tests on
a display with no window manager (Xvfb). Needs python3-xlib.

  wm_messages.py ping WINDOW LIMIT_MS   sends _NET_WM_PING, prints the reply's
                                        delay in ms; status 1 past LIMIT_MS
  wm_messages.py delete WINDOW          sends WM_DELETE_WINDOW, as a close box does,
                                        and prints when (ms since 1970)
  wm_messages.py viewable               prints how many top-level windows are viewable
"""
import sys
import time

from Xlib import X, display, error, protocol

# How long a ping waits for its reply, beyond the limit, so that a late reply is
# still measured and told.
PATIENCE_S = 5.0


def protocols_message(d, window, what, timestamp):
    return protocol.event.ClientMessage(
        window=window,
        client_type=d.intern_atom("WM_PROTOCOLS"),
        data=(32, [d.intern_atom(what), timestamp, window.id, 0, 0]))


def server_time(d):
    """A timestamp of the X server's, as a window manager takes from an event."""
    root = d.screen().root
    root.change_attributes(event_mask=X.PropertyChangeMask)
    stamp = d.intern_atom("QUELLAR_TEST_TIME")
    root.change_property(stamp, d.intern_atom("STRING"), 8, b"")
    while True:
        event = d.next_event()
        if event.type == X.PropertyNotify and event.atom == stamp:
            root.delete_property(stamp)
            return event.time


def ping(d, window, limit_ms):
    root = d.screen().root
    timestamp = server_time(d)
    # The client answers by sending the message back to the root window for
    # whoever redirects it, the window manager; with none running the test may.
    root.change_attributes(event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
    d.sync()
    ping_atom = d.intern_atom("_NET_WM_PING")
    sent = time.monotonic()
    window.send_event(protocols_message(d, window, "_NET_WM_PING", timestamp))
    d.flush()
    while time.monotonic() - sent < PATIENCE_S:
        while d.pending_events():
            event = d.next_event()
            if (event.type == X.ClientMessage and event.window == root
                    and event.data[1][0] == ping_atom and event.data[1][2] == window.id):
                took = (time.monotonic() - sent) * 1000
                print(f"{took:.1f}")
                return 0 if took <= limit_ms else 1
        time.sleep(0.001)
    print(f"no reply in {PATIENCE_S:.0f} s")
    return 1


def viewable(d):
    children = d.screen().root.query_tree().children
    count = 0
    for child in children:
        try:
            if child.get_attributes().map_state == X.IsViewable:
                count += 1
        except error.BadWindow:  # gone meanwhile
            pass
    return count


def main(argv):
    d = display.Display()
    if argv[1:2] == ["ping"] and len(argv) == 4:
        return ping(d, d.create_resource_object("window", int(argv[2], 0)), float(argv[3]))
    if argv[1:2] == ["delete"] and len(argv) == 3:
        window = d.create_resource_object("window", int(argv[2], 0))
        message = protocols_message(d, window, "WM_DELETE_WINDOW", X.CurrentTime)
        sent = time.time_ns() // 1_000_000
        window.send_event(message)
        d.sync()
        print(sent)
        return 0
    if argv[1:] == ["viewable"]:
        print(viewable(d))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
