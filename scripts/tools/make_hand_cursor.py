#!/usr/bin/env python3
"""Writes the link cursor (a pointing hand) as a 32x32 monochrome .cur file."""
import struct
import sys

# '#' black outline, '.' white fill, ' ' transparent. Hot spot: the fingertip.
ART = """
      ##
     #..#
     #..#
     #..#
     #..#
     #..###
     #..#..###
     #..#..#..##
  ## #..#..#..#.#
 #..##........#..#
 #...#...........#
  #..............#
   #.............#
   #.............#
    #...........#
    #...........#
     #.........#
     #.........#
     ###########
"""
rows = [line.ljust(32)[:32] for line in ART.strip("\n").split("\n")]
rows += [" " * 32] * (32 - len(rows))
HOTSPOT = (7, 0)

xor = bytearray()
and_mask = bytearray()
for row in reversed(rows):  # bottom-up
    xbits = abits = 0
    for x, ch in enumerate(row):
        bit = 1 << (31 - x)
        if ch == " ":
            abits |= bit  # transparent
        elif ch == ".":
            xbits |= bit  # white
    xor += struct.pack(">I", xbits)
    and_mask += struct.pack(">I", abits)

header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor) + len(and_mask), 0, 0, 2, 0)
palette = struct.pack("<II", 0x000000, 0xFFFFFF)
image = header + palette + bytes(xor) + bytes(and_mask)
directory = struct.pack("<HHH", 0, 2, 1)
entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, HOTSPOT[0], HOTSPOT[1], len(image), 22)
with open(sys.argv[1], "wb") as f:
    f.write(directory + entry + image)
