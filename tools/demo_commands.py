"""What a line typed in the demo run names among what the screen offers now:
an item of the tray menus, an item of a window's menu bar, a button or a tab
of a window, by its caption, or a text box by its label (LABEL=text); and
how the terminal tells what is on the screen."""

import unicodedata
from dataclasses import dataclass

from tray_menus import MAIN_CLASS

TRAY = "トレイ"
# The main window is the panel that shows while a line is up; its title, the
# program's name, would read as the program itself coming and going.
PANEL = "パネル"
ALIASES = {"yes": "はい", "no": "いいえ"}
DIALOG_CLASS = "#32770"
# A box's message is told with its buttons; a window with more texts than
# this, or with a text box, is a form, whose labels would only crowd the
# terminal.
MAX_TOLD_TEXTS = 3


def fold(text):
    """Half-width and full-width forms, case and surrounding blanks folded
    together, so that バージョン情報 finds ﾊﾞｰｼﾞｮﾝ情報 and ｏｋ finds OK."""
    return unicodedata.normalize("NFKC", text).strip().casefold()


def caption_key(caption):
    """A caption as it is typed: without the "..." of an item that opens a
    window or the 「。」 that ends a check box's sentence, so that 保存 finds
    保存... and SysLogを記録する finds SysLogを記録する。"""
    return fold(caption).rstrip(".。").strip()


@dataclass(frozen=True)
class Item:
    caption: str
    usable: bool
    # ("command", id) on the tray, ("post", window, id) in a menu bar, ("click", button),
    # ("tab", tab control, index), ("field", text box), ("list", drop-down list)
    how: tuple
    menu: str = ""  # the menu of the bar it is in
    kind: str = "menu"  # "menu", "button", "checkbox", "tab" or "field"
    default: bool = False
    checked: bool = False  # a check box that is on, the tab that is open
    value: str = ""  # a text box's text


@dataclass(frozen=True)
class Place:
    """The tray menus, or one window of the program."""
    name: str
    items: tuple = ()
    texts: tuple = ()
    handle: str = ""  # the window's; empty for the tray
    box: bool = False


@dataclass(frozen=True)
class ListItems:
    pass


@dataclass(frozen=True)
class SetText:
    label: str  # folded
    text: str  # as typed


@dataclass(frozen=True)
class Chosen:
    place: Place
    item: Item
    also: tuple  # names of the other places that offer the caption
    alike: int  # how many usable items of the place carry the caption
    nth: int = 1  # which of them


@dataclass(frozen=True)
class Greyed:
    caption: str
    places: tuple


@dataclass(frozen=True)
class Unknown:
    suggestions: tuple


@dataclass(frozen=True)
class NoPlace:
    name: str
    places: tuple


def parse_shown(output):
    """The places of `wintool shown`'s answer, front window first."""
    places = []
    for line in output.splitlines():
        cols = [unescape(c) for c in line.split("\t")]
        if cols[0] == "window" and len(cols) >= 5:
            places.append(dict(name=PANEL if cols[2] == MAIN_CLASS else cols[3], items=[], texts=[], handle=cols[1],
                               box=cols[2] == DIALOG_CLASS, enabled=cols[4] == "1"))
        elif not places:
            continue
        elif cols[0] == "text" and len(cols) >= 2:
            places[-1]["texts"].append(cols[1])
        elif cols[0] == "field" and len(cols) >= 5:
            state = cols[2].split(",")
            places[-1]["items"].append(Item(cols[4], places[-1]["enabled"] and "enabled" in state,
                                            ("list" if "list" in state else "field", cols[1]), kind="field",
                                            value=cols[3]))
        elif cols[0] == "tab" and len(cols) >= 5:
            places[-1]["items"].append(Item(cols[4], places[-1]["enabled"], ("tab", cols[1], int(cols[2])),
                                            kind="tab", checked="selected" in cols[3].split(",")))
        elif cols[0] == "button" and len(cols) >= 4 and cols[3]:
            state = cols[2].split(",")
            kind = "checkbox" if "checkbox" in state or "radio" in state else "button"
            places[-1]["items"].append(Item(cols[3], places[-1]["enabled"] and "enabled" in state, ("click", cols[1]),
                                            kind=kind, default="default" in state, checked="checked" in state))
        elif cols[0] == "menu" and len(cols) >= 5 and cols[3]:
            state = cols[2].split(",")
            if "separator" in state or "submenu" in state:
                continue
            # The key after a tab ("再読み込み\tF5") is not part of the caption.
            caption = cols[3].split("\t")[0].strip()
            places[-1]["items"].append(Item(caption, places[-1]["enabled"] and "enabled" in state,
                                            ("post", places[-1]["handle"], int(cols[1])), menu=cols[4]))
    return [Place(p["name"], tuple(p["items"]), tuple(p["texts"]), p["handle"], p["box"]) for p in places]


ESCAPES = {"\\": "\\", "t": "\t", "r": "\r", "n": "\n"}


def unescape(field):
    """A field of wintool's tables with its escapes undone."""
    out, chars = [], iter(field)
    for c in chars:
        out.append(ESCAPES.get(next(chars, ""), "") if c == "\\" else c)
    return "".join(out)


def tray_place(menus):
    """menus: the items of each tray menu, each (caption, state, command id)."""
    items, seen = [], set()
    for caption, state, command in (item for menu in menus for item in menu):
        if caption and command not in seen and "submenu" not in state:
            seen.add(command)
            items.append(Item(caption, state.startswith("enabled"), ("command", command)))
    return Place(TRAY, tuple(items))


