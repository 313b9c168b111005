#!/usr/bin/env python3
"""Checks the manual page against `razividerur --help`: every command and every option named
in one is named in the other.

    check_manpage.py PROGRAM MANPAGE

A command is the run of lower-case words after "razividerur" ("journal export", "protocol");
an option is a word that starts with "--". Both texts are read the same way, so new commands
and options need no change here: only a line in the manual page.
"""
import os
import re
import subprocess
import sys

COMMAND = re.compile(r"\brazividerur((?:[ \t]+[a-z][a-z0-9-]*)+)")
OPTION = re.compile(r"(?<![\w-])--[a-z][a-z0-9-]*")


def names(text):
    commands = {" ".join(m.group(1).split()) for m in COMMAND.finditer(text)}
    options = set(OPTION.findall(text))
    return commands, options


def troff_to_text(source):
    lines = []
    for line in source.splitlines():
        if line.startswith(('.\\"', "'\\\"")):
            continue  # a comment
        # A macro line keeps its arguments: ".B razividerur journal due" reads like the help.
        line = re.sub(r"^[.'][A-Za-z]+\s*", "", line)
        line = re.sub(r"\\f(?:\[[^\]]*\]|\(..|.)", "", line)  # font changes
        line = line.replace("\\-", "-").replace("\\&", "").replace('"', "")
        lines.append(line)
    return "\n".join(lines)


def main():
    program, manpage = sys.argv[1], sys.argv[2]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    helped = subprocess.run([program, "--help"], capture_output=True, text=True, env=env, check=True).stdout
    with open(manpage, encoding="utf-8") as f:
        manual = troff_to_text(f.read())

    help_commands, help_options = names(helped)
    man_commands, man_options = names(manual)
    if not help_commands or not help_options:
        sys.exit("no commands or options found in the output of --help:\n" + helped)

    faults = []
    for what, only, there, missing in (
        ("command", help_commands - man_commands, "--help", "the manual page"),
        ("option", help_options - man_options, "--help", "the manual page"),
        ("command", man_commands - help_commands, "the manual page", "--help"),
        ("option", man_options - help_options, "the manual page", "--help"),
    ):
        faults += [f"{what} {name!r} is in {there} but not in {missing}" for name in sorted(only)]
    if faults:
        sys.exit("\n".join(faults))
    print(f"{len(help_commands)} commands and {len(help_options)} options agree")


if __name__ == "__main__":
    main()
