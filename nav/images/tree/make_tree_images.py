#!/usr/bin/env python3
"""Draws the state images of the contents tree: state01.svg to state13.svg,
24 x 16 pixels each, into this folder (or the folder given as argument).

 1 law or heading, collapsed    2 law or heading, expanded
 3 one page of a split article  4 appended table (別表)
 5 page                         6 notice of 昭和 (S)
 7 notice of 平成, other years (H)
 8-13 notice of 平成19, 20, 21, 23, 25 and 26 (the year in the badge)
"""
import os
import sys

out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
os.makedirs(out, exist_ok=True)

HEAD = '<svg xmlns="http://www.w3.org/2000/svg" width="24" height="16" viewBox="0 0 24 16" shape-rendering="crispEdges">\n'
TAIL = '</svg>\n'

def rect(x, y, w, h, fill, stroke=None):
    s = f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="{fill}"'
    if stroke:
        s += f' stroke="{stroke}" stroke-width="1"'
    return s + '/>\n'

def page(x0=5, lines=True, fill="#ffffff", edge="#5a6270"):
    # A sheet with a folded corner, 12 x 15, left edge at x0.
    x1 = x0 + 12
    s = f'<path d="M{x0+.5} .5 H{x1-3.5} L{x1-.5} 3.5 V15.5 H{x0+.5} Z" fill="{fill}" stroke="{edge}" stroke-width="1"/>\n'
    s += f'<path d="M{x1-3.5} .5 V3.5 H{x1-.5}" fill="#dfe3ea" stroke="{edge}" stroke-width="1"/>\n'
    if lines:
        for y in (5, 7, 9, 11, 13):
            s += rect(x0 + 2, y, 8, 1, "#8a93a3")
    return s

def folder_closed():
    s = '<path d="M3.5 3.5 H9.5 L11.5 5.5 H20.5 V14.5 H3.5 Z" fill="#e8b84a" stroke="#8a6414" stroke-width="1"/>\n'
    s += rect(4, 6, 16, 1, "#f6d98a")
    return s

def folder_open():
    s = '<path d="M3.5 3.5 H9.5 L11.5 5.5 H18.5 V7.5" fill="#d9a43a" stroke="#8a6414" stroke-width="1"/>\n'
    s += '<path d="M3.5 14.5 V3.5" fill="none" stroke="#8a6414" stroke-width="1"/>\n'
    s += '<path d="M3.5 14.5 L6.5 7.5 H22.5 L19.5 14.5 Z" fill="#f6d98a" stroke="#8a6414" stroke-width="1"/>\n'
    return s

def split_page():
    # Two sheets one behind the other, the front one cut along a dashed line.
    s = '<path d="M8.5 .5 H18.5 V12.5 H8.5 Z" fill="#eef1f6" stroke="#7a8494" stroke-width="1"/>\n'
    s += '<path d="M5.5 3.5 H15.5 V15.5 H5.5 Z" fill="#ffffff" stroke="#5a6270" stroke-width="1"/>\n'
    for y in (6, 8):
        s += rect(7, y, 7, 1, "#8a93a3")
    for x in (5, 8, 11, 14):
        s += rect(x, 10, 2, 1, "#d04a2a")
    s += rect(7, 12, 7, 1, "#8a93a3")
    return s

def table_page():
    s = page(lines=False)
    s += '<path d="M7.5 4.5 H14.5 V13.5 H7.5 Z" fill="#e9f2e4" stroke="#3f7a32" stroke-width="1"/>\n'
    for y in (7, 10):
        s += rect(8, y, 6, 1, "#3f7a32")
    s += rect(11, 5, 1, 8, "#3f7a32")
    return s

# 3 x 5 pixel glyphs.
GLYPHS = {
    '0': ["111", "101", "101", "101", "111"],
    '1': ["010", "110", "010", "010", "111"],
    '2': ["111", "001", "111", "100", "111"],
    '3': ["111", "001", "111", "001", "111"],
    '5': ["111", "100", "111", "001", "111"],
    '6': ["111", "100", "111", "101", "111"],
    '9': ["111", "101", "111", "001", "111"],
    'S': ["011", "100", "010", "001", "110"],
    'H': ["101", "101", "111", "101", "101"],
}

def glyphs(text, x, y, colour):
    s = ''
    for i, ch in enumerate(text):
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == '1':
                    s += rect(x + i * 4 + col, y + row, 1, 1, colour)
    return s

def notice(tag, colour):
    # A notice sheet with a seal, and a badge with the era or the year.
    s = page(x0=1, lines=False)
    for y in (4, 6, 8):
        s += rect(3, y, 6, 1, "#8a93a3")
    s += '<circle cx="7" cy="11.5" r="2.5" fill="none" stroke="#c8322a" stroke-width="1" shape-rendering="auto"/>\n'
    bx = 13
    right = bx + 4 * len(tag) + 2
    s += f'<path d="M{bx+.5} 4.5 H{right+.5} V12.5 H{bx+.5} Z" fill="{colour}" stroke="#333b47" stroke-width="1"/>\n'
    s += glyphs(tag, bx + 2, 6, "#ffffff")
    return s

images = {
    1: folder_closed(),
    2: folder_open(),
    3: split_page(),
    4: table_page(),
    5: page(),
    6: notice('S', "#8b5a2b"),   # era letter C
    7: notice('H', "#5d6b7c"),   # era letter D, other years
    8: notice('19', "#2f66b3"),
    9: notice('20', "#2e8b57"),
    10: notice('21', "#c0731c"),
    11: notice('23', "#7a3fa8"),
    12: notice('25', "#17838c"),
    13: notice('26', "#b8343a"),
}
for n, body in images.items():
    with open(os.path.join(out, f"state{n:02d}.svg"), "w") as f:
        f.write(HEAD + body + TAIL)
