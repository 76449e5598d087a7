"""The program's menu commands as a window helper can send them: command ids
and the captions the menus show at start, read from the sources that define
them, so they never drift apart."""

import re
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def command_ids():
    """Item name (N1, Exit1, ...) -> WM_COMMAND id."""
    text = (ROOT / "src/core/monitor/menus.h").read_text(encoding="utf-8")
    body = re.search(r"enum class Item : int \{(.*?)\};", text, re.S).group(1)
    body = re.sub(r"//[^\n]*", "", body)
    names = [n.strip() for n in body.split(",") if n.strip()]
    first = int(re.search(r"FirstCommandId = (\d+)", (ROOT / "src/win32/command_ids.h").read_text()).group(1))
    return {name: first + i for i, name in enumerate(names) if name != "Count"}


def captions():
    """Caption at start -> item name, separators left out."""
    text = (ROOT / "src/core/monitor/menus.cpp").read_text(encoding="utf-8")
    return {caption: name for name, caption in re.findall(r'set\(Item::(\w+), "([^"]*)"', text) if caption != "-"}
