#!/usr/bin/python3
"""Checks that every text marked in the plain C++ libraries has a finished
translation: runs lupdate over each file's sources into a temporary copy of
the file and fails on a text without a finished translation there, on a
translation that does not place each argument of its text once, or on a
text the file keeps that the sources no longer have.

Usage: check_texts.py LUPDATE SOURCE_ROOT FILE.ts=FOLDER[,FOLDER...] ...
The markers of decode/Translate.h and of the headless program's messages
(udpmon/headless/HeadlessText.h) are read as QT_TRANSLATE_NOOP.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

OPTIONS = ["-tr-function-alias", "QT_TRANSLATE_NOOP+=NC_,QT_TRANSLATE_NOOP+=C_,QT_TRANSLATE_NOOP+=HT_"]
# The places of the arguments: "%1" ... "%9" (decode::Arg) and "{0}" ... "{9}"
# (the link supervision's sentences).
ARGUMENTS = re.compile(r"%[1-9]|\{[0-9]\}")


def messages(ts_file):
    root = ET.parse(ts_file).getroot()
    found, open_texts = set(), []
    for context in root.iter("context"):
        for message in context.iter("message"):
            key = (context.findtext("name"), message.findtext("source"))
            found.add(key)
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "missing"
            if kind is not None or not (translation.text or "").strip():
                open_texts.append((*key, kind or "empty"))
            elif sorted(ARGUMENTS.findall(key[1])) != sorted(ARGUMENTS.findall(translation.text)):
                open_texts.append((*key, "its arguments differ: " + translation.text))
    return found, open_texts


def main(lupdate, root, *pairs):
    failures = 0
    for pair in pairs:
        name, folders = pair.split("=", 1)
        path = os.path.join(root, "i18n", name)
        before, _ = messages(path)
        with tempfile.TemporaryDirectory() as scratch:
            copy = os.path.join(scratch, name)
            shutil.copyfile(path, copy)
            command = [lupdate, "-silent", "-locations", "none", "-no-obsolete", "-extensions", "cpp,h", *OPTIONS]
            command += [os.path.join(root, f) for f in folders.split(",")] + ["-ts", copy]
            result = subprocess.run(command, capture_output=True, text=True)
            if result.returncode != 0:
                sys.stderr.write(result.stdout + result.stderr)
                return 1
            after, open_texts = messages(copy)
        for context, source, kind in open_texts:
            print(f"{name}: {context}: no finished translation ({kind}): {source!r}")
        for context, source in sorted(before - after):
            print(f"{name}: {context}: the sources no longer have {source!r}")
        failures += len(open_texts) + len(before - after)
        if not open_texts and before == after:
            print(f"{name}: {len(after)} texts, all translated")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
