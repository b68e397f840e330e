#!/usr/bin/env bash
# update-translations.sh
# Adds the translatable texts of the program's sources that no file holds yet
# to app/translations/mahjong_{en,ja,zh}.ts. Nothing is dropped: the
# libraries keep texts in their own <folder>/translations/*_<code>.ts files,
# and forms fill their texts under the form's own context, which lupdate
# cannot see. Translate the new entries with Qt Linguist before committing;
# the build compiles all files of one code into the embedded mahjong_<code>.qm
# (an unfinished entry is left out, so a text translated in another file
# keeps that translation).
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate6 || command -v /usr/lib/qt6/bin/lupdate || command -v lupdate)
dirs=()
for d in app base lobby game social xmpp protocol; do
    [[ -d $d ]] && dirs+=("$d")
done
"$lupdate" -locations none -target-language en "${dirs[@]}" -ts app/translations/mahjong_en.ts
"$lupdate" -locations none -target-language ja "${dirs[@]}" -ts app/translations/mahjong_ja.ts
"$lupdate" -locations none -target-language zh_CN "${dirs[@]}" -ts app/translations/mahjong_zh.ts
