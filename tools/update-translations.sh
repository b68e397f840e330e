#!/usr/bin/env bash
# update-translations.sh
# Collects the translatable texts of the program's sources into
# app/translations/mahjong_{en,ja,zh}.ts (existing translations are kept,
# texts no longer in the code are dropped). Translate the new entries with
# Qt Linguist (linguist app/translations/mahjong_ja.ts) before committing;
# the build compiles the .ts files into the embedded mahjong_<code>.qm files.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate6 || command -v /usr/lib/qt6/bin/lupdate || command -v lupdate)
dirs=()
for d in app lobby game social xmpp protocol; do
    [[ -d $d ]] && dirs+=("$d")
done
"$lupdate" -no-obsolete -locations none -target-language en "${dirs[@]}" -ts app/translations/mahjong_en.ts
"$lupdate" -no-obsolete -locations none -target-language ja "${dirs[@]}" -ts app/translations/mahjong_ja.ts
"$lupdate" -no-obsolete -locations none -target-language zh_CN "${dirs[@]}" -ts app/translations/mahjong_zh.ts
