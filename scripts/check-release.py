#!/usr/bin/env python3
"""Checks a release zip: exactly the expected files, and each program built
for its folder's architecture (the machine field of its PE header)."""
import struct
import sys
import zipfile

MACHINES = {"x86_64": 0x8664, "i686": 0x14C}
EXPECTED = sorted(
    [f"{arch}/{name}" for arch in MACHINES for name in ("Pellaro.exe", "setup.exe", "HELP.HTML")]
    + ["README.txt"])


def pe_machine(data):
    if data[:2] != b"MZ":
        return None
    (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe_offset:pe_offset + 4] != b"PE\0\0":
        return None
    (machine,) = struct.unpack_from("<H", data, pe_offset + 4)
    return machine


def problems(path):
    with zipfile.ZipFile(path) as archive:
        names = sorted(archive.namelist())
        if names != EXPECTED:
            yield f"files {names}, expected {EXPECTED}"
            return
        for arch, machine in MACHINES.items():
            for program in ("Pellaro.exe", "setup.exe"):
                found = pe_machine(archive.read(f"{arch}/{program}"))
                if found != machine:
                    shown = "none" if found is None else f"{found:#x}"
                    yield f"{arch}/{program}: machine {shown}, expected {machine:#x}"
        readme = archive.read("README.txt")
        if not readme.startswith(b"\xef\xbb\xbf") or b"\n" in readme.replace(b"\r\n", b""):
            yield "README.txt is not UTF-8 with a byte-order mark and CR LF line ends"


def main():
    found = list(problems(sys.argv[1]))
    for problem in found:
        print(f"{sys.argv[1]}: {problem}", file=sys.stderr)
    if not found:
        print(f"{sys.argv[1]}: release package OK")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
