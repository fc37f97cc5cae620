#!/usr/bin/env python3
"""Checks that an HTML page is sound enough for any browser: it declares its
encoding and decodes in it, starts with a doctype, closes every element it
opens in order, each link within the page has its target, and each picture
has its text and its file beside the page."""
import os
import re
import sys
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}


class Checker(HTMLParser):
    def __init__(self):
        super().__init__()
        self.open, self.problems, self.ids, self.links, self.images = [], [], set(), [], []
        self.doctype = False

    def handle_decl(self, decl):
        self.doctype = self.doctype or decl.lower() == "doctype html"

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.ids.add(attrs.get("id"))
        if tag == "a" and (attrs.get("href") or "").startswith("#"):
            self.links.append((self.getpos()[0], attrs["href"][1:]))
        if tag == "img":
            self.images.append((self.getpos()[0], attrs.get("src") or "", attrs.get("alt")))
        if tag not in VOID:
            self.open.append((tag, self.getpos()[0]))

    def handle_endtag(self, tag):
        if not self.open or self.open[-1][0] != tag:
            top, line = self.open[-1] if self.open else ("nothing", 0)
            self.problems.append(
                f"line {self.getpos()[0]}: </{tag}> while <{top}> of line {line} is open")
        else:
            self.open.pop()


def check(path):
    raw = open(path, "rb").read()
    declared = re.search(rb'<meta\s+charset="([^"]+)"', raw[:1024], re.I)
    if not declared:
        return ["no <meta charset> in the first 1024 bytes"]
    try:
        text = raw.decode(declared.group(1).decode("ascii"))
    except (LookupError, UnicodeDecodeError) as error:
        return [f"does not decode as declared: {error}"]
    checker = Checker()
    checker.feed(text)
    checker.close()
    return (checker.problems + ([] if checker.doctype else ["no <!DOCTYPE html>"])
            + [f"<{tag}> of line {line} is never closed" for tag, line in checker.open]
            + [f"line {line}: link to #{target}, which is not in the page"
               for line, target in checker.links if target not in checker.ids]
            + [f"line {line}: picture {src} without alt text" for line, src, alt in checker.images
               if not alt]
            + [f"line {line}: picture {src} is not beside the page"
               for line, src, _ in checker.images
               if not os.path.isfile(os.path.join(os.path.dirname(path), src))])


def main():
    problems = [(path, problem) for path in sys.argv[1:] for problem in check(path)]
    for path, problem in problems:
        print(f"{path}: {problem}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
