#!/usr/bin/env bash
# update-translations.sh [--check]
# Adds the translatable texts of the program's sources that no file holds yet
# to app/translations/mahjong_{en,ja,zh}.ts, unfinished (English only those
# with a count, for their plural forms). Nothing else changes:
# the libraries keep texts in their own <folder>/translations/*_<code>.ts
# files, and the forms' texts stand under the form's own context. Translate
# the new entries with Qt Linguist before committing; the build compiles all
# files of one code into the embedded mahjong_<code>.qm (an unfinished entry
# is left out, so a text translated in another file keeps that translation).
#
# --check changes nothing and fails when a text of the sources has no
# Japanese or Chinese translation in any file (the test
# app_translations_complete runs it).
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate6 || command -v /usr/lib/qt6/bin/lupdate || command -v lupdate)
dirs=()
for d in app base lobby game social xmpp protocol; do
    [[ -d $d ]] && dirs+=("$d")
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# lupdate warns about classes that only translate (no Q_OBJECT); what it
# found is all that matters here.
"$lupdate" -silent -locations none -no-obsolete "${dirs[@]}" -ts "$work/sources.ts" 2>/dev/null
if [[ ${1:-} == --check ]]; then
    exec python3 tools/translation_texts.py check "$work/sources.ts" ja zh
fi
python3 tools/translation_texts.py update "$work/sources.ts" en ja zh
