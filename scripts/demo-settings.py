#!/usr/bin/env python3
"""Points COM1 of the demo program at the simulator's pseudo-terminal.

Usage: demo-settings.py SETTINGS_INI DEVICE

Edits only the value COM1 of section [Ports] in the program's settings file
and keeps every other line as it is (window placements live there too).
"""
import os
import sys


def main() -> int:
    path, device = sys.argv[1], sys.argv[2]
    lines = []
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    out, in_ports, done = [], False, False
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("["):
            if in_ports and not done:
                out.append(f"COM1={device}")
                done = True
            in_ports = stripped == "[Ports]"
        elif in_ports and stripped.split("=", 1)[0].strip() == "COM1":
            if not done:
                out.append(f"COM1={device}")
                done = True
            continue
        out.append(line)
    if not done:
        if not in_ports:
            out.append("[Ports]")
        out.append(f"COM1={device}")
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")
    os.replace(tmp, path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
