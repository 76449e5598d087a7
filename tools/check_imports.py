"""Checks that the programs import only known DLLs, which Windows takes from
System32 whatever lies in the program folder, and that they set the DLL
search to System32 for every later load. Prints every import outside them."""

import re
import subprocess
import sys

# HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs of Windows
# 10 and 11, and ntdll, which every process has before it runs.
KNOWN = {
    "advapi32", "clbcatq", "combase", "comdlg32", "coml2", "difxapi", "gdi32", "gdiplus", "imagehlp", "imm32",
    "kernel32", "msctf", "msvcrt", "normaliz", "nsi", "ntdll", "ole32", "oleaut32", "psapi", "rpcrt4", "sechost",
    "setupapi", "shcore", "shell32", "shlwapi", "user32", "wldap32", "ws2_32",
}
# Not a known DLL, but when the embedded manifest asks for version 6 of the
# common controls the side-by-side activation takes it from the system's
# WinSxS store before any folder is searched (a .local redirection needs an
# administrator's registry switch). Without that manifest it would be looked
# for in the program folder like any other.
SIDE_BY_SIDE = {"comctl32": b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'}


def imports(exe):
    """The DLLs and their functions in the exe's import table."""
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], capture_output=True, text=True, check=True)
    table = {}
    current = None
    for line in dump.stdout.splitlines():
        name = re.match(r"\s*DLL Name: (\S+)", line)
        if name:
            current = table.setdefault(name.group(1).lower().removesuffix(".dll"), set())
            continue
        function = re.match(r"\s*[0-9a-f]+\s+\d+\s+(\w+)\s*$", line)
        if current is not None and function:
            current.add(function.group(1))
        elif not line.strip():
            current = None
    return table


def main(exes):
    wrong = []
    for exe in exes:
        table = imports(exe)
        if "kernel32" not in table:
            wrong.append(f"{exe}: no import table read")
            continue
        with open(exe, "rb") as f:
            embedded = f.read()
        allowed = KNOWN | {dll for dll, manifest in SIDE_BY_SIDE.items() if manifest in embedded}
        for dll in sorted(set(table) - allowed):
            wrong.append(f"{exe} imports {dll}.dll, which Windows looks for in the program folder first")
        if "SetDefaultDllDirectories" not in table["kernel32"]:
            wrong.append(f"{exe} never calls SetDefaultDllDirectories")
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
