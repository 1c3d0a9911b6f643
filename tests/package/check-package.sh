#!/usr/bin/env bash
# Builds the Debian package from this build folder, has lintian judge it, unpacks it into a scratch
# root and checks what a player's machine would get: every file in its place with the right owner
# and mode, the control fields, the copyright file and the changelog, the launcher entry, the
# AppStream metainfo and the manual pages (validated with the tools the desktop and Debian use),
# and that the pages say what the programs and the README say. Needs no root: dpkg-deb -x only
# unpacks.
#   check-package.sh BUILD_DIR SOURCE_DIR VERSION APPSTREAM_ID
set -uo pipefail
BUILD=$1
SOURCE=$2
VERSION=$3
APPID=$4
. "$(dirname "$0")/common.sh"

for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog lintian desktop-file-validate appstreamcli man lexgrog file; do
    command -v "$tool" >/dev/null || { echo "FAIL: '$tool' is missing (scripts/install-deps.sh)"; exit 1; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# A folder of its own for CPack's staging, so that `make package` in the same build is undisturbed.
if ! cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1; then
    cat "$WORK/cpack.log"
    echo "FAIL: cpack did not build the package"
    exit 1
fi
debs=("$WORK"/out/*.deb)
arch=$(dpkg --print-architecture)
check "one package, named cellwright_${VERSION}-1_$arch.deb (got ${debs[*]##*/})" \
    test "${#debs[@]}:${debs[0]##*/}" = "1:cellwright_${VERSION}-1_$arch.deb"
deb=${debs[0]}

# ---- lintian, as Debian's archive runs it: no error and no warning. The package overrides one
# tag (packaging/lintian-overrides); any other override would hide a finding.
lintian --pedantic --info --show-overrides "$deb" >"$WORK/lintian.log" 2>/dev/null
check "lintian reports no error and no warning: $(grep -E '^[EW]: ' "$WORK/lintian.log" | tr '\n' ' ')" \
    test -z "$(grep -E '^[EW]: ' "$WORK/lintian.log")"
check "lintian overrides nothing but initial-upload-closes-no-bugs: $(grep '^O: ' "$WORK/lintian.log" | tr '\n' ' ')" \
    test "$(grep '^O: ' "$WORK/lintian.log" | cut -d' ' -f3 | sort -u)" = initial-upload-closes-no-bugs

# ---- control fields
field() { dpkg-deb -f "$deb" "$1"; }
check "Package is cellwright" test "$(field Package)" = cellwright
check "Version is the program's version with Debian revision 1 (got $(field Version))" \
    test "$(field Version)" = "$VERSION-1"
check "Architecture is $arch" test "$(field Architecture)" = "$arch"
check "Section is games" test "$(field Section)" = games
check "a Maintainer is named" test -n "$(field Maintainer)"
depends=$(field Depends)
depends_names=$(sed 's/, /\n/g' <<<"$depends" | cut -d' ' -f1)
# The libraries the game is built on, by the packages that ship them on this system: the names
# differ between releases (Debian 13's libqt6core6t64 is Debian 12's libqt6core6).
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for library in libc.so.6 libstdc++.so.6 libQt6Core.so.6 libQt6Gui.so.6 libQt6Widgets.so.6 \
    libQt6PrintSupport.so.6 libpulse.so.0; do
    owner=$(dpkg-query -S "*/$multiarch/$library" 2>/dev/null | grep -v '^diversion' | sed 's/: [^ ]*$//' |
        tr ',' '\n' | sed 's/^ *//; s/:.*//' | sort -u)
    check "one installed package ships $library (got: $owner)" test "$(wc -w <<<"$owner")" = 1
    check "Depends names $owner, which ships $library (got: $depends)" grep -qxF "$owner" <<<"$depends_names"
done
check "Depends names fonts-liberation (got: $depends)" grep -qxF fonts-liberation <<<"$depends_names"
check "the package has no maintainer scripts to leave anything behind" \
    test -z "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'preinst|postinst|prerm|postrm')"

# ---- the files, exactly, with owner and mode
expected="./usr/games/cellwright 0755
./usr/games/cellwright-gen 0755
./usr/share/applications/cellwright.desktop 0644
./usr/share/cellwright/screenshots/easy-game.png 0644
./usr/share/doc/cellwright/changelog.Debian.gz 0644
./usr/share/doc/cellwright/copyright 0644
./usr/share/lintian/overrides/cellwright 0644"
for size in 16 22 24 32 48 64 128 256; do
    expected+=$'\n'"./usr/share/icons/hicolor/${size}x$size/apps/cellwright.png 0644"
done
expected+="
./usr/share/icons/hicolor/scalable/apps/cellwright.svg 0644
./usr/share/man/man6/cellwright-gen.6.gz 0644
./usr/share/man/man6/cellwright.6.gz 0644
./usr/share/metainfo/$APPID.metainfo.xml 0644"
listing=$(dpkg-deb --fsys-tarfile "$deb" | tar -tv --numeric-owner)
files=$(awk '$1 ~ /^-/ { print $6 }' <<<"$listing" | sort)
check "the package holds exactly the expected files; differences: $(diff <(cut -d' ' -f1 <<<"$expected" | sort) <(echo "$files") | grep '^[<>]' | tr '\n' ' ')" \
    test "$(cut -d' ' -f1 <<<"$expected" | sort)" = "$files"
check "every file and folder belongs to root (0/0)" test -z "$(awk '$2 != "0/0"' <<<"$listing")"
check "every folder is 0755" test -z "$(awk '$1 ~ /^d/ && $1 != "drwxr-xr-x"' <<<"$listing")"
while read -r path mode; do
    want=$([ "$mode" = 0755 ] && echo -rwxr-xr-x || echo -rw-r--r--)
    check "$path has mode $want" grep -qE "^$want .* $path\$" <<<"$listing"
done <<<"$expected"

ROOT="$WORK/root"
dpkg-deb -x "$deb" "$ROOT"

# ---- the programs, as installed
for program in cellwright cellwright-gen; do
    check "$program is stripped" grep -q ', stripped' <<<"$(file -b "$ROOT/usr/games/$program")"
done
run "$ROOT/usr/games/cellwright" --version
check "the installed cellwright --version prints 'cellwright $VERSION'" test "$status:$out" = "0:cellwright $VERSION"
run "$ROOT/usr/games/cellwright-gen" easy --seed 7
check "the installed cellwright-gen prints a puzzle" grep -qxE '[1-9.]{81}' <<<"$out"

# ---- icons: a PNG of its folder's size in every hicolor size
# WIDTHxHEIGHT of a PNG, from its header.
png_size() {
    local b
    read -ra b <<<"$(od -An -tu1 -j16 -N8 "$1" | tr -s ' ')"
    echo "$(((b[0] << 24) + (b[1] << 16) + (b[2] << 8) + b[3]))x$(((b[4] << 24) + (b[5] << 16) + (b[6] << 8) + b[7]))"
}
for size in 16 22 24 32 48 64 128 256; do
    icon="$ROOT/usr/share/icons/hicolor/${size}x$size/apps/cellwright.png"
    check "the ${size}x$size icon is a ${size}x$size PNG (got $(png_size "$icon"))" \
        test "$(head -c8 "$icon" | od -An -tx1 | tr -d ' '):$(png_size "$icon")" = "89504e470d0a1a0a:${size}x$size"
done
check "the scalable icon is an SVG drawing" grep -q '<svg' "$ROOT/usr/share/icons/hicolor/scalable/apps/cellwright.svg"

# ---- launcher entry
desktop="$ROOT/usr/share/applications/cellwright.desktop"
check "desktop-file-validate accepts the launcher entry: $(desktop-file-validate "$desktop" 2>&1)" \
    test -z "$(desktop-file-validate "$desktop" 2>&1)"
# By its full path: a desktop session's PATH may lack /usr/games.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
check "the launcher runs /usr/games/cellwright, which the package installs (Exec=$exec_line)" \
    test "$exec_line" = /usr/games/cellwright -a -x "$ROOT/usr/games/cellwright"
check "the launcher's icon is the one installed" test "$(sed -n 's/^Icon=//p' "$desktop")" = cellwright

# ---- AppStream metainfo
metainfo="$ROOT/usr/share/metainfo/$APPID.metainfo.xml"
# The only remarks allowed are about the id, which is kept as it is (no domain of the project's
# own yet, and a capital letter), and, from AppStream before 1.0 as on Debian 12, that it does not
# know the <developer> tag yet (1.0 deprecates the older <developer_name>).
appstreamcli validate --pedantic --no-net "$metainfo" >"$WORK/appstream.log" 2>&1
check "appstreamcli validate --pedantic has nothing to say but about the id and <developer>: $(cat "$WORK/appstream.log")" \
    test -z "$(grep -E '^[EWIP]: ' "$WORK/appstream.log" | cut -d' ' -f3,4 |
        grep -vxE "(cid-maybe-not-rdns|cid-contains-uppercase-letter) $APPID|unknown-tag developer")"
