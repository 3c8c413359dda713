#!/usr/bin/env python3
"""generate_text_keys.py ENGLISH.plist NAMES.txt OUT.h

Writes the header of named keyed texts: one constant Text::<name> per key of
the English table, named by NAMES.txt, with the English text as its comment.
Stops with a message naming the file and line when a key has no name, a name
has no key, or a name is repeated or not a C++ identifier. Leaves OUT.h alone
when its text would not change, so that files including it are not rebuilt.
"""
import keyword
import plistlib
import re
import sys

IDENTIFIER = re.compile(r"[A-Za-z_][A-Za-z0-9_]*\Z")
KEY = re.compile(r"IDS_BR_(\d+)\Z")
# C++ keywords a name could plausibly collide with.
CPP_KEYWORDS = {
    "and", "auto", "bool", "break", "case", "catch", "char", "class", "const", "continue",
    "default", "delete", "do", "double", "else", "enum", "explicit", "export", "extern",
    "false", "float", "for", "friend", "goto", "if", "inline", "int", "long", "namespace",
    "new", "not", "operator", "or", "private", "protected", "public", "register", "return",
    "short", "signed", "sizeof", "static", "struct", "switch", "template", "this", "throw",
    "true", "try", "typedef", "typename", "union", "unsigned", "using", "virtual", "void",
    "volatile", "while", "xor",
}


def read_names(path):
    """[(line number, key, name)] of the names file; '#' starts a comment."""
    entries = []
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            fields = line.split("#", 1)[0].split()
            if not fields:
                continue
            if len(fields) != 2:
                raise ValueError(f"{path}:{number}: expected a key and a name, found {line.strip()!r}")
            entries.append((number, fields[0], fields[1]))
    return entries


def check(table_path, table, names_path, entries):
    """The problems that stop the build, one message each."""
    problems = []
    named = {}
    used = {}
    for number, key, name in entries:
        where = f"{names_path}:{number}"
        if not KEY.match(key):
            problems.append(f"{where}: {key!r} is not a key of the form IDS_BR_<n>")
        if not IDENTIFIER.match(name) or name in CPP_KEYWORDS or keyword.iskeyword(name):
            problems.append(f"{where}: {name!r} cannot be a C++ name")
        if key in named:
            problems.append(f"{where}: {key} is named twice (also line {named[key][0]})")
        if name in used:
            problems.append(f"{where}: the name {name} is already given to {used[name][1]} (line {used[name][0]})")
        named.setdefault(key, (number, name))
        used.setdefault(name, (number, key))
        if key not in table:
            problems.append(f"{where}: {key} ({name}) is not in {table_path}")
    for key in table:
        if key not in named:
            problems.append(f"{names_path}: {key} (\u201c{table[key]}\u201d) has no name; add a line \u201c{key} <name>\u201d")
        elif not isinstance(table[key], str):
            problems.append(f"{table_path}: {key} is not a string")
    return problems


def comment(text):
    """The English text on one comment line."""
    return " ".join(str(text).split()).replace("*/", "* /")


def header(table, entries):
    lines = [
        "// Generated from resources/English.plist and resources/text-names.txt",
        "// by cmake/generate_text_keys.py while building; edit those, not this.",
        "#pragma once",
        "",
        '#include "store/TextKey.h"',
        "",
        "namespace Text {",
        "",
    ]
    for _, key, name in sorted(entries, key=lambda entry: int(KEY.match(entry[1]).group(1))):
        lines.append(f"// {comment(table[key])}")
        lines.append(f'inline constexpr TextKey {name}{{"{key}"}};')
    lines += ["", "} // namespace Text", ""]
    return "\n".join(lines)


def main(arguments):
    if len(arguments) != 3:
        sys.exit(__doc__)
    table_path, names_path, out_path = arguments
    try:
        with open(table_path, "rb") as file:
            table = plistlib.load(file)
        if not isinstance(table, dict):
            raise ValueError(f"{table_path}: the root is not a dictionary")
        entries = read_names(names_path)
    except (OSError, ValueError, plistlib.InvalidFileException) as error:
        sys.exit(f"generate_text_keys: {error}")
    problems = check(table_path, table, names_path, entries)
    if problems:
        sys.exit("generate_text_keys: the keyed texts' names do not match the English table:\n  "
                 + "\n  ".join(problems))
    text = header(table, entries)
    try:
        with open(out_path, encoding="utf-8") as existing:
            if existing.read() == text:
                return
    except OSError:
        pass
    with open(out_path, "w", encoding="utf-8") as out:
        out.write(text)


if __name__ == "__main__":
    main(sys.argv[1:])
