#!/usr/bin/env python3
"""Fails when a source file includes a header of a folder that its layer may
not use, or a Qt module that its layer may not link.

The rules are the README's Layout table: each top folder of ours may use
the folders listed for it, and itself. Test, benchmark and tool folders are
left out: they may reach into any layer. Usage: check_layers.py SOURCE_ROOT
"""
import pathlib
import re
import sys

OURS = ["platform", "text", "regex", "net", "store", "crawler", "about", "session", "app"]
LOWER = ["platform", "text", "regex", "net", "store"]
MAY_USE = {
    "platform": [],
    "text": ["platform"],
    "regex": ["platform"],
    "net": ["platform"],
    "store": ["platform"],
    "crawler": LOWER,
    "about": ["platform"],
    "session": LOWER + ["crawler"],
    "app": OURS,
}
# Qt modules beyond Core; only the window and the About window show widgets.
WIDGET_LAYERS = {"about", "app"}
WIDGET_MODULE = re.compile(r"^Qt(Widgets|Gui)/|^Q(Widget|Application|GuiApplication|Dialog|MessageBox|"
                           r"PlainTextEdit|LineEdit|PushButton|Label|Layout|Menu|Action|Painter|Window)\b")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def faults(root):
    for folder in OURS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in {".h", ".cpp"}:
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                bracket, header = match.groups()
                where = f"{path.relative_to(root)}:{number}: {header}"
                top = header.split("/", 1)[0]
                if bracket == '"' and top in OURS and top != folder and top not in MAY_USE[folder]:
                    yield f"{where}: {folder}/ may not use {top}/"
                if bracket == "<" and folder not in WIDGET_LAYERS and WIDGET_MODULE.match(header):
                    yield f"{where}: {folder}/ may not use Qt's widgets"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    found = list(faults(root))
    for fault in found:
        print(fault)
    print(f"{len(found)} includes break the layers" if found else "every include keeps to its layer")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
