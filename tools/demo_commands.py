"""What a line typed in the demo run asks for: a menu item by its caption,
an answer to the box that is open, or the list of the menus' items."""

import unicodedata
from dataclasses import dataclass

BUTTONS = ("OK", "はい", "いいえ")
BUTTON_ALIASES = {"yes": "はい", "no": "いいえ"}


def fold(text):
    """Half-width and full-width forms, case and surrounding blanks folded
    together, so that バージョン情報 finds ﾊﾞｰｼﾞｮﾝ情報 and ｏｋ finds OK."""
    return unicodedata.normalize("NFKC", text).strip().casefold()


@dataclass(frozen=True)
class ListItems:
    pass


@dataclass(frozen=True)
class Answer:
    button: str


@dataclass(frozen=True)
class Command:
    name: str
    caption: str


@dataclass(frozen=True)
class Unknown:
    suggestions: tuple


def parse(line, menu, shown):
    """menu: (item name, caption) of every item of both menus; shown: the
    captions the menus show now. None for a blank line."""
    text = fold(line)
    if not text:
        return None
    if text == "?":
        return ListItems()
    for button in BUTTONS:
        if fold(button) == text:
            return Answer(button)
    if text in BUTTON_ALIASES:
        return Answer(BUTTON_ALIASES[text])
    for name, caption in menu:
        if caption != "-" and fold(caption) == text:
            return Command(name, caption)
    near = [caption for caption in shown if text in fold(caption) or fold(caption) in text]
    return Unknown(tuple(near or shown))
