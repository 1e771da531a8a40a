#!/usr/bin/python3
"""Reads the program's windows over AT-SPI, as a screen reader does.

    a11y_walk.py SHELFWARDEN CATALOGUE BOOKS_CSV

Run by a11y_walk.sh, inside an X server and a session bus of the test's own. It opens the main
window and every window a reader of the catalogue reaches (the book dialog, the searches, the
statistics, the ISBN window, lending, the loans, the backups, the import and the options), and
expects of each:

- every control that takes the focus is named, by its label or by the text beside it (a
  drop-down by its label: its own name is only the item it shows);
- the book list's cells read "Titlu: Ion", and a row reads "Titlu: Ion, Autor: ...", the texts
  those of the books imported;
- a new message in the status bar is told to the reader;
- the program lives through the list being sorted, filtered and listed anew while it is read,
  cells read before each change asked about again after it.
"""

import csv
import os
import re
import signal
import subprocess
import sys
import threading
import time
import traceback

import pyatspi
from gi.repository import GLib

# Generous: only a failure waits this long, and a sanitized build is slow.
TIMEOUT = 30.0
FRAME_TITLE = "Shelfwarden - "


class Failure(Exception):
    pass


class Program:
    """The program under a screen reader's eyes: its process and its accessible application."""

    def __init__(self, binary, catalogue):
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        self.process = subprocess.Popen([binary, catalogue], env=env)
        self.app = wait_for(self, "the program on the accessibility bus", self._find_app)

    def _find_app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def check_alive(self):
        status = self.process.poll()
        if status is not None:
            raise Failure(f"the program ended with status {status} "
                          f"({signal_name(status)}) while it was read")

    def windows(self):
        """The windows on screen; a window closed may stay, hidden, for its next showing."""
        return [w for w in self.app
                if w is not None and w.getState().contains(pyatspi.STATE_SHOWING)]

    def window(self, title, role=None):
        def find():
            for w in self.windows():
                if w.name.startswith(title) and (role is None or w.getRole() == role):
                    return w
            return None
        return wait_for(self, f'the window "{title}"', find)

    def no_dialog(self, what, timeout=TIMEOUT):
        wait_for(self, what, lambda: all(w.getRole() != pyatspi.ROLE_DIALOG
                                         for w in self.windows()), timeout)


def signal_name(status):
    if status < 0:
        try:
            return signal.Signals(-status).name
        except ValueError:
            pass
    return "exit"


def wait_for(program, what, test, timeout=TIMEOUT):
    end = time.monotonic() + timeout
    while True:
        status = program.process.poll()
        if status is not None:
            raise Failure(f"the program ended with status {status} ({signal_name(status)}) "
                          f"while waiting for {what}")
        try:
            found = test()
        except GLib.Error:
            found = None
        if found:
            return found
        if time.monotonic() > end:
            raise Failure(f"waited {timeout:.0f} s in vain for {what}")
        pump_events(0.05)


# ---- Events, as a screen reader hears them ----------------------------------------------------

heard = []


def on_event(event):
    try:
        role = event.source.getRole()
        name = event.source.name
    except GLib.Error:
        return
    heard.append((event.type, role, name, event.detail1))


def pump_events(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.01)


def heard_name_change(role, name):
    return any(kind.startswith("object:property-change:accessible-name") and r == role and
               n == name for kind, r, n, _ in heard)


# ---- Driving the program as a person would --------------------------------------------------

def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False, timeout=TIMEOUT)


def keys(*names):
    if names:
        xdotool("key", "--delay", "30", *names)


def type_text(text):
    xdotool("type", "--delay", "20", text)


def focus_window(title):
    # Without a window manager a window is given the keyboard only when it asks for it, as a
    # modal dialog does.
    xdotool("search", "--onlyvisible", "--name", "^" + re.escape(title), "windowfocus", "--sync")


def focus_main_window():
    focus_window(FRAME_TITLE)


pressing = []


