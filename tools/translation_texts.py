#!/usr/bin/env python3
"""The translatable texts of the sources beside the translation files.

translation_texts.py update <sources.ts> <code>...
    Adds to app/translations/mahjong_<code>.ts, unfinished, every text of
    the sources that no <folder>/translations/*_<code>.ts file holds yet;
    for English, whose texts are the sources', only those with a count
    (their plural forms). A text with no letter outside its place markers
    and tags ("%1 (%2)", "%L1") needs no translation and is left out.
translation_texts.py check <sources.ts> <code>...
    Lists every text of the sources that no file of the code translates
    (a finished, non-empty translation) and fails when there is one.

<sources.ts> is what lupdate found in the sources, written to a new file.
A text is its context, its source and its disambiguation, as the program
asks the translator for it.
"""

import glob
import os
import re
import sys
import xml.etree.ElementTree as ET

FOLDERS = ("app", "base", "lobby", "game", "xmpp", "social", "protocol")
PLACE_MARKER = re.compile(r"%L?n|%L?\d+")
TAG = re.compile(r"<[^>]*>")


def messages(path):
    """(key, message element) of every message in a .ts file, in order."""
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name") or ""
        for message in context.iter("message"):
            key = (name, message.findtext("source") or "", message.findtext("comment") or "")
            yield key, message


def translated(message):
    translation = message.find("translation")
    if translation is None or translation.get("type") in ("unfinished", "obsolete", "vanished"):
        return False
    forms = translation.findall("numerusform")
    if forms:
        return all((f.text or "").strip() for f in forms)
    return bool((translation.text or "").strip())


def needs_words(source):
    bare = PLACE_MARKER.sub("", TAG.sub("", source))
    return any(ch.isalpha() for ch in bare)


def files_of(root, code):
    found = []
    for folder in FOLDERS:
        found += sorted(glob.glob(os.path.join(root, folder, "translations", "*_%s.ts" % code)))
    return found


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def entry(message):
    lines = ['    <message numerus="yes">' if message.get("numerus") == "yes" else "    <message>"]
    lines.append("        <source>%s</source>" % escape(message.findtext("source") or ""))
    for tag in ("comment", "extracomment"):
        if message.find(tag) is not None:
            lines.append("        <%s>%s</%s>" % (tag, escape(message.findtext(tag) or ""), tag))
    if message.get("numerus") == "yes":
        lines.append('        <translation type="unfinished"><numerusform></numerusform></translation>')
    else:
        lines.append('        <translation type="unfinished"></translation>')
    lines.append("    </message>")
    return "\n".join(lines) + "\n"


def add(path, missing):
    """Writes the missing messages into the file, each under its context,
    leaving every other byte of the file as it is."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    by_context = {}
    for key, message in missing:
        by_context.setdefault(key[0], []).append(entry(message))
    for name, entries in by_context.items():
        head = "<context>\n    <name>%s</name>\n" % escape(name)
        at = text.find(head)
        if at >= 0:
            end = text.index("</context>", at)
            text = text[:end] + "".join(entries) + text[end:]
        else:
            end = text.rindex("</TS>")
            text = text[:end] + head + "".join(entries) + "</context>\n" + text[end:]
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    if len(argv) < 4 or argv[1] not in ("update", "check"):
        sys.stderr.write(__doc__)
        return 2
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    sources = list(messages(argv[2]))
    untranslated = 0
    for code in argv[3:]:
        held, done = set(), set()
        for path in files_of(root, code):
            for key, message in messages(path):
                held.add(key)
                if translated(message):
                    done.add(key)
        if argv[1] == "update":
            missing = [(key, m) for key, m in sources if key not in held and needs_words(key[1])
                       and (code != "en" or m.get("numerus") == "yes")]
            if missing:
                add(os.path.join(root, "app", "translations", "mahjong_%s.ts" % code), missing)
            print("%s: %d new text(s)" % (code, len(missing)))
            continue
        for key, _ in sources:
            if key not in done and needs_words(key[1]):
                untranslated += 1
                print("no %s translation: context %s, text %r%s" %
                      (code, key[0], key[1], ", disambiguation %r" % key[2] if key[2] else ""))
    if untranslated:
        print("%d text(s) without a translation: run tools/update-translations.sh and translate them" % untranslated)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
