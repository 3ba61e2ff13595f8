#!/usr/bin/env python3
"""Makes translations/m2bus_ru.ts: runs lupdate over the program's folders,
then fills every message whose English source is in translations/ru-texts.tsv.

The table has one line per English text: english<TAB>russian<TAB>where, with
\\n, \\t and \\\\ standing for a line break, a tab and a backslash. A message
that already carries a finished translation (made in Qt Linguist) keeps it
when the table has no line for it. Reports the sources left without a
translation and the table lines no message uses.

    python3 scripts/make-ru-ts.py                # the default folders
    python3 scripts/make-ru-ts.py --ts /tmp/x.ts app logo
    python3 scripts/make-ru-ts.py --strict       # exit 1 if anything is left

Exit status: 0 done, 1 sources left untranslated (only with --strict),
2 the table or lupdate failed (the .ts is then left as it was).
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Folders whose texts the user never sees in the program's windows.
NOT_SCANNED = {"tests", "bench", "fuzz", "tools", "packaging", "cmake", "scripts", "translations", "out"}
PLACEHOLDER = re.compile(r"%(?:\d+|n|L\d+|[ds])")
ENDING_MARKS = ".:!?"


class TableError(Exception):
    pass


def unescape(field):
    out = []
    i = 0
    while i < len(field):
        c = field[i]
        if c == "\\" and i + 1 < len(field):
            nxt = field[i + 1]
            if nxt in "nt\\":
                out.append({"n": "\n", "t": "\t", "\\": "\\"}[nxt])
                i += 2
                continue
        out.append(c)
        i += 1
    return "".join(out)


def edge_spaces(text):
    return (len(text) - len(text.lstrip(" ")), len(text) - len(text.rstrip(" ")))


def check_pair(english, russian):
    """Returns what is wrong with a translation of english, or None."""
    if sorted(PLACEHOLDER.findall(english)) != sorted(PLACEHOLDER.findall(russian)):
        return "placeholders differ"
    if edge_spaces(english) != edge_spaces(russian):
        return "leading or trailing spaces differ"
    if english.count("\n") != russian.count("\n"):
        return "line breaks differ"
    end = english.rstrip(" ")[-1:]
    if end and end in ENDING_MARKS and not russian.rstrip(" ").endswith(end):
        return "final punctuation differs"
    return None


def read_table(path):
    table = {}
    problems = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line:
                continue
            fields = line.split("\t")
            if len(fields) != 3:
                problems.append(f"{path}:{number}: {len(fields)} fields, not 3")
                continue
            english, russian = unescape(fields[0]), unescape(fields[1])
            if not english or not russian:
                problems.append(f"{path}:{number}: empty text")
            elif english in table:
                problems.append(f"{path}:{number}: {english!r} is already on line {table[english][1]}")
            elif (why := check_pair(english, russian)) is not None:
                problems.append(f"{path}:{number}: {why}: {english!r}")
            else:
                table[english] = (russian, number)
    if problems:
        raise TableError("\n".join(problems))
    return table


def default_folders():
    return sorted(
        name
        for name in os.listdir(ROOT)
        if os.path.isfile(os.path.join(ROOT, name, "CMakeLists.txt"))
        and name not in NOT_SCANNED
        and not name.startswith(("build", "."))
    )


def find_lupdate(given):
    if given:
        if os.access(given, os.X_OK):
            return given
        raise FileNotFoundError(f"{given} is not a program")
    for candidate in [shutil.which("lupdate"), "/usr/lib/qt6/bin/lupdate"]:
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    raise FileNotFoundError("lupdate not found: install qt6-l10n-tools (bash scripts/setup.sh)")


def run_lupdate(lupdate, folders, ts_path):
    command = [lupdate, "-extensions", "cpp,h,ui", "-locations", "none", "-no-obsolete",
               "-source-language", "en", "-target-language", "ru_RU",
               *folders, "-ts", ts_path]
    done = subprocess.run(command, cwd=ROOT, capture_output=True, text=True)
    if done.returncode != 0:
        raise RuntimeError(f"lupdate failed ({done.returncode}):\n{done.stdout}{done.stderr}")


def fill(root, table):
    """Fills the messages; returns (messages, from table, kept, left, used table keys)."""
    messages = from_table = kept = 0
    left = []
    used = set()
    for context in root.iter("context"):
        context_name = context.findtext("name", default="")
        for message in context.iter("message"):
            source = message.findtext("source")
            if source is None:
                continue
            messages += 1
            translation = message.find("translation")
            if translation is None:
                translation = ET.SubElement(message, "translation")
            plural = message.get("numerus") == "yes"
            if source in table and not plural:
                translation.text = table[source][0]
                translation.attrib.pop("type", None)
                used.add(source)
                from_table += 1
            elif translation.get("type") is None and (translation.text or len(translation)):
                kept += 1
            else:
                translation.set("type", "unfinished")
                left.append((context_name, source))
    return messages, from_table, kept, left, used


def write_ts(root, path):
    # The DOCTYPE line is how Qt's tools recognise the format; ElementTree drops it.
    text = '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n' + ET.tostring(root, encoding="unicode", short_empty_elements=False) + "\n"
    folder = os.path.dirname(os.path.abspath(path))
    fd, temporary = tempfile.mkstemp(dir=folder, prefix=".m2bus_ru.", suffix=".ts")
    try:
        # mkstemp makes the file private; the .ts is an ordinary source file.
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(temporary, os.stat(path).st_mode & 0o777 if os.path.exists(path) else 0o666 & ~umask)
        with os.fdopen(fd, "w", encoding="utf-8") as f:
            f.write(text)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folders", nargs="*", help="folders to scan (default: every product folder)")
    parser.add_argument("--ts", default=os.path.join(ROOT, "translations", "m2bus_ru.ts"))
    parser.add_argument("--table", default=os.path.join(ROOT, "translations", "ru-texts.tsv"))
    parser.add_argument("--lupdate", help="the lupdate program (default: from PATH or Qt 6's folder)")
    parser.add_argument("--strict", action="store_true", help="exit 1 when a source is left untranslated")
    args = parser.parse_args()

    try:
        table = read_table(args.table)
        lupdate = find_lupdate(args.lupdate)
        folders = args.folders or default_folders()
        # lupdate works on a copy, so that a failure leaves the .ts untouched.
        with tempfile.TemporaryDirectory() as scratch:
            draft = os.path.join(scratch, "m2bus_ru.ts")
            if os.path.exists(args.ts):
                shutil.copyfile(args.ts, draft)
            run_lupdate(lupdate, folders, draft)
            root = ET.parse(draft).getroot()
        root.set("language", "ru_RU")
        messages, from_table, kept, left, used = fill(root, table)
        write_ts(root, args.ts)
    except (TableError, RuntimeError, OSError, ET.ParseError) as error:
        print(f"make-ru-ts: {error}", file=sys.stderr)
        return 2

    print(f"make-ru-ts: scanned {' '.join(folders)}")
    print(f"make-ru-ts: {args.ts}: {messages} messages, {from_table} translated from the table, "
          f"{kept} kept from the .ts, {len(left)} without a translation")
    for context_name, source in left:
        print(f"  untranslated [{context_name}] {source!r}")
    unused = [english for english in table if english not in used]
    print(f"make-ru-ts: {len(unused)} of {len(table)} table lines used by no message")
    for english in unused:
        print(f"  unused {english!r}")
    return 1 if args.strict and left else 0


if __name__ == "__main__":
    sys.exit(main())