def press_menu(program, menu, item):
    """Chooses a menu command through AT-SPI. A dialog it opens is modal and answers the press
    only when it closes, so another process presses and waits for it."""
    pressing.append(subprocess.Popen(
        [sys.executable, os.path.abspath(__file__), "--press", str(program.process.pid), menu,
         item]))


def press_in_child(pid, menu, item):
    app = next(a for a in pyatspi.Registry.getDesktop(0)
               if a is not None and a.get_process_id() == pid)
    frame = next(w for w in app if w.getRole() == pyatspi.ROLE_FRAME)
    bar = next(c for c in frame if c.getRole() == pyatspi.ROLE_MENU_BAR)
    top = next(c for c in bar if c.name.replace("&", "") == menu)
    entry = find(top, lambda a: a.getRole() == pyatspi.ROLE_MENU_ITEM and
                 a.name.split("\t")[0] == item)
    if entry is None:
        sys.exit(f'no menu item "{menu} > {item}"')
    try:
        entry.queryAction().doAction(0)
    except GLib.Error:
        pass  # the reply waits for the dialog; its end is all that is seen here


def find(acc, test):
    if test(acc):
        return acc
    for child in acc:
        if child is not None:
            found = find(child, test)
            if found is not None:
                return found
    return None


# ---- Names ------------------------------------------------------------------------------------

def label_names(acc):
    names = []
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                names.append(relation.getTarget(i).name.strip())
    return [n for n in names if n]


def spoken_name(acc):
    """What a screen reader says a control is: its label, else its own name. A drop-down's own
    name is the item it shows, which says nothing of what it is for."""
    labels = label_names(acc)
    if labels:
        return labels[0]
    if acc.getRole() == pyatspi.ROLE_COMBO_BOX:
        return ""
    return acc.name.strip()


# The parts of a control that a screen reader reads with the control itself.
PARTS_OF_A_CONTROL = {pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON}
# Lists are read row by row below, not control by control.
LISTS = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST}


def unnamed_controls(window):
    unnamed = []

    def walk(acc, path):
        if acc is None:
            return
        role = acc.getRole()
        here = f"{path} > {acc.getRoleName()}" + (f' "{acc.name}"' if acc.name else "")
        if acc.getState().contains(pyatspi.STATE_FOCUSABLE) and not spoken_name(acc):
            unnamed.append(here)
        if role in LISTS or role == pyatspi.ROLE_MENU_BAR:
            return
        for child in acc:
            if child is None:
                continue
            # A drop-down's list pops up from it and is read by the drop-down's label; the text
            # field of an editable one takes the focus itself and must be named too.
            if role in PARTS_OF_A_CONTROL and child.getRole() in LISTS:
                continue
            walk(child, here)

    walk(window, f'"{window.name}"')
    return unnamed


def tables_of(window):
    found = []

    def walk(acc):
        if acc is None:
            return
        if acc.getRole() in LISTS and acc.getRole() != pyatspi.ROLE_LIST:
            found.append(acc)
            return
        for child in acc:
            walk(child)

    walk(window)
    return found


# ---- The walk -----------------------------------------------------------------------------------

