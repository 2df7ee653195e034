#!/usr/bin/env python3
"""Draws Ferrowyn's icon, a sheet of written paper struck through by a red cross, as 16-colour XPM images of
32 x 32 and 16 x 16 pixels. Run it from the project's root to rewrite resources/ferrowyn-32.xpm and -16.xpm."""

# The 16-colour palette of the classic Windows icons; each image uses some of it.
PALETTE = {
    ' ': 'None', '.': '#000000', 'm': '#800000', 'g': '#008000', 'o': '#808000', 'n': '#000080',
    'p': '#800080', 't': '#008080', 's': '#C0C0C0', 'd': '#808080', 'r': '#FF0000', 'l': '#00FF00',
    'y': '#FFFF00', 'b': '#0000FF', 'f': '#FF00FF', 'a': '#00FFFF', 'w': '#FFFFFF',
}


def draw(size):
    scale = size / 32
    grid = [[' '] * size for _ in range(size)]

    def put(x, y, colour):
        if 0 <= x < size and 0 <= y < size:
            grid[y][x] = colour

    def s(v):
        return int(round(v * scale))

    left, top, right, bottom, fold = s(5), s(2), s(26), s(29), s(7)
    # The sheet, with its top right corner folded down.
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x - (right - fold) > y - top:
                continue
            edge = x in (left, right) or y in (top, bottom) or x - (right - fold) == y - top
            put(x, y, '.' if edge else 'w')
    for i in range(fold + 1):
        put(right - fold + i, top + fold, '.')
        put(right - fold, top + i, '.')
        for j in range(i):
            put(right - fold + j, top + i, 's')
    # Lines of writing.
    for y in range(top + s(6), bottom - s(2), max(2, s(3))):
        for x in range(left + s(3), right - s(3) + 1):
            put(x, y, 'n' if (x + y) % 5 else 'b')
    # The red cross, with a dark rim so it reads on any background.
    width = max(1, s(2))
    for i in range(s(4), size - s(4)):
        for w in range(-width, width + 1):
            for x, y in ((i + w, i), (size - 1 - i - w, i)):
                put(x, y, 'm' if abs(w) == width else 'r')
    return grid


def xpm(name, grid):
    used = sorted({c for row in grid for c in row})
    lines = [f'/* XPM */', f'static const char* {name}[] = {{',
             f'"{len(grid[0])} {len(grid)} {len(used)} 1",']
    lines += [f'"{c} c {PALETTE[c]}",' for c in used]
    lines += [f'"{"".join(row)}",' for row in grid]
    lines[-1] = lines[-1].rstrip(',')
    lines.append('};')
    return '\n'.join(lines) + '\n'


if __name__ == '__main__':
    for size in (32, 16):
        with open(f'resources/ferrowyn-{size}.xpm', 'w') as out:
            out.write(xpm(f'ferrowyn_{size}', draw(size)))
