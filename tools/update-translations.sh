#!/usr/bin/env bash
# update-translations.sh
# Collects the translatable texts of each library into its own files:
#   app/translations/mahjong_<code>.ts   the shell (app, base, protocol)
#   <lib>/translations/<lib>_<code>.ts   lobby, game, xmpp, social
# for the codes en, ja and zh. Translations already made are kept, also when
# a text moved from one library to another; texts no longer in the code are
# dropped. Translate the new entries with Qt Linguist before committing; the
# build compiles all files of one code into the embedded mahjong_<code>.qm.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=/usr/lib/qt6/bin
lupdate=$(command -v lupdate6 || command -v "$bin/lupdate" || command -v lupdate)
lconvert=$(command -v lconvert6 || command -v "$bin/lconvert" || command -v lconvert)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

declare -A target_language=([en]=en [ja]=ja [zh]=zh_CN)

for code in en ja zh; do
    # Every translation made so far, whichever file holds it.
    mapfile -t existing < <(ls app/translations/*_"$code".ts base/translations/*_"$code".ts \
        lobby/translations/*_"$code".ts game/translations/*_"$code".ts \
        xmpp/translations/*_"$code".ts social/translations/*_"$code".ts 2>/dev/null || true)
    "$lconvert" -i "${existing[@]}" -o "$work/all_$code.ts"

    update() {
        local ts=$1
        shift
        local dirs=()
        for d in "$@"; do [[ -e $d ]] && dirs+=("$d"); done
        ((${#dirs[@]})) || return 0
        mkdir -p "$(dirname "$ts")"
        cp "$work/all_$code.ts" "$work/next.ts"
        "$lupdate" -silent -no-obsolete -locations none -target-language "${target_language[$code]}" \
            "${dirs[@]}" -ts "$work/next.ts"
        mv "$work/next.ts" "$ts"
    }
    update app/translations/mahjong_"$code".ts app base protocol
    for lib in lobby game xmpp social; do
        update "$lib/translations/${lib}_$code.ts" "$lib"
    done
    # Files that the libraries' own files above have replaced.
    for f in "${existing[@]}"; do
        case $f in
        app/translations/mahjong_*|*/translations/lobby_*|*/translations/game_*|*/translations/xmpp_*|*/translations/social_*) ;;
        *) git rm -q --cached "$f" 2>/dev/null || true; rm -f "$f" ;;
        esac
    done
done