def parse(line):
    """None for a blank line, ListItems for ?, SetText for LABEL=text, else
    the folded text."""
    text = fold(line)
    if not text:
        return None
    if text == "?":
        return ListItems()
    if "=" in line:
        label, typed = line.split("=", 1)
        return SetText(fold(label), typed.strip())
    return ALIASES.get(text, text)


def resolve(text, places, fields=False):
    """What the folded text names among the places (front first, the tray
    last): the first place, from the front, that offers it usable wins, as a
    click would go to the window on top. "NAME:caption" names the place;
    "caption#N" the N-th usable item of that caption there. fields: look
    for a text box by its label (or the start of it) instead."""
    found = _matches(text, places, fields)
    if not found and ":" in text:
        name, caption = (part.strip() for part in text.split(":", 1))
        name = fold(TRAY) if name == "tray" else name
        named = [p for p in places if name and name in fold(p.name)]
        if not named:
            return NoPlace(name, tuple(p.name for p in places))
        found = _matches(caption, named[:1], fields)
        text = caption
    usable = [(place, items) for place, items in found if any(item.usable for item in items)]
    if usable:
        place, items = usable[0]
        items = [item for item in items if item.usable]
        item = next((item for item in items if item.default), items[0])
        if "#" in text and text.rsplit("#", 1)[1].isdigit():
            nth = int(text.rsplit("#", 1)[1])
            if not 1 <= nth <= len(items):
                return Unknown(tuple(f"{items[0].caption}#{n}" for n in range(1, len(items) + 1)))
            item = items[nth - 1]
        return Chosen(place, item, tuple(p.name for p, _ in usable[1:] if p.name != place.name), len(items),
                      items.index(item) + 1)
    if found:
        return Greyed(found[0][1][0].caption, tuple(p.name for p, _ in found))
    captions = list(dict.fromkeys(i.caption for p in places for i in p.items if i.usable and _kind_fits(i, fields)))
    near = [c for c in captions if caption_key(text) in caption_key(c) or caption_key(c) in caption_key(text)]
    return Unknown(tuple(near or captions))


def _kind_fits(item, fields):
    return (item.kind == "field") == fields


def _matches(text, places, fields):
    key = caption_key(text)
    if "#" in key and key.rsplit("#", 1)[1].isdigit():
        key = key.rsplit("#", 1)[0].strip()
    found = []
    for place in places:
        items = [item for item in place.items if _kind_fits(item, fields) and caption_key(item.caption) == key]
        if fields and not items and key:
            items = [item for item in place.items if _kind_fits(item, fields)
                     and caption_key(item.caption).startswith(key)]
        if items:
            found.append((place, items))
    return found


def where(place, item):
    """Where the item is, as the user sees it."""
    if place.name == TRAY:
        return "the tray menu"
    if item.menu:
        return f"[{place.name}] menu {item.menu}"
    return f"[{place.name}]"


def describe(place):
    """One line for a window that has opened: its message, if it is a box,
    and what can be typed in it."""
    parts = [f"[{place.name}]"]
    form = any(item.kind == "field" for item in place.items)
    if place.box and not form and 0 < len(place.texts) <= MAX_TOLD_TEXTS:
        parts.append(" ".join(" ".join(t.split()) for t in place.texts))
    buttons = list(dict.fromkeys(i.caption for i in place.items if i.kind == "button" and i.usable))
    menu = list(dict.fromkeys(i.caption for i in place.items if i.kind == "menu" and i.usable))
    tabs = [i.caption for i in place.items if i.kind == "tab"]
    if buttons:
        parts.append(f"({' / '.join(buttons)}: type one to press it)")
    if tabs:
        parts.append(f"(pages: {', '.join(tabs)})")
    if form:
        parts.append("(LABEL=text fills a text box; ? lists them)")
    if menu:
        parts.append(f"(menu: {', '.join(menu)})")
    if len(parts) == 1:
        parts.append("shown." if place.name == PANEL else "opened.")
    return "  ".join(parts)


def describe_gone(place):
    """One line for a window that has gone."""
    return f"[{place.name}] " + ("hidden." if place.name == PANEL else "closed.")


def listing(places):
    """The lines of ?: every place with everything it offers now; an item
    whose caption the place shows more than once is numbered (設定#2)."""
    lines = []
    for place in places:
        lines.append(f"  {place.name}:" if place.name == TRAY else f"  [{place.name}]:")
        seen = {}
        for item in place.items:
            key = (item.kind == "field", caption_key(item.caption))
            seen[key] = seen.get(key, 0) + 1
        numbers = {}
        for item in place.items:
            key = (item.kind == "field", caption_key(item.caption))
            numbers[key] = numbers.get(key, 0) + (1 if item.usable else 0)
            numbered = item.usable and (seen[key] > 1 or not item.caption)
            name = item.caption + (f"#{numbers[key]}" if numbered else "")
            if item.kind == "field":
                line = f"{name} = '{item.value}'" + ("  (one of a list)" if item.how[0] == "list" else "")
            elif item.kind == "tab":
                line = f"page {name}" + ("  (open)" if item.checked else "")
            else:
                line = (f"{item.menu} > " if item.menu else "") + name
                if item.kind == "checkbox":
                    line += " [x]" if item.checked else " [ ]"
            lines.append(f"    {line}" + ("" if item.usable else "  (使えません)"))
    return lines
