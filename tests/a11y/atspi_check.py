#!/usr/bin/python3
"""Drives Tamso through the accessibility bus the way a screen reader or an automation
tool would: on a private session bus and a private X server, it opens a Java file,
reads the editor's text and caret, the class browser's tree and the document tabs,
checks that every shown control has a name, compiles the file (it has an error), reads the
error line from the output window, double-clicks it at the character extents the bus
reports, and checks that the editor's caret went to that line.

Exit codes: 0 passed, 1 failed, 77 skipped (no bus or X server can be had here).
With TAMSO_A11Y_REQUIRED=1 a skip counts as a failure.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
TIMEOUT = float(os.environ.get("TAMSO_A11Y_TIMEOUT", "60"))
POLL = 0.05
INNER = "TAMSO_A11Y_PRIVATE_BUS"

SOURCE = (
    "public class Hello {\n"
    "    public static void main(String[] args) {\n"
    "        int x = 1\n"
    "        System.out.println(x);\n"
    "    }\n"
    "}\n"
)
ERROR_LINE = 3  # 1-based line of the missing ';'


def skip(reason):
    if os.environ.get("TAMSO_A11Y_REQUIRED") == "1":
        print("FAIL (a skip is not allowed here): " + reason)
        sys.exit(1)
    print("SKIP: " + reason)
    sys.exit(SKIP)


def fail(reason):
    print("FAIL: " + reason)
    sys.exit(1)


def wait_for(what, probe, timeout=TIMEOUT, detail=None):
    """Polls probe() until it returns something true; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            value = probe()
        except Exception as e:  # the tree changes while it is walked
            value = None
            last = e
        if value:
            return value
        if time.monotonic() > deadline:
            extra = detail() if detail else ""
            if last is not None:
                extra += " (last error: %s)" % last
            fail("timed out waiting for " + what + extra)
        time.sleep(POLL)


def check_tools():
    missing = [t for t in ("Xvfb", "xdotool", "dbus-run-session") if not shutil.which(t)]
    if missing:
        skip("missing programs: " + ", ".join(missing) + " (packages xvfb, xdotool, dbus)")
    launchers = ("/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher")
    if not any(os.path.exists(p) for p in launchers):
        skip("no AT-SPI bus launcher (package at-spi2-core)")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip("python3-pyatspi is not installed")


def start_xvfb():
    r, w = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
        pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(w)
    number = b""
    with os.fdopen(r, "rb") as f:  # Xvfb writes the display number once it is ready
        while not number.endswith(b"\n"):
            chunk = f.read(1)
            if not chunk:
                break
            number += chunk
    if not number.strip():
        xvfb.kill()
        skip("Xvfb could not start")
    return xvfb, ":" + number.decode().strip()


def find(root, want, limit=5000):
    """Breadth-first search of the accessible tree for a node for which want() holds."""
    queue = [root]
    seen = 0
    while queue and seen < limit:
        node = queue.pop(0)
        seen += 1
        if node is None:
            continue
        if want(node):
            return node
        for i in range(node.childCount):
            queue.append(node.getChildAtIndex(i))
    return None


def named(name):
    return lambda n: n.name == name


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)
    if not os.access(args.program, os.X_OK):
        fail("no program at " + args.program)
    check_tools()
    if os.environ.get(INNER) != "1":
        # Everything below runs on a private session bus that ends with us.
        env = dict(os.environ, **{INNER: "1"})
        try:
            rc = subprocess.call(["dbus-run-session", "--", sys.executable, __file__,
                                  "--program", args.program], env=env)
        except OSError as e:
            skip("dbus-run-session failed: %s" % e)
        if rc == 127 or rc < 0:
            skip("no private session bus could be started")
        sys.exit(rc)
    run(args.program)


