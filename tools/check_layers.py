"""Checks that the core's folders are layered: a file includes only files of
its own layer or of layers below it. Prints every include that goes up."""

import re
import sys
from pathlib import Path

CORE = Path(__file__).resolve().parent.parent / "src/core"

# Bottom first. The coroutine steps know nothing of the program; the files
# at the core's root (ports.h, monitor.h, waits.h) sit right above them.
LAYERS = ["text", "receive", "state", "steps", ".", "lan: sending", "display", "router", "watch", "launcher", "syslog",
          "lan: receiving", "settings", "form", "timer", "app"]

# The copies on the LAN are one subject in two layers: connecting broadcasts
# and syslog/ filters its senders, so the protocol's texts, addresses,
# sending and the sender filter sit low; what arrives writes history and
# sits above syslog/. Files of lan/ not named here are receiving.
SENDING = {"peer_send", "sender_filter"}


def layer_of(relative):
    parts = Path(relative).parts
    if len(parts) == 1:
        return "."
    if parts[0] == "lan":
        return "lan: sending" if Path(parts[-1]).stem in SENDING else "lan: receiving"
    return parts[0]


def wrong_includes(core):
    """Every include of the core at core that goes up, and every file without a layer."""
    rank = {name: i for i, name in enumerate(LAYERS)}
    wrong = []
    for path in sorted(core.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".inc"):
            continue
        mine = layer_of(path.relative_to(core))
        if mine not in rank:
            wrong.append(f"{path.relative_to(core)}: folder {mine} has no layer")
            continue
        for included in re.findall(r'^#include "([^"]+)"', path.read_text(encoding="utf-8"), re.M):
            if not (core / included).exists():
                continue
            theirs = layer_of(included)
            if rank.get(theirs, len(LAYERS)) > rank[mine]:
                wrong.append(f"{path.relative_to(core)} includes {included}: {theirs} is above {mine}")
    return wrong


def main():
    wrong = wrong_includes(CORE)
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
