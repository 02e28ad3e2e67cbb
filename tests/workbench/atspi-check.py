#!/usr/bin/env python3
"""Reads the running probe's window over the accessibility bus: the string
editor's title and field, the context menu's "全部回寫" and the code
editor's text. Exit 0 when all are found, 1 (saying what is missing) else."""
import sys
import time

import pyatspi

APP = "vellumcraft-atspi-probe"


def walk(node, depth=0):
    """Every node below node, except the cells of tables (many, and not wanted)."""
    if node is None or depth > 40:
        return
    yield node
    role = node.getRole()
    if role in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST):
        return
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == APP:
            return app
    return None


def text_of(node):
    try:
        t = node.queryText()
    except NotImplementedError:
        return None
    return t.getText(0, -1)


def check():
    app = application()
    if app is None:
        return ["the probe is not on the accessibility bus"]
    nodes = list(walk(app))
    named = lambda name: [n for n in nodes if n.name == name]
    missing = []
    title = [n for n in named("修改字串") if n.getRole() == pyatspi.ROLE_LABEL]
    if not title:
        missing.append('title label "修改字串"')
    field = [n for n in named("修改為") if n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)
             and n.getState().contains(pyatspi.STATE_SHOWING)]
    if not field or not text_of(field[0]):
        missing.append('field "修改為" with the row\'s text')
    if not [n for n in nodes if n.getRole() == pyatspi.ROLE_MENU_ITEM and n.name.startswith("全部回寫")]:
        missing.append('menu item "全部回寫"')
    editor = named("程式碼編輯區")
    text = text_of(editor[0]) if editor else None
    if not text or "object " not in text:
        missing.append("the code editor's text")
    return missing


def main():
    deadline = time.monotonic() + float(sys.argv[1] if len(sys.argv) > 1 else 20)
    missing = ["nothing read yet"]
    while time.monotonic() < deadline:
        try:
            missing = check()
        except Exception as e:  # the tree changes while it is read
            missing = [repr(e)]
        if not missing:
            print("atspi-check: all found")
            return 0
        time.sleep(0.5)
    print("atspi-check: missing " + "; ".join(missing))
    return 1


if __name__ == "__main__":
    sys.exit(main())
