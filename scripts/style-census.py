#!/usr/bin/env python3
"""Counts, over the product's headers (not tests, fuzz, bench or tools),
what the code style forbids: methods declared in PascalCase, data members
with an F prefix, and events or callbacks that pass a sender.

    python3 scripts/style-census.py            # totals
    python3 scripts/style-census.py --list     # every hit, file:line
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SKIP = {"tests", "fuzz", "bench", "tools", "build", ".git", "packaging", "translations", "scripts", "cmake"}

# A declaration: some return type, then a name starting with a capital, then "(".
METHOD = re.compile(
    r"^\s*(?:(?:virtual|static|inline|constexpr|explicit|friend|\[\[nodiscard\]\])\s+)*"
    # A constructor has no return type: its class name follows the specifiers.
    r"(?!return\b|new\b|delete\b|throw\b|case\b|else\b|using\b|typedef\b|explicit\b|constexpr\b|virtual\b|static\b|inline\b)"
    r"(?:const\s+)?[A-Za-z_][\w:]*(?:<[^;(){}]*>)?(?:\s*[*&]+)?\s+[*&]?([A-Z]\w*)\s*\(")
F_MEMBER = re.compile(r"^\s*(?:mutable\s+|static\s+)?[\w:<>,\s\*&]+?[\s\*&]\b(F[A-Z]\w*)\s*(?:=|;|\{|\[)")
SENDER = re.compile(r"\bSender\b|\bsender\s*[,)]")
MACROS = re.compile(r"^\s*(Q_[A-Z_]+|M2BUS_[A-Z_]+)\s*\(")


def headers():
    for folder, dirs, files in os.walk(ROOT):
        rel = os.path.relpath(folder, ROOT)
        top = rel.split(os.sep)[0]
        if top in SKIP or rel.startswith("build"):
            dirs[:] = []
            continue
        for name in sorted(files):
            if name.endswith(".h"):
                yield os.path.join(folder, name)


def census():
    hits = {"PascalCase methods": [], "F-prefixed members": [], "sender parameters": []}
    names = {"PascalCase methods": set(), "F-prefixed members": set(), "sender parameters": set()}
    for path in headers():
        rel = os.path.relpath(path, ROOT)
        with open(path, encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                code = line.split("//")[0]
                if not code.strip() or code.lstrip().startswith(("#", "*", "/*")) or MACROS.match(code):
                    continue
                m = METHOD.match(code)
                if m and "operator" not in code:
                    hits["PascalCase methods"].append(f"{rel}:{number}: {line.strip()}")
                    names["PascalCase methods"].add(m.group(1))
                m = F_MEMBER.match(code)
                if m and "(" not in code.split(m.group(1))[0]:
                    hits["F-prefixed members"].append(f"{rel}:{number}: {line.strip()}")
                    names["F-prefixed members"].add(m.group(1))
                if SENDER.search(code):
                    hits["sender parameters"].append(f"{rel}:{number}: {line.strip()}")
                    names["sender parameters"].add(rel)
    return hits, names


def main():
    hits, names = census()
    for kind, lines in hits.items():
        print(f"{kind}: {len(lines)} declarations, {len(names[kind])} distinct")
        if "--list" in sys.argv:
            for line in lines:
                print("  " + line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
