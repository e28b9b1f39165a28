#!/usr/bin/env python3
"""Writes list_images.svg: the 40 pictures of the navigation lists, 24 by 16
pixels each, side by side in one strip of 960 by 16 (image n at x = 24 n).

    python3 nav/images/make_list_images.py      (from the source root)

The strip is a build input; run this again after changing a picture and keep
both files together. Nothing but the standard library is needed.

Index  picture
  0    bookmark ribbon (overlay 1)
  1    closed folder
  2    open folder
  3    star (overlay 4)
  4    table
  5    page
  6    split page
  7    article, supplementary provisions, notice of no known era
  8    notice of the Showa era
  9    notice of a Heisei year without a picture of its own
 10    notice of Heisei 12; 11 its split first page
 12/13 Heisei 13    14/15 Heisei 14
 16    later page of a split article
 17    last page of a split article
 18    appended table; 19 split appended table
 20/21 Heisei 15    22/23 Heisei 16    24/25 Heisei 17    26/27 Heisei 18
 28/29 Heisei 19    30/31 Heisei 20    32/33 Heisei 21    34/35 Heisei 23
 36/37 Heisei 25    38/39 Heisei 26
"""

import os

W, H, COUNT = 24, 16, 40

INK = "#44505c"
PAPER = "#ffffff"
SHADE = "#dfe6ee"
BLUE = "#3a6fb0"
SHOWA = "#a0612a"
HEISEI = "#2f7d45"
OTHER = "#7a7f86"
TABLE = "#1f7f8c"
RED = "#c8322d"
GOLD = "#e8a317"
FOLDER = "#e9bd4c"
FOLDER_EDGE = "#a8801c"

# Heisei years with a picture of their own, by image index.
YEARS = {10: 12, 12: 13, 14: 14, 20: 15, 22: 16, 24: 17, 26: 18,
         28: 19, 30: 20, 32: 21, 34: 23, 36: 25, 38: 26}

# Segments of a digit: a top, b upper right, c lower right, d bottom,
# e lower left, f upper left, g middle.
SEGMENTS = {0: "abcdef", 1: "bc", 2: "abdeg", 3: "abcdg", 4: "bcfg",
            5: "acdfg", 6: "acdefg", 7: "abc", 8: "abcdefg", 9: "abcdfg"}


def rect(x, y, w, h, fill):
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" fill="{fill}"/>'


def page(x, y, w=10, h=14, fill=PAPER, edge=INK, fold=3):
    """A sheet with a folded upper right corner; x, y is its top left pixel."""
    l, t, r, b = x + 0.5, y + 0.5, x + w - 0.5, y + h - 0.5
    outline = (f'<path d="M{l} {t} H{r - fold} L{r} {t + fold} V{b} H{l} Z" '
               f'fill="{fill}" stroke="{edge}" stroke-width="1" stroke-linejoin="miter"/>')
    corner = (f'<path d="M{r - fold} {t} V{t + fold} H{r}" fill="none" '
              f'stroke="{edge}" stroke-width="1"/>')
    return outline + corner


def lines(x, y, count, colour, width=6, step=2):
    return "".join(rect(x, y + i * step, width - (2 if i == count - 1 else 0), 1, colour)
                   for i in range(count))


def digit(x, y, n, colour):
    """A seven-segment digit of 4 by 7 pixels."""
    parts = {"a": (x, y, 4, 1), "b": (x + 3, y, 1, 4), "c": (x + 3, y + 3, 1, 4),
             "d": (x, y + 6, 4, 1), "e": (x, y + 3, 1, 4), "f": (x, y, 1, 4),
             "g": (x, y + 3, 4, 1)}
    return "".join(rect(*parts[s], colour) for s in SEGMENTS[n])


def grid(x, y, colour):
    out = rect(x, y, 7, 1, colour) + rect(x, y + 3, 7, 1, colour) + rect(x, y + 6, 7, 1, colour)
    out += rect(x, y, 1, 7, colour) + rect(x + 3, y, 1, 7, colour) + rect(x + 6, y, 1, 7, colour)
    return out


