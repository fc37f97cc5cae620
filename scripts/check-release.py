#!/usr/bin/env python3
"""Checks a release zip: exactly the expected files (the help page with the
pictures it shows beside it), each program built for its folder's
architecture (the machine field of its PE header) and carrying its
application manifest (resource 24, id 1) with what it must declare."""
import re
import sys
import xml.etree.ElementTree as ElementTree
import zipfile

from pe_image import MACHINE_AMD64, MACHINE_I386, PeImage

MACHINES = {"x86_64": MACHINE_AMD64, "i686": MACHINE_I386}
FILES = ("Pellaro.exe", "setup.exe", "HELP.HTML")
RT_MANIFEST = 24
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
# Windows 7, 8, 8.1 and 10/11.
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}


def manifest_problems(text):
    """What the manifest fails to declare: common controls 6, the supported
    systems, no elevation, per-monitor DPI awareness with a system fallback."""
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        yield f"manifest is not XML: {error}"
        return
    controls = [identity for identity in root.iter(ASM_V1 + "assemblyIdentity")
                if identity.get("name") == "Microsoft.Windows.Common-Controls"
                and identity.get("version") == "6.0.0.0"]
    if not controls:
        yield "manifest asks for no Common Controls 6.0.0.0"
    systems = {os.get("Id") for os in root.iter(COMPATIBILITY + "supportedOS")}
    if systems != SUPPORTED_OS:
        yield f"manifest supports {sorted(systems)}, not Windows 7 to 11"
    levels = [level.get("level") for level in root.iter(ASM_V3 + "requestedExecutionLevel")]
    if levels != ["asInvoker"]:
        yield f"manifest asks for execution level {levels}, not asInvoker"
    aware = [element.text.strip() for element in root.iter(SETTINGS_2005 + "dpiAware")]
    awareness = [element.text.replace(" ", "").lower()
                 for element in root.iter(SETTINGS_2016 + "dpiAwareness")]
    if aware != ["true"] or awareness != ["permonitorv2,system"]:
        yield f"manifest declares DPI awareness {aware} {awareness}"


def problems(path):
    with zipfile.ZipFile(path) as archive:
        names = sorted(archive.namelist())
        expected = ["README.txt"]
        for arch in MACHINES:
            help_page = f"{arch}/HELP.HTML"
            pictures = set(re.findall(rb'<img [^>]*src="([^"]+)"', archive.read(help_page))
                           if help_page in names else [])
            expected += [f"{arch}/{name}" for name in FILES]
            expected += [f"{arch}/{picture.decode()}" for picture in pictures]
        if names != sorted(expected):
            yield f"files {names}, expected {sorted(expected)}"
            return
        for arch, machine in MACHINES.items():
            for program in ("Pellaro.exe", "setup.exe"):
                image = PeImage(archive.read(f"{arch}/{program}"))
                if not image.valid or image.machine != machine:
                    shown = f"{image.machine:#x}" if image.valid else "none"
                    yield f"{arch}/{program}: machine {shown}, expected {machine:#x}"
                    continue
                manifest = image.resource(RT_MANIFEST, 1)
                if manifest is None:
                    yield f"{arch}/{program}: no manifest (resource 24, id 1)"
                    continue
                for problem in manifest_problems(manifest):
                    yield f"{arch}/{program}: {problem}"
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
