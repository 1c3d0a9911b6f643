#!/usr/bin/env bash
# Builds the Debian package from this build folder, unpacks it into a scratch root and checks
# what a player's machine would get: every file in its place with the right owner and mode, the
# control fields, the launcher entry, the AppStream metainfo and the manual pages (validated with
# the tools the desktop and Debian use), and that the pages say what the programs and the README
# say. Needs no root: dpkg-deb -x only unpacks.
#   check-package.sh BUILD_DIR SOURCE_DIR VERSION APPSTREAM_ID
set -uo pipefail
BUILD=$1
SOURCE=$2
VERSION=$3
APPID=$4
. "$(dirname "$0")/common.sh"

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli man lexgrog file; do
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
for dep in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libpulse0 libqt6printsupport6 \
    fonts-liberation; do
    check "Depends names $dep (got: $depends)" grep -qxF "$dep" <<<"$depends_names"
done
check "the package has no maintainer scripts to leave anything behind" \
    test -z "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'preinst|postinst|prerm|postrm')"

# ---- the files, exactly, with owner and mode
expected="./usr/bin/cellwright 0755
./usr/bin/cellwright-gen 0755
./usr/share/applications/cellwright.desktop 0644
./usr/share/cellwright/screenshots/easy-game.png 0644"
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
    check "$program is stripped" grep -q ', stripped' <<<"$(file -b "$ROOT/usr/bin/$program")"
done
run "$ROOT/usr/bin/cellwright" --version
check "the installed cellwright --version prints 'cellwright $VERSION'" test "$status:$out" = "0:cellwright $VERSION"
run "$ROOT/usr/bin/cellwright-gen" easy --seed 7
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
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
check "the launcher runs a program the package installs (Exec=$exec_program)" test -x "$ROOT/usr/bin/$exec_program"
check "the launcher's icon is the one installed" test "$(sed -n 's/^Icon=//p' "$desktop")" = cellwright

# ---- AppStream metainfo
metainfo="$ROOT/usr/share/metainfo/$APPID.metainfo.xml"
if ! appstreamcli validate --no-net "$metainfo" >"$WORK/appstream.log" 2>&1; then
    cat "$WORK/appstream.log"
    check "appstreamcli validate --no-net accepts the metainfo" false
fi
tag() { grep -oE "<$1[^>]*>[^<]*</$1>" "$metainfo" | sed -E 's/<[^>]*>//g'; }
check "the metainfo's id is $APPID" test "$(tag id)" = "$APPID"
check "the metainfo launches cellwright.desktop" test "$(tag launchable)" = cellwright.desktop
check "the maker is Cellwright Games" test "$(tag developer_name)" = "Cellwright Games"
check "the metainfo's binaries are the installed ones" \
    test "$(tag binary | sort | tr '\n' ' ')" = "$(ls "$ROOT/usr/bin" | sort | tr '\n' ' ')"
check "the metainfo has a content rating" grep -q '<content_rating type="oars-1.1"' "$metainfo"
check "the metainfo's release is $VERSION" grep -qE "<release version=\"$VERSION\" date=\"[0-9]{4}-[0-9]{2}-[0-9]{2}\"" "$metainfo"
shot="$ROOT/usr/share/cellwright/screenshots/easy-game.png"
image=$(grep -oE '<image type="source" width="[0-9]+" height="[0-9]+">[^<]*</image>' "$metainfo")
check "the screenshot is https, under this version, named as the installed one ($image)" \
    grep -qE ">https://[^<]*/$VERSION/easy-game.png<" <<<"$image"
shot_size=$(png_size "$shot")
check "the screenshot's stated size is the picture's size, $shot_size" \
    grep -qF "width=\"${shot_size%x*}\" height=\"${shot_size#*x}\"" <<<"$image"

# ---- manual pages: render without a warning, index for apropos, and match --help and the README
for page in cellwright cellwright-gen; do
    file="$ROOT/usr/share/man/man6/$page.6.gz"
    warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
    check "man -l $page.6.gz renders without warnings: $warnings" test -z "$warnings"
    check "lexgrog reads the NAME line of $page.6" lexgrog "$file" >/dev/null
    text=$(MANWIDTH=200 man -l "$file" 2>/dev/null)
    check "$page.6 shows version $VERSION" grep -qE "Cellwright $VERSION" <<<"$(tail -n1 <<<"$text")"
    run "$ROOT/usr/bin/$page" --help
    options_section=$(sed -n '/^OPTIONS/,/^[A-Z]/p' <<<"$text")
    check "$page.6 and $page --help list the same options: $(diff <(options_in "$out") <(options_in "$options_section") | grep '^[<>]' | tr '\n' ' ')" \
        test "$(options_in "$out")" = "$(options_in "$options_section")"
    usage=$(head -n1 <<<"$out" | sed 's/^usage: //')
    check "$page.6's synopsis is the usage line of --help ($usage)" grep -qxF "       $usage" <<<"$text"
done
readme_usage=$(grep -m1 -E '^cellwright-gen grid' "$SOURCE/README.md")
check "the README shows the usage line of cellwright-gen --help ($readme_usage)" \
    test "usage: $readme_usage" = "$(head -n1 <<<"$("$ROOT/usr/bin/cellwright-gen" --help)")"

finish