tag() { grep -oE "<$1[^>]*>[^<]*</$1>" "$metainfo" | sed -E 's/<[^>]*>//g'; }
check "the metainfo's id is $APPID" test "$(tag id)" = "$APPID"
check "the metainfo launches cellwright.desktop" test "$(tag launchable)" = cellwright.desktop
check "the maker is Cellwright Games, by id" \
    test "$(tr -d '\n' <"$metainfo" | grep -oE '<developer id="[^"]+">[[:space:]]*<name>[^<]*</name>' |
        sed -E 's|<developer id="([^"]+)">[[:space:]]*<name>([^<]*)</name>|\1:\2|')" = "example.cellwright:Cellwright Games"
check "the metainfo's licence is MIT" test "$(tag project_license)" = MIT
for scheme in light dark; do
    check "the metainfo has a $scheme brand colour" \
        grep -qE "<color type=\"primary\" scheme_preference=\"$scheme\">#[0-9a-f]{6}</color>" "$metainfo"
done
check "the metainfo asks for a pointer, a keyboard and a screen at least 768 pixels long" \
    test "$(tag control | sort | tr '\n' ' ')$(tag display_length)$(grep -oE '<display_length compare="ge">' "$metainfo")" = \
        'keyboard pointing 768<display_length compare="ge">'