class Walk:
    def __init__(self, program, books):
        self.program = program
        self.books = books  # title -> the CSV's row
        self.problems = []
        self.seen = []

    def expect(self, ok, problem):
        if not ok:
            self.problems.append(problem)

    def check_window(self, window, what):
        self.seen.append(what)
        for control in unnamed_controls(window):
            self.problems.append(f"{what}: a control without a name: {control}")

    def dialog(self, menu, item, title, what, close=("Escape",), inspect=None):
        press_menu(self.program, menu, item)
        window = self.program.window(title, pyatspi.ROLE_DIALOG)
        self.check_window(window, what)
        if inspect:
            inspect(window)
        self.close(window.name, close)

    def close(self, title, close_keys=("Escape",)):
        keys(*close_keys)
        try:
            self.program.no_dialog(f'the window "{title}" to close', timeout=5)
        except Failure:
            # The keys went elsewhere: the window is given the keyboard and told again.
            xdotool("search", "--onlyvisible", "--name", f"^{re.escape(title)}$", "windowfocus",
                    "--sync")
            keys(*close_keys)
            self.program.no_dialog(f'the window "{title}" to close')

    # The book list --------------------------------------------------------------------------

    def main_list(self):
        frame = self.program.window(FRAME_TITLE, pyatspi.ROLE_FRAME)
        return next(t for t in tables_of(frame))

    def headers(self, table):
        shape = table.queryTable()
        return [shape.getColumnHeader(c).name for c in range(shape.nColumns)]

    def read_row(self, table, row, headers):
        """The row as its cells read it, and as its description reads it whole."""
        shape = table.queryTable()
        cells = {}
        for column, header in enumerate(headers):
            cell = shape.getAccessibleAt(row, column)
            if cell is None:
                continue
            name = cell.name
            if not name.startswith(header + ": "):
                self.problems.append(f'the list: cell ({row}, {column}) reads "{name}", not '
                                     f'"{header}: ..."')
                continue
            cells[header] = name[len(header) + 2:]
        description = shape.getAccessibleAt(row, 1).description
        return cells, parse_row_reading(description, headers), description

    def check_rows(self, table, rows, why):
        headers = self.headers(table)
        for row in rows:
            cells, whole, description = self.read_row(table, row, headers)
            title = cells.get("Titlu")
            book = self.books.get(title)
            if book is None:
                self.problems.append(f"the list {why}: row {row} reads a title not imported: "
                                     f'"{title}"')
                continue
            for field in ("Titlu", "Autor", "Editura", "Pagini"):
                self.expect(cells.get(field) == book[field] and whole.get(field) == book[field],
                            f'the list {why}: row {row} reads {field} "{cells.get(field)}" in '
                            f'its cell and "{whole.get(field)}" in "{description}", '
                            f'not "{book[field]}"')
            for header, text in cells.items():
                self.expect(whole.get(header, "gol") == text,
                            f'the list {why}: row {row} reads {header} "{text}" in its cell and '
                            f'"{whole.get(header)}" in "{description}"')

    def focused_row(self, why):
        """Down and Up in the list: the cell given the focus is told, and reads its row."""
        del heard[:]
        focus_main_window()
        keys("ctrl+Home", "Down")
        event = wait_for(self.program, "the list's focus to be told", lambda: next(
            (e for e in reversed(heard) if e[0].startswith("object:state-changed:focused") and
             e[1] == pyatspi.ROLE_TABLE_CELL and e[3] == 1), None))
        self.expect(re.match(r"^ID: \d+$", event[2]),
                    f'the list {why}: the cell given the focus reads "{event[2]}"')

    # Status bar ----------------------------------------------------------------------------

    def status_bar(self):
        del heard[:]
        focus_main_window()
        keys("alt+f")
        wait_for(self.program, 'the status bar\'s "Create a new document" to be told',
                 lambda: heard_name_change(pyatspi.ROLE_STATUS_BAR, "Create a new document"))
        keys("Escape", "Escape")
        wait_for(self.program, 'the status bar\'s "Ready" to be told',
                 lambda: heard_name_change(pyatspi.ROLE_STATUS_BAR, "Ready"))

    def book_count(self):
        del heard[:]
        focus_main_window()
        keys("ctrl+f")
        type_text("austen")
        wait_for(self.program, 'the book count "... din ... de carti" to be told',
                 lambda: any(k.startswith("object:property-change:accessible-name") and
                             re.match(r"^\d+ din \d+ de carti$", n or "") for k, _, n, _ in heard))
        keys("Escape")

    # The list changed while it is read ------------------------------------------------------

    def churn(self, rounds):
        """Sorts, filters, empties and lists the books again from another thread while this one
        reads the list as a screen reader does: it keeps the cells it read and asks about them
        and about their rows and columns after each change, whether they are there or not."""
        table = self.main_list()
        shape = table.queryTable()
        total = shape.nRows
        width = shape.nColumns + 1
        spots = []
        for header in [c for c in table if c.getRole() == pyatspi.ROLE_TABLE_COLUMN_HEADER][1:5]:
            box = header.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            spots.append((box.x + box.width // 2, box.y + box.height // 2))
        loops = [0]
        done = threading.Event()

        def read_twice():
            # Each state of the list is read whole before the next change.
            seen = loops[0]
            end = time.monotonic() + TIMEOUT
            while loops[0] < seen + 2 and time.monotonic() < end and not done.is_set():
                time.sleep(0.01)

        def view(item):
            subprocess.run([sys.executable, os.path.abspath(__file__), "--press",
                            str(self.program.process.pid), "View", item],
                           timeout=TIMEOUT, check=False)

        def change_the_list():
            try:
                for r in range(rounds):
                    for x, y in spots:
                        xdotool("mousemove", str(x), str(y), "click", "1")
                        read_twice()
                    focus_main_window()
                    keys("ctrl+f")
                    type_text("the" if r % 2 == 0 else "jane")
                    read_twice()
                    keys("BackSpace")
                    read_twice()
                    keys("Escape")
                    view("Sterge lista")
                    read_twice()
                    view("Toate cartile")
                    read_twice()
            finally:
                done.set()

        def ask(question):
            try:
                return question()
            except (GLib.Error, NotImplementedError, AttributeError):
                return None  # a cell that went with its row is gone; the program must not be

        worker = threading.Thread(target=change_the_list)
        worker.start()
        held = []
        counts = set()
        first_titles = set()
        reads = 0
        try:
            while not done.is_set():
                self.program.check_alive()
                rows = ask(lambda: shape.nRows) or 0
                counts.add(rows)
                first_titles.add(ask(lambda: shape.getAccessibleAt(0, 1).name))
                for row in range(0, rows, max(1, rows // 6)):
                    for column in (0, 1, 2, 5):
                        cell = ask(lambda: shape.getAccessibleAt(row, column))
                        if cell is not None:
                            held.append((row, column, cell))
                            reads += 1
                for row, column, cell in held[-120:]:
                    ask(lambda: (cell.name, cell.description, cell.getState(),
                                 cell.getIndexInParent()))
                    ask(lambda: shape.isSelected(row, column))
                    ask(lambda: shape.getRowExtentAt(row, column))
                    ask(lambda: shape.getRowColumnExtentsAtIndex((row + 1) * width + column + 1))
                    ask(lambda: shape.getRowAtIndex((row + 1) * width + column + 1))
                for index in range(0, (total + 2) * width, 37):
                    ask(lambda: table.getChildAtIndex(index).name)
                del held[:-240]
                loops[0] += 1
                pump_events(0.01)
        finally:
            done.set()
            worker.join()
        self.program.check_alive()
        self.expect(0 in counts and total in counts and len(counts) > 2,
                    f"the list was not seen filtered and emptied: {sorted(counts)} rows")
        self.expect(len(first_titles - {None}) > 1,
                    f"the list was not seen sorted: its first title was always {first_titles}")
        return reads


def parse_row_reading(text, headers):
    """Splits "Titlu: Ion, Autor: Liviu Rebreanu" by the headers; a text may hold ", "."""
    known = "|".join(re.escape(h) for h in headers)
    parts = re.split(rf"(?:^|, )({known}): ", text)
    return {parts[i]: parts[i + 1] for i in range(1, len(parts) - 1, 2)}


def read_books(path):
    with open(path, newline="", encoding="utf-8") as f:
        return {row["Titlu"]: row for row in csv.DictReader(f)}


def main(binary, catalogue, books_csv):
    started = time.monotonic()
    for kind in ("object:state-changed:focused", "object:property-change:accessible-name"):
        pyatspi.Registry.registerEventListener(on_event, kind)
    program = Program(binary, catalogue)
    walk = Walk(program, read_books(books_csv))
    try:
        frame = program.window(FRAME_TITLE, pyatspi.ROLE_FRAME)
        table = wait_for(program, "the listed books",
                         lambda: next((t for t in tables_of(frame)
                                       if t.queryTable().nRows > 0), None))
        walk.check_window(frame, "the main window")
        rows = table.queryTable().nRows
        walk.check_rows(table, [0, rows // 2, rows - 1], "as opened")

        walk.focused_row("as opened")
        walk.status_bar()
        walk.book_count()

        reads = walk.churn(rounds=3)
        table = walk.main_list()
        wait_for(program, "the whole listing again", lambda: table.queryTable().nRows == rows)
        walk.check_rows(table, [0, rows // 2, rows - 1], "sorted, filtered and listed again")

        # The book dialog, both pages: the first row chosen, then Records > Modifica.
        table.queryTable().addRowSelection(0)

        def both_pages(window):
            keys("ctrl+Tab")
            wait_for(program, 'the page "Detalii"', lambda: find(
                window, lambda a: a.getRole() == pyatspi.ROLE_TEXT and a.name == "ISBN" and
                a.getState().contains(pyatspi.STATE_SHOWING)))
            walk.check_window(window, 'the book dialog\'s page "Detalii"')
        walk.dialog("Records", "Modifica", "Shelfwarden Book Info", "the book dialog",
                    inspect=both_pages)

        for item in ("Titlu", "Tip", "Pagini", "Cautare compusa"):
            walk.dialog("Search", item, "", f'the search "{item}"')
        for item, title in (("Generale", "Shelfwarden Statistics"), ("Autori", "Shelfwarden"),
                            ("Edituri", "Shelfwarden")):
            walk.dialog("Statistics", item, title, f'the statistics "{item}"')

        press_menu(program, "Records", "Adauga dupa ISBN...")
        walk.check_window(program.window("Adauga dupa ISBN"), "the ISBN window")
        # It stays beside the list, not over it, so it is not given the keyboard by itself.
        focus_window("Adauga dupa ISBN")
        walk.close("Adauga dupa ISBN")

        # A book lent, so that it can be returned and the loans window lists it.
        walk.dialog("Records", "Imprumuta...", "Imprumuta", "the lend dialog",
                    close=(), inspect=lambda w: (type_text("Ana Pop"), keys("Return")))
        walk.dialog("Records", "Returnata", "Returnata", "the return dialog")
        walk.dialog("Records", "Imprumuturi...", "Imprumuturi", "the loans window")
        walk.dialog("File", "Copii de siguranta...", "Copii de siguranta", "the backups window")
        walk.dialog("Settings", "Options", "Shelfwarden Options", "the Options sheet")
        walk.dialog("Records", "Tip", "Shelfwarden", "the types editor")
        walk.dialog("Help", "About Shelfwarden...", "About Shelfwarden", "the About box")

        press_menu(program, "File", "Import...")
        program.window("Shelfwarden", pyatspi.ROLE_DIALOG)
        type_text(books_csv)
        keys("Return")
        walk.check_window(program.window("Import", pyatspi.ROLE_DIALOG), "the import preview")
        walk.close("Import")

        program.check_alive()
        press_menu(program, "File", "Exit")
        status = program.process.wait(timeout=TIMEOUT)
        walk.expect(status == 0, f"the program ended with status {status} on File > Exit")
        print(f"read {len(walk.seen)} windows and {reads} cells while the list changed, "
              f"in {time.monotonic() - started:.1f} s")
    except Failure as failure:
        walk.problems.append(str(failure))
    except Exception:
        walk.problems.append(traceback.format_exc())
    finally:
        for helper in pressing:
            if helper.poll() is None:
                helper.kill()
        if program.process.poll() is None:
            program.process.kill()
            program.process.wait()
    for problem in walk.problems:
        print("FAIL:", problem)
    return 1 if walk.problems else 0


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "--press":
        press_in_child(int(sys.argv[2]), sys.argv[3], sys.argv[4])
        sys.exit(0)
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