def run(program):
    import pyatspi

    # Readers switch accessibility on through the bus; do as they do.
    subprocess.call(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                     "/org/a11y/bus", "org.freedesktop.DBus.Properties.Set",
                     "string:org.a11y.Status", "string:IsEnabled", "variant:boolean:true"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    xvfb, display = start_xvfb()
    work = tempfile.mkdtemp(prefix="tamso-a11y-")
    app_proc = None
    try:
        source = os.path.join(work, "Hello.java")
        with open(source, "w") as f:
            f.write(SOURCE)
        env = dict(os.environ)
        env.update({
            "DISPLAY": display,
            "QT_QPA_PLATFORM": "xcb",
            "QT_ACCESSIBILITY": "1",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "HOME": work,
            "XDG_CONFIG_HOME": os.path.join(work, "config"),
            "XDG_RUNTIME_DIR": work,
            "XDG_STATE_HOME": os.path.join(work, "state"),
            "XDG_CACHE_HOME": os.path.join(work, "cache"),
        })
        env.pop("TAMSO_PROFILE", None)
        # No start-up tips: a modal dialog would take the keys this check sends.
        with open(os.path.join(work, "tamso.INI"), "w") as f:
            f.write("[WhatsCool]\nStartUp=1\n")
        app_proc = subprocess.Popen(
            [program, "--profile", os.path.join(work, "tamso.INI"), source],
            cwd=work, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            if app_proc.poll() is not None:
                fail("the program exited with %d" % app_proc.returncode)
            for i in range(desktop.childCount):
                a = desktop.getChildAtIndex(i)
                if a is not None and a.name == "Tamso":
                    return a
            return None

        app = wait_for("the program on the accessibility bus", application)
        editor = wait_for("the source editor", lambda: find(app, named("Source editor")))
        text = editor.queryText()
        got = wait_for("the editor's text", lambda: text.getText(0, -1) or None)
        if got.rstrip(" \n") != SOURCE.rstrip("\n"):
            fail("editor text %r, expected %r" % (got, SOURCE))
        if text.caretOffset != 0:
            fail("caret at %d after opening, expected 0" % text.caretOffset)
        print("editor text and caret read: %d characters, caret %d"
              % (text.characterCount, text.caretOffset))

        # The class browser beside the editor: its tree and the outline's nodes.
        browser = wait_for("the class browser", lambda: find(app, named("Class browser")))
        wait_for("the class browser's file and class nodes",
                 lambda: find(browser, named("Hello.java")) and find(browser, named("Hello")))
        print("class browser read: role %s, file and class nodes" % browser.getRoleName())

        # The status bar's message pane and the find box are standard widgets: still readable.
        status = wait_for("the status bar", lambda: find(
            app, lambda n: n.getRole() == pyatspi.ROLE_STATUS_BAR))
        # (It is hidden until the user shows it; its message is its name, its panes labels.)
        print("status bar read: message %r, %d panes" % (status.name, status.childCount))
        find_box = wait_for("the find box", lambda: find(
            app, lambda n: n.getRole() == pyatspi.ROLE_COMBO_BOX))
        if find_box.name != "Find":
            fail("the find box is named %r" % find_box.name)
        print("find box read: role %s, name %r" % (find_box.getRoleName(), find_box.name))

        # The document tabs: a reader lists them by their titles.
        tabs = wait_for("the document tabs", lambda: find(
            app, lambda n: n.getRole() == pyatspi.ROLE_PAGE_TAB_LIST))
        pages = [tabs.getChildAtIndex(i) for i in range(tabs.childCount)]
        titles = [p.name for p in pages if p.getRole() == pyatspi.ROLE_PAGE_TAB]
        if "Hello.java" not in titles:
            fail("the document tabs read %r, expected Hello.java among them" % titles)
        print("document tabs read: %r" % titles)

        # Every control a reader announces says what it is: no shown button, box, field,
        # list, tree or pane of ours without a name.
        announced = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
                     pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT,
                     pyatspi.ROLE_ENTRY, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE,
                     pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_PAGE_TAB,
                     pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER, pyatspi.ROLE_FRAME}

        def nameless():
            found = []
            queue = [app]
            while queue:
                node = queue.pop(0)
                if node is None or not node.getState().contains(pyatspi.STATE_SHOWING):
                    continue
                if node.getRole() in announced and not (node.name or "").strip():
                    parent = node.parent
                    found.append("%s in %s %r" % (node.getRoleName(), parent.getRoleName(),
                                                  parent.name))
                if node.getRole() not in (pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE,
                                          pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST):
                    queue.extend(node.getChildAtIndex(i) for i in range(node.childCount))
            return found

        unnamed = nameless()
        if unnamed:
            fail("controls without a name: " + "; ".join(unnamed))
        print("every shown control has a name")

        # Compile through the toolbar button, as a reader's user would press it.
        names = []

        def compile_button(n):
            if n.getRole() == pyatspi.ROLE_PUSH_BUTTON:
                names.append(n.name)
                return "compile" in (n.name or "").lower() or "compile" in (n.description or "").lower()
            return False

        def button_probe():
            del names[:]
            return find(app, compile_button)

        button = wait_for("the compile button", button_probe,
                          detail=lambda: "; push buttons seen: %r" % names)
        action = button.queryAction()
        action.doAction(0)

        output = wait_for("the output window", lambda: find(
            app, lambda n: n.name == "Output" and n.getRole() == pyatspi.ROLE_TEXT))
        out_text = output.queryText()

        def error_line():
            whole = out_text.getText(0, -1)
            offset = 0
            for line in whole.split("\n"):
                if "Hello.java:%d:" % ERROR_LINE in line and "error" in line:
                    return offset, line
                offset += len(line) + 1
            return None

        offset, line = wait_for("the error line in the output window", error_line)
        print("output window line read: %r" % line)
        # The compile's last line, then a view that has stopped scrolling to the end: the
        # extents are read from where the line is drawn now, not where it was a moment ago.
        wait_for("the end of the compile in the output window",
                 lambda: "Done." in out_text.getText(0, -1))
        seen = []

        def steady_extents():
            seen.append(tuple(out_text.getCharacterExtents(offset + 1, pyatspi.DESKTOP_COORDS)))
            return seen[-1] if len(seen) >= 3 and seen[-1] == seen[-2] == seen[-3] else None

        x, y, w, h = wait_for("steady extents of the error line", steady_extents,
                              detail=lambda: "; extents seen: %r" % seen[-5:])
        if w <= 0 or h <= 0:
            fail("empty extents %r for the error line" % ((x, y, w, h),))
        px, py = x + w // 2, y + h // 2
        subprocess.check_call(["xdotool", "mousemove", str(px), str(py), "click",
                               "--repeat", "2", "--delay", "40", "1"], env=env)

        # javac's caret line points after "= 1", where the ';' is missing: the jump goes there.
        want = sum(len(l) + 1 for l in SOURCE.split("\n")[:ERROR_LINE - 1]) + \
            len(SOURCE.split("\n")[ERROR_LINE - 1])
        wait_for("the editor's caret at line %d, after its text (offset %d)" % (ERROR_LINE, want),
                 lambda: editor.queryText().caretOffset == want)
        print("double click at (%d, %d) moved the editor's caret to line %d" % (px, py, ERROR_LINE))
        print("PASS")
    finally:
        if app_proc is not None and app_proc.poll() is None:
            app_proc.terminate()
            try:
                app_proc.wait(10)
            except subprocess.TimeoutExpired:
                app_proc.kill()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