check "the metainfo's binaries are the installed ones" \
    test "$(tag binary | sort | tr '\n' ' ')" = "$(ls "$ROOT/usr/games" | sort | tr '\n' ' ')"
check "the metainfo has a content rating" grep -q '<content_rating type="oars-1.1"' "$metainfo"
check "the metainfo's release is $VERSION" grep -qE "<release version=\"$VERSION\" date=\"[0-9]{4}-[0-9]{2}-[0-9]{2}\"" "$metainfo"
shot="$ROOT/usr/share/cellwright/screenshots/easy-game.png"
image=$(grep -oE '<image type="source" width="[0-9]+" height="[0-9]+">[^<]*</image>' "$metainfo")
homepage=$(tag url)
check "the metainfo's homepage is https ($homepage)" grep -qxE 'https://[^/]+/' <<<"$homepage"
check "the screenshot is on the homepage's site, under this version, named as the installed one ($image)" \
    grep -qE ">${homepage//./\\.}[^<]*/$VERSION/easy-game.png<" <<<"$image"
shot_size=$(png_size "$shot")
check "the screenshot's stated size is the picture's size, $shot_size" \
    grep -qF "width=\"${shot_size%x*}\" height=\"${shot_size#*x}\"" <<<"$image"

# ---- Debian's copyright file and changelog
copyright="$ROOT/usr/share/doc/cellwright/copyright"
check "the copyright file is in the machine-readable format 1.0" \
    test "$(head -n1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
# Each Files paragraph's pattern, marked with ! unless it is Cellwright Games' under Expat.
files_paragraphs=$(awk -v RS= '/^Files:/ {
    print $2 ((/\nCopyright: [0-9-]+ Cellwright Games\n/ && /\nLicense: Expat(\n|$)/) ? "" : "!") }' "$copyright" | tr '\n' ' ')
check "the copyright file covers the code and the project's own images and sounds, Cellwright Games' under Expat ($files_paragraphs)" \
    test "$files_paragraphs" = "* resources/* "
# The licence text as the copyright file has it (its stand-alone paragraph, unindented) and as
# LICENSE has it below the copyright line: the same words.
license_text=$(awk -v RS= '/^License: Expat\n/' "$copyright" | sed -n '2,$p' | sed -n '/^[^ ]/q; s/^ //; s/^\.$//; p')
check "the copyright file's licence text is LICENSE's" \
    test "$license_text" = "$(sed -n '/^Permission is hereby granted/,$p' "$SOURCE/LICENSE")"
check "LICENSE is the MIT licence of Cellwright Games" \
    grep -qxE 'Copyright \(c\) [0-9]{4}(-[0-9]{4})? Cellwright Games' "$SOURCE/LICENSE"
changelog="$WORK/changelog.Debian"
gzip -dc "$ROOT/usr/share/doc/cellwright/changelog.Debian.gz" >"$changelog"
release_date=$(grep -oE "<release version=\"$VERSION\" date=\"[0-9-]+\"" "$metainfo" | grep -oE '[0-9]{4}-[0-9]{2}-[0-9]{2}')
entry="$(dpkg-parsechangelog -l "$changelog" -S Version) of $(date -u -d "@$(dpkg-parsechangelog -l "$changelog" -S Timestamp)" +%F) by $(dpkg-parsechangelog -l "$changelog" -S Maintainer)"
check "the changelog's entry is $VERSION-1 of the release's date by the package's maintainer (got $entry)" \
    test "$entry" = "$VERSION-1 of $release_date by $(field Maintainer)"

# ---- manual pages: render without a warning, index for apropos, and match --help and the README
for page in cellwright cellwright-gen; do
    file="$ROOT/usr/share/man/man6/$page.6.gz"
    warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
    check "man -l $page.6.gz renders without warnings: $warnings" test -z "$warnings"
    check "lexgrog reads the NAME line of $page.6" lexgrog "$file" >/dev/null
    text=$(MANWIDTH=200 man -l "$file" 2>/dev/null)
    check "$page.6 shows version $VERSION" grep -qE "Cellwright $VERSION" <<<"$(tail -n1 <<<"$text")"
    run "$ROOT/usr/games/$page" --help
    options_section=$(sed -n '/^OPTIONS/,/^[A-Z]/p' <<<"$text")
    check "$page.6 and $page --help list the same options: $(diff <(options_in "$out") <(options_in "$options_section") | grep '^[<>]' | tr '\n' ' ')" \
        test "$(options_in "$out")" = "$(options_in "$options_section")"
    usage=$(head -n1 <<<"$out" | sed 's/^usage: //')
    check "$page.6's synopsis is the usage line of --help ($usage)" grep -qxF "       $usage" <<<"$text"
done
readme_usage=$(grep -m1 -E '^cellwright-gen grid' "$SOURCE/README.md")
check "the README shows the usage line of cellwright-gen --help ($readme_usage)" \
    test "usage: $readme_usage" = "$(head -n1 <<<"$("$ROOT/usr/games/cellwright-gen" --help)")"

finish