def stacked(front):
    """A second sheet behind the picture: the first page of a split article."""
    return page(2, 0, h=13, fill=SHADE) + front


def article():
    return page(1, 1) + lines(3, 6, 4, BLUE)


def notice(colour, right=""):
    sheet = page(1, 1) + rect(2, 2, 6, 3, colour) + lines(3, 7, 3, colour, width=5)
    return sheet + right


def notice_split(colour, right=""):
    sheet = page(0, 2, h=14) + rect(1, 3, 6, 3, colour) + lines(2, 8, 3, colour, width=5)
    return page(2, 0, h=13, fill=SHADE) + sheet + right


def year(n, colour=HEISEI):
    return digit(14, 5, n // 10, colour) + digit(19, 5, n % 10, colour)


def dashes(colour):
    return rect(14, 8, 4, 1, colour) + rect(19, 8, 4, 1, colour)


def connector(last):
    """The branch a later page hangs on: ├ for a middle page, └ for the last."""
    out = rect(3, 0, 1, 9 if last else 16, INK) + rect(3, 8, 5, 1, INK)
    return out


def later_page(last):
    out = connector(last) + page(9, 1) + lines(11, 6, 4, BLUE)
    if last:
        out += rect(9, 15, 10, 1, RED)  # the end of the article
    else:
        out += rect(13, 15, 2, 1, INK) + rect(16, 15, 2, 1, INK)  # it goes on
    return out


def folder(open_):
    body = (f'<path d="M1.5 3.5 H7.5 L9.5 5.5 H18.5 V14.5 H1.5 Z" fill="{FOLDER}" '
            f'stroke="{FOLDER_EDGE}" stroke-width="1"/>')
    if open_:
        body += (f'<path d="M1.5 14.5 L4.5 8.5 H21.5 L18.5 14.5 Z" fill="#f6d77c" '
                 f'stroke="{FOLDER_EDGE}" stroke-width="1"/>')
    return body


def ribbon():
    return f'<path d="M1 8 H6 V15 L3.5 12.5 L1 15 Z" fill="{RED}"/>'


def star():
    points = "9.5,0 10.7,2.6 13.5,2.9 11.4,4.8 12,7.5 9.5,6.1 7,7.5 7.6,4.8 5.5,2.9 8.3,2.6"
    return f'<polygon points="{points}" fill="{GOLD}" stroke="#9a6a00" stroke-width="0.5"/>'


def table(colour):
    return page(1, 1) + grid(3, 6, colour)


def picture(index):
    if index == 0:
        return ribbon()
    if index in (1, 2):
        return folder(index == 2)
    if index == 3:
        return star()
    if index == 4:
        return table(INK)
    if index == 5:
        return page(1, 1) + lines(3, 6, 4, OTHER)
    if index == 6:
        return stacked(page(0, 2, h=14) + lines(2, 7, 4, OTHER))
    if index == 7:
        return article()
    if index == 8:
        return notice(SHOWA)
    if index == 9:
        return notice(HEISEI, dashes(HEISEI))
    if index in (16, 17):
        return later_page(index == 17)
    if index == 18:
        return table(TABLE)
    if index == 19:
        return stacked(page(0, 2, h=14) + grid(2, 7, TABLE))
    if index in YEARS:
        return notice(HEISEI, year(YEARS[index]))
    if index - 1 in YEARS:
        return notice_split(HEISEI, year(YEARS[index - 1]))
    raise ValueError(f"no picture for image {index}")


def strip():
    cells = [f'<g transform="translate({W * i} 0)">{picture(i)}</g>' for i in range(COUNT)]
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{W * COUNT}" height="{H}" '
            f'viewBox="0 0 {W * COUNT} {H}" shape-rendering="crispEdges">\n'
            + "\n".join(cells) + "\n</svg>\n")


if __name__ == "__main__":
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "list_images.svg")
    with open(target, "w", encoding="utf-8") as out:
        out.write(strip())
