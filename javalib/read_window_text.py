#!/usr/bin/python3
# read_window_text.py TITLE TEXT...: reads, as a screen reader does through
# AT-SPI, the text objects of the window titled TITLE until one holds every
# TEXT, has its caret at its typed end, and places the first TEXT's first
# character inside the window (as a magnifier or a reader's highlight would
# find it); prints what it read. Exit 0 when found, 1 when not within 20
# seconds, 77 without pyatspi.
import sys
import time

try:
    import pyatspi
except ImportError:
    print("read_window_text: pyatspi is not installed", file=sys.stderr)
    sys.exit(77)


def texts(accessible, depth=0):
    """The text objects below `accessible`, as (role, text, caret, its AT-SPI text)."""
    if accessible is None or depth > 30:
        return
    try:
        text = accessible.queryText()
        yield accessible.getRoleName(), text.getText(0, -1), text.caretOffset, text
    except NotImplementedError:
        pass
    except Exception:
        pass
    for i in range(accessible.childCount):
        yield from texts(accessible.getChildAtIndex(i), depth + 1)


def inside(window, text, offset):
    """None when the character at `offset` lies inside the window, else what is wrong."""
    x, y, width, height = text.getCharacterExtents(offset, pyatspi.DESKTOP_COORDS)
    box = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if box.width <= 0 and window.childCount > 0:
        # Java's bridge gives a frame no extents: its root pane has them.
        box = window.getChildAtIndex(0).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if (width > 0 and height > 0 and box.x <= x and x + width <= box.x + box.width
            and box.y <= y and y + height <= box.y + box.height):
        return None
    return "character %d at %s, outside the window at %s" % (
        offset, (x, y, width, height), (box.x, box.y, box.width, box.height))


def main():
    title, wanted = sys.argv[1], sys.argv[2:]
    deadline = time.time() + 20
    seen = ""
    while time.time() < deadline:
        for application in pyatspi.Registry.getDesktop(0):
            if application is None:
                continue
            for window in application:
                if window is None or window.name != title:
                    continue
                for role, text, caret, interface in texts(window):
                    seen = text or seen
                    end = text.rstrip("\n")
                    if not all(w in text for w in wanted) or caret != len(end):
                        continue
                    place = inside(window, interface, text.rfind(wanted[0]))
                    if place is None:
                        print(role + ": " + text)
                        return 0
                    seen = place + "; text: " + text
        time.sleep(0.3)
    print("read_window_text: no text of the window " + title + " held " + repr(wanted) +
          "; last read: " + repr(seen[-300:]), file=sys.stderr)
    return 1


sys.exit(main())
