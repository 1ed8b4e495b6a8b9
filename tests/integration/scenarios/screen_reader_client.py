"""A screen reader's view of the launcher, through pyatspi (test_screen_reader.sh).

Usage: screen_reader_client.py COMMAND [ARG]
  tree            waits for the application "Portico", prints one line per object:
                  kind<TAB>name<TAB>role<TAB>x,y,w,h<TAB>states<TAB>text
  focused         prints the name of the control with the focused state, or "-"
  events SECONDS  prints the focus and activation events that arrive meanwhile
  do NAME         does the action "click" of the control NAME, prints its result
"""
import sys
import time

import pyatspi
from gi.repository import GLib


def find_application(timeout=10.0):
    """The launcher's application object, waiting for it to register."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "Portico":
                return app
        time.sleep(0.2)
    sys.exit("no application named Portico on the accessibility bus")


def states(obj):
    names = [str(s.value_nick) for s in obj.getState().getStates()]
    return ",".join(sorted(names))


def extents(obj):
    e = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return "%d,%d,%d,%d" % (e.x, e.y, e.width, e.height)


def controls(app):
    frame = app.getChildAtIndex(0)
    return frame, [frame.getChildAtIndex(i) for i in range(frame.childCount)]


def tree():
    app = find_application()
    frame, children = controls(app)
    print("\t".join(["application", app.name, app.getRoleName(), "-", states(app), "-"]))
    print("\t".join(["frame", frame.name, frame.getRoleName(), extents(frame), states(frame), "-"]))
    for child in children:
        text = "-"
        if child.getRole() == pyatspi.ROLE_LABEL:
            text = child.queryText().getText(0, -1)
        action = child.queryAction()
        actions = ",".join(action.getName(i) for i in range(action.nActions))
        print("\t".join(["control", child.name, child.getRoleName(), extents(child), states(child), text, actions]))


def focused():
    _, children = controls(find_application())
    names = [c.name for c in children if c.getState().contains(pyatspi.STATE_FOCUSED)]
    print(names[0] if names else "-")


def events(seconds):
    find_application()
    loop = GLib.MainLoop()

    def on_event(event):
        source = event.source.name if event.source is not None else ""
        print("%s\t%s\t%d" % (event.type, source, event.detail1), flush=True)

    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:focused",
                                           "object:state-changed:active", "window:activate",
                                           "window:deactivate")
    print("listening", flush=True)
    GLib.timeout_add(int(seconds * 1000), loop.quit)
    loop.run()


def do(name):
    _, children = controls(find_application())
    for child in children:
        if child.name == name:
            action = child.queryAction()
            for i in range(action.nActions):
                if action.getName(i) == "click":
                    print(action.doAction(i))
                    return
    sys.exit("no control %s with the action click" % name)


if __name__ == "__main__":
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    if command == "tree":
        tree()
    elif command == "focused":
        focused()
    elif command == "events" and len(sys.argv) > 2:
        events(float(sys.argv[2]))
    elif command == "do" and len(sys.argv) > 2:
        do(sys.argv[2])
    else:
        sys.exit(__doc__)
