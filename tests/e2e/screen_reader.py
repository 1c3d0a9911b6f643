#!/usr/bin/python3
"""A whole own-numbers game read and driven over AT-SPI, as a player who cannot see the screen
plays it with a screen reader: the instruction pages read and turned, the menu by keys, the
dialog's named fields, the grid's cells with the focus following the caret, placements heard as
name changes, DONE pressed through its accessible action, the verdict with the final score and
the performance read from the tree, and HOME back to the instructions. Roles are compared by their
AT-SPI value: the names libatspi gives them change between releases ("push button" is "button" in
at-spi2-core 2.56).

Run by the real-window test with DISPLAY and DBUS_SESSION_BUS_ADDRESS of its private session,
and E2E_INPUT_DISPLAY, the screen that takes the keys.
Arguments: the test puzzle and its solution, 81 characters each ('.' for an empty square), and how
the game says a change without moving the focus: "announcements" (Qt 6.8 and later: polite for a
change, assertive for the verdict, and no notification ever) or "notifications" (a notification
that shows).
Prints what it checked; exits 1 with the first thing that was wrong.
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PUZZLE, SOLUTION, SPOKEN = sys.argv[1], sys.argv[2], sys.argv[3]
EVENTS = []  # (type, role, name, description, detail1, any_data), in the order they arrived
POLITE, ASSERTIVE = 1, 2  # an announcement's detail1 (AT-SPI's live region politeness)


def fail(message):
    for event in EVENTS[-12:]:
        print("  event: %s %s %r %r %s" % (event[0], event[1].value_nick, event[2][:60], event[3][:40], event[4]))
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def note(message):
    print(message, flush=True)


def pump(seconds):
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.01)


def wait_for(check, what, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = check()
        if result:
            return result
        pump(0.05)
    fail("waited in vain for " + what)


def on_event(event):
    try:
        source = event.source
        data = event.any_data if isinstance(event.any_data, str) else ""
        EVENTS.append((event.type, source.getRole(), source.name, source.description, event.detail1, data))
    except Exception:  # an object gone by the time the event is read
        EVENTS.append((event.type, pyatspi.ROLE_INVALID, "", "", event.detail1, ""))


def keys(*names):
    # Typed where the player's hands are: the screen, which under a Wayland desktop is the
    # compositor's, not the X11 compatibility server the game's windows are on.
    env = dict(os.environ, DISPLAY=os.environ.get("E2E_INPUT_DISPLAY", os.environ["DISPLAY"]))
    subprocess.run(["xdotool", "key", "--delay", "40"] + list(names), check=True, env=env)


def find(root, predicate):
    if root is None:
        return None
    if predicate(root):
        return root
    for i in range(root.childCount):
        found = find(root.getChildAtIndex(i), predicate)
        if found is not None:
            return found
    return None


def children(obj):
    obj.clearCache()
    return [obj.getChildAtIndex(i) for i in range(obj.childCount)]


def focus_events(since):
    return [e for e in EVENTS[since:] if e[0] == "focus:"]


def focused_name(since, role=None):
    """The name of the last object that took the focus after `since`, or None."""
    names = [e[2] for e in focus_events(since) if role is None or e[1] == role]
    return names[-1] if names else None


def names_changed(since, role):
    return [e[2] for e in EVENTS[since:] if e[0] == "object:property-change:accessible-name" and e[1] == role]


def notifications(since=0):
    return [e for e in EVENTS[since:] if e[0] == "object:state-changed:showing" and e[1] == pyatspi.ROLE_NOTIFICATION]


def said(since, text, politeness=POLITE):
    """Whether the game said the text at once after `since`, as it does when a label or a table cell
    that screen readers would keep quiet about changes under the focus: an announcement of that
    politeness, or a notification with that name that shows."""
    if SPOKEN == "announcements":
        return any(e[0] == "object:announcement" and e[5] == text and e[4] == politeness for e in EVENTS[since:])
    return any(e[2] == text for e in notifications(since))


def cell_name(r, c, content):
    return "Row %d, column %d: %s" % (r + 1, c + 1, content)


def expect(actual, expected, what):
    if actual != expected:
        fail("%s: %r, expected %r" % (what, actual, expected))


def main():
    for kind in ("focus:", "object:property-change:accessible-name", "object:children-changed",
                 "object:state-changed:showing", "object:announcement"):
        pyatspi.Registry.registerEventListener(on_event, kind)
    desktop = pyatspi.Registry.getDesktop(0)

    def game_frame():
        # The game's frame. Under GNOME, Qt draws its dialogs with GTK, whose own bridge puts a
        # second "cellwright" on the bus, empty but for the dialogs it shows.
        for app in children(desktop):
            if app is not None and app.getRole() == pyatspi.ROLE_APPLICATION and app.name == "cellwright":
                found = find(app, lambda o: o.getRole() == pyatspi.ROLE_FRAME)
                if found is not None:
                    return found
        return None

    frame = wait_for(game_frame, "the game's main window on the accessibility bus", 20)
    app = frame.getApplication()
    note("applications on the bus: %s" % ", ".join("%s (%d)" % (a.name, a.childCount) for a in children(desktop)))
    view = find(frame, lambda o: o.getRole() == pyatspi.ROLE_FILLER and o.name == "Cellwright")
    if view is None:
        fail("no play screen in the tree")

    # --- the home page: one text with the page's lines and prompts; Page Down turns it --------
    # The window has the keyboard, given by the desktop or taken by itself on a bare X server, and
    # may have had it before this script listened. (Nothing here moves the X focus: under a
    # Wayland desktop that leaves the compositor's own idea of the focus behind.)
    def page_focused():
        label = children(view)[0]
        return focused_name(0, pyatspi.ROLE_LABEL) or (label.getState().contains(pyatspi.STATE_FOCUSED) and label.name)

    page = wait_for(page_focused, "the instruction page to take the focus")
    # Qt's bridge reads which events are listened for as it starts, and from then on hears of each
    # new listener; listeners registered while it was starting can go unheard, and then it sends
    # focus events only. One listener more, now that it has spoken, makes it read them all again.
    pyatspi.Registry.registerEventListener(lambda event: None, "object:text-caret-moved")
    pump(0.2)
    if not page.startswith("Page 1 of ") or "Instructions For Cellwright" not in page:
        fail("the home page reads %r" % page[:80])
    for prompt in ("Press Page Down or Page Up for the next or previous page.", "Go to the Options menu to start."):
        if prompt not in page:
            fail("the home page lacks the prompt %r" % prompt)
    label = children(view)[0]
    expect(label.queryText().getText(0, -1), page, "the page's text")
    mark = len(EVENTS)
    keys("Next")
    turned = wait_for(lambda: names_changed(mark, pyatspi.ROLE_LABEL), "a name change at Page Down")[-1]
    if not turned.startswith("Page 2 of "):
        fail("after Page Down the page reads %r" % turned[:40])
    wait_for(lambda: said(mark, turned), "the turned page said at once")
    keys("Prior")
    wait_for(lambda: any(n.startswith("Page 1 of ") for n in names_changed(mark, pyatspi.ROLE_LABEL)), "page 1 again")
    note("home page: %d lines read, turned to page 2 and back" % page.count("\n"))

    # --- menus: names without the shortcut, the shortcut as the item's key --------------------
    item = find(frame, lambda o: o.getRole() == pyatspi.ROLE_MENU_ITEM and o.name.startswith("Print"))
    expect(item.name, "Print...", "the Print item's name")
    expect(item.queryAction().getKeyBinding(0), "Ctrl+P", "the Print item's key")

    # --- the own-numbers dialog: named fields, the status heard when it comes back ----------
    mark = len(EVENTS)
    keys("alt")
    pump(0.3)
    keys("Right", "Down", "Down", "Down", "Return")
    dialog = wait_for(lambda: find(app, lambda o: o.getRole() == pyatspi.ROLE_DIALOG), "the own-numbers dialog")
    expect(dialog.name, "Input Your Own Numbers", "the dialog's title")
    fields = [c for c in children(dialog) if c.getRole() == pyatspi.ROLE_TEXT and c.name.startswith("Row ")]
    expect([f.name for f in fields], ["Row %d, column %d" % (r, c) for r in range(1, 10) for c in range(1, 10)],
           "the fields' names")
    wait_for(lambda: focused_name(mark) == "Row 1, column 1", "the focus on the first field")
    mark = len(EVENTS)
    keys("1", "Tab", "2", "Return")  # two numbers only: refused
    status = "Need at least 20 numbers. You only have 2."
    reopened = wait_for(lambda: [e for e in focus_events(mark) if e[2] == "Row 1, column 1" and e[3] == status],
                        "the dialog back with its status read at the first field")
    dialog = wait_for(lambda: find(app, lambda o: o.getRole() == pyatspi.ROLE_DIALOG), "the dialog again")
    status_line = find(dialog, lambda o: o.name == "Status")
    expect(status_line.queryText().getText(0, -1), status, "the status line")
    note("dialog: 81 named fields; the refusal read as %r" % reopened[-1][3])
    loader = find(dialog, lambda o: o.getRole() == pyatspi.ROLE_PUSH_BUTTON and o.name.startswith("Click Here"))
    loader.queryAction().doAction(0)
    second = find(dialog, lambda o: o.name == "Row 1, column 2")
    wait_for(lambda: second.queryText().getText(0, -1) == PUZZLE[1], "the test puzzle in the fields")
    mark = len(EVENTS)
    keys("Return")

    # --- the grid: a 9 x 9 table whose cells say what they hold -----------------------------
    first = wait_for(lambda: focused_name(mark, pyatspi.ROLE_TABLE_CELL), "a cell to take the focus")
    expect(first, cell_name(0, 0, "empty"), "the first focused cell")
    grid = find(view, lambda o: o.getRole() == pyatspi.ROLE_TABLE)
    table = grid.queryTable()
    expect((table.nRows, table.nColumns), (9, 9), "the table's size")
    cells = children(grid)
    expect(len(cells), 81, "the cells")
    boxes = set()
    for s, cell in enumerate(cells):
        r, c = s // 9, s % 9
        content = "empty" if PUZZLE[s] == "." else PUZZLE[s] + ", original"
        expect(cell.name, cell_name(r, c, content), "cell %d" % s)
        expect((table.getRowAtIndex(s), table.getColumnAtIndex(s)), (r, c), "the place of cell %d" % s)
        if table.getAccessibleAt(r, c).name != cell.name:
            fail("cellAt(%d, %d) is not cell %d" % (r, c, s))
        boxes.add(tuple(cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)))
    if len(boxes) != 81 or any(w <= 0 or h <= 0 for (_, _, w, h) in boxes):
        fail("the cells' extents are not 81 separate boxes on the screen")
    if not cells[0].getState().contains(pyatspi.STATE_FOCUSED):
        fail("the caret's cell is not in the focused state")
    note("grid: 81 cells named and placed, cell 1,1 focused")

    # Every caret move is one focus event, for the cell the caret went to.
    mark = len(EVENTS)
    moves = [("Right", 0, 1), ("Down", 1, 1), ("Left", 1, 0), ("Up", 0, 0)]
    keys(*[m[0] for m in moves])
    wait_for(lambda: len(focus_events(mark)) >= len(moves), "a focus event per caret move")
    expected = [cell_name(r, c, "empty" if PUZZLE[r * 9 + c] == "." else PUZZLE[r * 9 + c] + ", original")
                for _, r, c in moves]
    expect([e[2] for e in focus_events(mark)], expected, "the cells focused by the arrows")

    # The caret square's possibles bought, a possible chosen by its digit, fixed and unfixed,
    # removed and placed again: each change of the cell is a name change.
    answer = SOLUTION[0]
    steps = [("p", None), (answer, answer + ", yours"), ("f", answer + ", fixed"), ("f", answer + ", yours"),
             ("BackSpace", None), (answer, answer + ", yours")]
    heard = []
    for key, content in steps:
        mark = len(EVENTS)
        keys(key)
        name = wait_for(lambda: [n for n in names_changed(mark, pyatspi.ROLE_TABLE_CELL) if n.startswith("Row 1, column 1:")],
                        "a name change of cell 1,1 at %s" % key)[-1]
        if content is not None:
            expect(name, cell_name(0, 0, content), "cell 1,1 after " + key)
        elif "possibles" not in name or answer not in name.split("possibles")[1]:
            fail("cell 1,1 after %s reads %r" % (key, name))
        wait_for(lambda: said(mark, name), "%r said at once" % name)
        heard.append(name)
    note("cell 1,1 heard as: " + " | ".join(heard))

    # A basket's press types its numeral into the caret square.
    keys("Right", "Right", "Right")
    basket = find(view, lambda o: o.getRole() == pyatspi.ROLE_PUSH_BUTTON and o.name == "Basket " + SOLUTION[3])
    expect(basket.queryAction().getKeyBinding(0), SOLUTION[3], "the basket's key")
    mark = len(EVENTS)
    basket.queryAction().doAction(0)
    wait_for(lambda: cell_name(0, 3, SOLUTION[3] + ", yours") in names_changed(mark, pyatspi.ROLE_TABLE_CELL),
             "the basket's numeral in cell 1,4")

    # The rest of the solution typed at the caret: one name change per placement.
    row, col = 0, 3
    typed = []
    for s in range(81):
        r, c = s // 9, s % 9
        if PUZZLE[s] != "." or s in (0, 3):
            continue
        typed += ["Right"] * ((c - col) % 9) + ["Down"] * ((r - row) % 9) + [SOLUTION[s]]
        row, col = r, c
    mark = len(EVENTS)
    keys(*typed)
    placements = sum(1 for k in typed if k.isdigit())
    wait_for(lambda: len([n for n in names_changed(mark, pyatspi.ROLE_TABLE_CELL) if n.endswith(", yours")]) >= placements,
             "a name change per placement", 20)
    points = find(view, lambda o: o.getRole() == pyatspi.ROLE_LABEL and o.name.startswith("Points left"))
    expect(points.name, "Points left: %d" % (300 - 5 - 2 - 1 - placements), "the points")
    note("%d placements heard as name changes; %s" % (placements, points.name))

    # --- DONE through its accessible action: the verdict takes the focus ---------------------
    done = find(view, lambda o: o.getRole() == pyatspi.ROLE_PUSH_BUTTON and o.name == "DONE")
    expect(done.queryAction().getKeyBinding(0), "D", "DONE's key")
    mark = len(EVENTS)
    done.queryAction().doAction(0)
    verdict = wait_for(lambda: focused_name(mark, pyatspi.ROLE_LABEL), "the verdict to take the focus", 15)
    final = 300 - 5 - 2 - 1 - placements
    highest = 300 - PUZZLE.count(".")
    performance = (highest // 2 + 100 * final) // highest
    expect(verdict, "Correct: OK  OK  OK  OK  OK. Final score %d, performance %d%%." % (final, performance),
           "the verdict")
    if SPOKEN == "announcements":
        wait_for(lambda: said(mark, verdict, ASSERTIVE), "the verdict announced over whatever is being said")
    shown = [c.name for c in children(view) if c.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_PUSH_BUTTON)]
    for name in ("Final score: %d" % final, "Performance: %d%%" % performance, "HOME", "AGAIN"):
        if name not in shown:
            fail("after DONE the screen lacks %r" % name)
    if "DONE" in shown:
        fail("DONE is still listed after the verdict")
    note("verdict heard: " + verdict)

    # --- HOME by its key: the instructions again, focused ------------------------------------
    mark = len(EVENTS)
    keys("h")
    home = wait_for(lambda: focused_name(mark, pyatspi.ROLE_LABEL), "the instruction page after HOME")
    if not home.startswith("Page 1 of "):
        fail("after HOME the focus reads %r" % home[:40])
    expect([c.getRole() for c in children(view)], [pyatspi.ROLE_LABEL], "the play screen after HOME")
    note("HOME: the instruction page has the focus again")
    if SPOKEN == "announcements" and notifications():
        fail("a notification showed where an announcement says it: %r" % notifications()[0][2])


if __name__ == "__main__":
    main()
    print("OK", flush=True)
