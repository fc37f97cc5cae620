#!/usr/bin/env python3
"""Checks that an HTML page is sound enough for any browser: it decodes in the
encoding it declares, begins with a doctype, closes every element it opens in
order, and every link inside the page has its target."""
import re
import sys
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}


class Checker(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open = []
        self.problems = []
        self.ids = set()
        self.links = []
        self.charset = None
        self.doctype = False
        self.seen_tag = False

    def where(self):
        return f"line {self.getpos()[0]}"

    def handle_decl(self, decl):
        if not self.seen_tag and decl.lower() == "doctype html":
            self.doctype = True

    def handle_starttag(self, tag, attrs):
        self.seen_tag = True
        attrs = dict(attrs)
        if "id" in attrs:
            if attrs["id"] in self.ids:
                self.problems.append(f"{self.where()}: id {attrs['id']!r} twice")
            self.ids.add(attrs["id"])
        if tag == "a" and (attrs.get("href") or "").startswith("#"):
            self.links.append((self.where(), attrs["href"][1:]))
        if tag == "meta" and "charset" in attrs:
            self.charset = attrs["charset"]
        if tag not in VOID:
            self.open.append((tag, self.where()))

    def handle_startendtag(self, tag, attrs):
        if tag not in VOID:
            self.problems.append(f"{self.where()}: <{tag}/> is not a void element")
        else:
            self.handle_starttag(tag, attrs)
            return

    def handle_endtag(self, tag):
        if tag in VOID:
            self.problems.append(f"{self.where()}: end tag of void element {tag}")
        elif not self.open or self.open[-1][0] != tag:
            top = self.open[-1] if self.open else ("nothing", "")
            self.problems.append(f"{self.where()}: </{tag}> while <{top[0]}> of {top[1]} is open")
        else:
            self.open.pop()


def check(path):
    raw = open(path, "rb").read()
    head = raw[:1024].decode("ascii", "replace")
    declared = re.search(r'<meta\s+charset="([^"]+)"', head, re.I)
    if not declared:
        return ["no <meta charset> in the first 1024 bytes"]
    try:
        text = raw.decode(declared.group(1))
    except (LookupError, UnicodeDecodeError) as error:
        return [f"does not decode as {declared.group(1)}: {error}"]
    checker = Checker()
    checker.feed(text)
    checker.close()
    problems = checker.problems
    if not checker.doctype:
        problems.append("no <!DOCTYPE html> before the first element")
    for tag, where in checker.open:
        problems.append(f"<{tag}> of {where} is never closed")
    for where, target in checker.links:
        if target not in checker.ids:
            problems.append(f"{where}: link to #{target}, which is not in the page")
    return problems


def main():
    failed = False
    for path in sys.argv[1:]:
        for problem in check(path):
            print(f"{path}: {problem}", file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
