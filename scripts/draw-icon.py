#!/usr/bin/env python3
"""Draws Ferrowyn's icon, a sheet of written paper struck through by a red cross, in 16 colours at 32 x 32 and
16 x 16 pixels. Run it from the project's root; it rewrites, from the one drawing:
  resources/ferrowyn-32.xpm, ferrowyn-16.xpm   the window's icon and the button's picture
  resources/ferrowyn-32.png, ferrowyn-16.png   the icon theme's images on Linux
  resources/ferrowyn.ico                       the executable's icon on Windows, both sizes, 4 bits a pixel"""

import struct
import zlib

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


# The order of the palette in the PNG and ICO images: the classic 16 colours.
ORDER = '.mgonptsdrlybfaw'


def rgb(colour):
    value = PALETTE[colour]
    return bytes(int(value[i:i + 2], 16) for i in (1, 3, 5))


def png(grid):
    """An indexed-colour PNG; index 16 is the transparent one."""
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    size = len(grid)
    palette = b''.join(rgb(c) for c in ORDER) + b'\0\0\0'
    transparency = b'\xff' * 16 + b'\0'
    rows = b''.join(b'\0' + bytes(16 if c == ' ' else ORDER.index(c) for c in row) for row in grid)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 3, 0, 0, 0)) +
            chunk(b'PLTE', palette) + chunk(b'tRNS', transparency) +
            chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


def ico(grids):
    """A Windows icon file with one 4-bit image per grid: colours, then the mask of transparent pixels."""
    images = []
    for grid in grids:
        size = len(grid)
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
        palette = b''.join(rgb(c)[::-1] + b'\0' for c in ORDER)
        colours, mask = b'', b''
        for row in reversed(grid):  # bottom-up
            indices = [0 if c == ' ' else ORDER.index(c) for c in row]
            colours += bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
            bits = ''.join('1' if c == ' ' else '0' for c in row)
            line = int(bits, 2).to_bytes(size // 8, 'big')
            mask += line + b'\0' * (-len(line) % 4)
        images.append((size, header + palette + colours + mask))
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b'', b''
    for size, image in images:
        entries += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset + len(data))
        data += image
    return directory + entries + data


if __name__ == '__main__':
    grids = {size: draw(size) for size in (32, 16)}
    for size, grid in grids.items():
        with open(f'resources/ferrowyn-{size}.xpm', 'w') as out:
            out.write(xpm(f'ferrowyn_{size}', grid))
        with open(f'resources/ferrowyn-{size}.png', 'wb') as out:
            out.write(png(grid))
    with open('resources/ferrowyn.ico', 'wb') as out:
        out.write(ico([grids[32], grids[16]]))
