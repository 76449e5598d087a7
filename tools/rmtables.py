"""The program's own menu and settings tables, as the rmtables tool of the
native build prints them (build/native/rmtables.json, or $RM_TABLES)."""

import json
import os
from functools import lru_cache
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


@lru_cache(maxsize=None)
def tables():
    path = Path(os.environ.get("RM_TABLES", ROOT / "build/native/rmtables.json"))
    return json.loads(path.read_text(encoding="utf-8"))
