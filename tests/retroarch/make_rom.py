#!/usr/bin/env python3
"""Writes a 32 KiB Game Boy ROM of our own that jumps into an endless loop.

Usage: make_rom.py OUTPUT
"""
import sys

ROM_SIZE = 32 * 1024
ENTRY = 0x100
TITLE = 0x134
CART_TYPE = 0x147
ROM_SIZE_CODE = 0x148
RAM_SIZE_CODE = 0x149
HEADER_CHECKSUM = 0x14D
GLOBAL_CHECKSUM = 0x14E
CODE = 0x150


def build_rom() -> bytearray:
    rom = bytearray(ROM_SIZE)
    # nop; jp 0x0150 -- the usual entry, leaving the header bytes after it alone.
    rom[ENTRY:ENTRY + 4] = bytes([0x00, 0xC3, CODE & 0xFF, CODE >> 8])
    title = b"ZELV TEST"
    rom[TITLE:TITLE + len(title)] = title
    rom[CART_TYPE] = 0x00      # ROM only, no mapper
    rom[ROM_SIZE_CODE] = 0x00  # 32 KiB, two banks
    rom[RAM_SIZE_CODE] = 0x00
    # di; then jr -2 forever: the game does nothing, which is all netplay needs.
    rom[CODE:CODE + 3] = bytes([0xF3, 0x18, 0xFE])

    checksum = 0
    for byte in rom[TITLE:HEADER_CHECKSUM]:
        checksum = (checksum - byte - 1) & 0xFF
    rom[HEADER_CHECKSUM] = checksum

    total = sum(rom) & 0xFFFF  # the two checksum bytes are still zero here
    rom[GLOBAL_CHECKSUM] = total >> 8
    rom[GLOBAL_CHECKSUM + 1] = total & 0xFF
    return rom


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(sys.argv[1], "wb") as out:
        out.write(build_rom())
    return 0


if __name__ == "__main__":
    sys.exit(main())
