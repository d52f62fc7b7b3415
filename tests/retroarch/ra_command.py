#!/usr/bin/env python3
"""Sends commands to RetroArch's UDP command interface on 127.0.0.1.

Usage: ra_command.py PORT COMMAND...      each COMMAND sent as it stands
       ra_command.py PORT --type TEXT     moves over the on-screen keyboard and types TEXT,
                                          then presses the keyboard's Enter key
"""
import socket
import sys
import time

# The on-screen keyboard's lower-case page, 11 keys a row, as RetroArch 1.14 lays it out;
# a fresh RetroArch opens its dialogs on this page. "\0" marks keys that type nothing.
OSK_COLUMNS = 11
OSK_LOWER = (
    "1234567890" + "\0"
    + "qwertyuiop" + "\0"
    + "asdfghjkl@" + "\0"
    + "zxcvbnm -." + "\0"
)
OSK_ENTER = 2 * OSK_COLUMNS - 1  # the key at the end of the second row hands the line on

# A command seen in one frame is one press; the gap leaves frames for the release between
# two presses of the same button, so each counts.
PRESS_GAP_S = 0.12


def _walk(start: int, target: int) -> list[str]:
    row, col = divmod(target, OSK_COLUMNS)
    at_row, at_col = divmod(start, OSK_COLUMNS)
    moves = ["MENU_DOWN" if row > at_row else "MENU_UP"] * abs(row - at_row)
    moves += ["MENU_RIGHT" if col > at_col else "MENU_LEFT"] * abs(col - at_col)
    return moves


def osk_moves(text: str) -> list[str]:
    """The button presses that type text, starting from wherever the cursor stands."""
    rows = len(OSK_LOWER) // OSK_COLUMNS
    # Up and left stop at the edges, so this many of them reach the first key from anywhere.
    moves = ["MENU_UP"] * (rows - 1) + ["MENU_LEFT"] * (OSK_COLUMNS - 1)
    at = 0
    for char in text:
        target = OSK_LOWER.find(char)
        if char == "\0" or target < 0:
            raise ValueError(f"{char!r} is not on the lower-case page")
        moves += _walk(at, target)
        moves.append("MENU_A")
        at = target
    moves += _walk(at, OSK_ENTER) + ["MENU_A"]
    return moves


def send(port: int, commands: list[str]) -> None:
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sock:
        for command in commands:
            sock.sendto(command.encode("ascii"), ("127.0.0.1", port))
            time.sleep(PRESS_GAP_S)


def main() -> int:
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    port = int(sys.argv[1])
    if sys.argv[2] == "--type":
        if len(sys.argv) != 4:
            print(__doc__.strip(), file=sys.stderr)
            return 2
        try:
            commands = osk_moves(sys.argv[3])
        except ValueError as error:
            print(f"ra_command.py: {error}", file=sys.stderr)
            return 2
    else:
        commands = sys.argv[2:]
    send(port, commands)
    return 0


if __name__ == "__main__":
    sys.exit(main())
