#!/usr/bin/env python3
"""Checks the 32-bit programs as built files, since no 32-bit program runs on
the build machines: each is PE32 for i386 and statically linked, imports only
from DLLs that Windows 7 ships and only functions that the 64-bit build (which
the tests run) imports too, or their 32-bit names; and the delay-load
descriptors of both builds name the same functions.

Usage: check-i686.py X86_64_BIN_DIR I686_BIN_DIR"""
import os
import re
import subprocess
import sys

from pe_image import MACHINE_I386, PE32, PeImage

PROGRAMS = ("Pellaro.exe", "setup.exe")
OBJDUMP = {"x86_64": "x86_64-w64-mingw32-objdump", "i686": "i686-w64-mingw32-objdump"}
# System DLLs of Windows 7 that the programs may import. A MinGW runtime DLL
# (libstdc++-6.dll, libgcc_s_dw2-1.dll, libwinpthread-1.dll) would mean a
# program that is not statically linked.
WINDOWS7_DLLS = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
                 "msvcrt.dll", "ole32.dll", "shell32.dll", "user32.dll"}
# The 32-bit name of a function under its 64-bit one: the window-long
# functions, which 32-bit headers define as macros, and what the 32-bit MinGW
# C runtime's start-up imports from msvcrt.dll instead.
SAME_AS = {
    "GetWindowLongA": "GetWindowLongPtrA", "SetWindowLongA": "SetWindowLongPtrA",
    "__mb_cur_max": "___mb_cur_max_func", "__p__acmdln": "_acmdln", "__p__commode": "_commode",
    "__p__fmode": "_fmode", "_iob": "__iob_func", "_setjmp3": "_setjmp",
    "atoi": "___lc_codepage_func", "setlocale": "___lc_codepage_func",
}


def imports(arch, path):
    """{dll in lower case: set of function names} from objdump's import tables;
    None when objdump cannot read the file as a program of that machine."""
    run = subprocess.run([OBJDUMP[arch], "-p", path], capture_output=True, text=True,
                         errors="replace")
    if run.returncode != 0:
        return None
    found, dll = {}, None
    for line in run.stdout.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            found.setdefault(dll, set())
            continue
        entry = re.match(r"\t[0-9a-f]+\t +[0-9]+ +(\S+)", line)
        if entry and dll:
            found[dll].add(entry.group(1))
    return found


def problems(bins):
    images = {(arch, name): PeImage(open(os.path.join(bins[arch], name), "rb").read())
              for arch in bins for name in PROGRAMS}
    tables = {(arch, name): imports(arch, os.path.join(bins[arch], name))
              for arch in bins for name in PROGRAMS}
    unread = [f"{arch}/{name}" for (arch, name), table in tables.items() if table is None]
    if unread:
        yield f"objdump cannot read {', '.join(unread)}"
        return
    reference = {}
    for name in PROGRAMS:
        for dll, functions in tables["x86_64", name].items():
            reference.setdefault(dll, set()).update(functions)

    for name in PROGRAMS:
        image = images["i686", name]
        if not image.valid or image.magic != PE32 or image.machine != MACHINE_I386:
            yield f"i686/{name}: not a PE32 program for i386"
        for arch in bins:
            for dll in sorted(set(tables[arch, name]) | set(images[arch, name].delay_imports())):
                if dll not in WINDOWS7_DLLS:
                    yield f"{arch}/{name}: imports {dll}, not a system DLL of Windows 7"
        for dll, functions in sorted(tables["i686", name].items()):
            for function in sorted(functions):
                if SAME_AS.get(function, function) not in reference.get(dll, ()):
                    yield f"i686/{name}: imports {function} from {dll}, which the x86_64 build does not"
        delayed = {arch: images[arch, name].delay_imports() for arch in bins}
        if delayed["i686"] != delayed["x86_64"]:
            yield f"{name}: delay-loaded i686 {delayed['i686']}, x86_64 {delayed['x86_64']}"


def main():
    bins = {"x86_64": sys.argv[1], "i686": sys.argv[2]}
    found = list(problems(bins))
    for problem in found:
        print(f"check-i686: {problem}", file=sys.stderr)
    if not found:
        print("check-i686: the i686 programs are PE32 for i386, statically linked, and import "
              "from Windows 7's DLLs only what the x86_64 build imports")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
