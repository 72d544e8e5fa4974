#!/usr/bin/python3
# read_window_text.py TITLE TEXT...: reads, as a screen reader does through
# AT-SPI, the text objects of the window titled TITLE until one holds every
# TEXT and has its caret at its typed end; prints what it read. Exit 0 when
# found, 1 when not within 20 seconds, 77 without pyatspi.
import sys
import time

try:
    import pyatspi
except ImportError:
    print("read_window_text: pyatspi is not installed", file=sys.stderr)
    sys.exit(77)


def texts(accessible, depth=0):
    """The text objects below `accessible`, as (role, text, caret)."""
    if accessible is None or depth > 30:
        return
    try:
        text = accessible.queryText()
        yield accessible.getRoleName(), text.getText(0, -1), text.caretOffset
    except NotImplementedError:
        pass
    except Exception:
        pass
    for i in range(accessible.childCount):
        yield from texts(accessible.getChildAtIndex(i), depth + 1)


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
                for role, text, caret in texts(window):
                    seen = text
                    end = text.rstrip("\n")
                    if all(w in text for w in wanted) and caret == len(end):
                        print(role + ": " + text)
                        return 0
        time.sleep(0.3)
    print("read_window_text: no text of the window " + title + " held " + repr(wanted) +
          "; last read: " + repr(seen[-300:]), file=sys.stderr)
    return 1


sys.exit(main())
