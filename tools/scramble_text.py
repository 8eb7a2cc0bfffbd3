#!/usr/bin/env python3
"""Scrambles (or, with -d, unscrambles) the About window's stored texts, in the
program's own reversible scheme (src/about/product_texts.h): each printable
ASCII character at position i moves 17 + 5 * i places forward in the 95
printable characters, wrapping round.  Prints a C++ string literal.

    python3 tools/scramble_text.py "orvel@velbrook.example"
    python3 tools/scramble_text.py -d "<scrambled text>"
"""
import sys

FIRST, COUNT, BASE, STEP = 0x20, 95, 17, 5


def scramble(text, sign=1):
    out = []
    for i, ch in enumerate(text):
        code = ord(ch)
        if not FIRST <= code < FIRST + COUNT:
            raise SystemExit('only printable ASCII can be stored: %r' % ch)
        out.append(chr(FIRST + (code - FIRST + sign * (BASE + STEP * i)) % COUNT))
    return ''.join(out)


def literal(text):
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"').replace('?', '\\?') + '"'


def main(argv):
    if argv[:1] == ['-d']:
        print(scramble(argv[1], -1))
    else:
        for text in argv:
            print(literal(scramble(text)))


if __name__ == '__main__':
    main(sys.argv[1:])
