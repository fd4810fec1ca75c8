#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what the desktop reads
# from it: the launcher, the MIME type of notes files, the software-centre
# description, the icons, the manual page, the program's data, and that
# --help and --version answer without a display.
#
#   tests/install/check.sh BUILD_DIR
#
# The validators come from desktop-file-utils and appstream; without them
# their checks are skipped (exit 77) after every other check ran.
set -uo pipefail
build=${1:?build folder}
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaleaf-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
failed=0 skipped=()
fail() { echo "install: FAIL $*"; failed=1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; exit 1; }

for f in bin/tessaleaf lib/tessaleaf/tessaleaf-sound.so \
         share/applications/tessaleaf.desktop share/mime/packages/tessaleaf.xml \
         share/metainfo/io.github.tessaleaf.Tessaleaf.metainfo.xml share/man/man1/tessaleaf.1.gz \
         share/tessaleaf/sound/type.wav share/tessaleaf/sound/back.wav share/tessaleaf/sound/bell.wav; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done
for lang in English Russian German; do
  for f in general.lng help.html; do
    [ -s "$prefix/share/tessaleaf/languages/$lang/$f" ] || fail "languages/$lang/$f is not installed"
  done
done
for size in 16 22 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/tessaleaf.png"
  # The PNG header's width and height: the icon is the size its folder says.
  dims=$(python3 -c 'import struct, sys; d = open(sys.argv[1], "rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8] == b"\x89PNG\r\n\x1a\n" else "")' "$icon" 2>/dev/null)
  [ "$dims" = "${size}x${size}" ] || fail "icon $size: ${dims:-missing}"
done

# The launcher names the icon and the MIME types that are installed.
desktop="$prefix/share/applications/tessaleaf.desktop"
grep -qx 'Icon=tessaleaf' "$desktop" || fail "the launcher's icon"
grep -q '^Exec=tessaleaf ' "$desktop" || fail "the launcher's command"
for type in application/x-tessaleaf-notes application/x-tessaleaf-compressed-notes; do
  grep -q "^MimeType=.*$type;" "$desktop" || fail "the launcher lacks $type"
done

# *.nts and *.znts reach their types in the MIME database built from the prefix.
if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
  grep -q ':application/x-tessaleaf-notes:\*\.nts$' "$prefix/share/mime/globs2" || fail "no MIME type for *.nts"
  grep -q ':application/x-tessaleaf-compressed-notes:\*\.znts$' "$prefix/share/mime/globs2" || fail "no MIME type for *.znts"
else
  grep -q '<glob pattern="\*\.nts"/>' "$prefix/share/mime/packages/tessaleaf.xml" || fail "no MIME type for *.nts"
fi

if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
else
  skipped+=("desktop-file-validate (desktop-file-utils)")
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/io.github.tessaleaf.Tessaleaf.metainfo.xml" >"$work/as.log" 2>&1 \
    || { cat "$work/as.log"; fail "appstreamcli validate"; }
  grep -q '<launchable type="desktop-id">tessaleaf.desktop</launchable>' \
    "$prefix/share/metainfo/io.github.tessaleaf.Tessaleaf.metainfo.xml" || fail "the metainfo names another launcher"
else
  skipped+=("appstreamcli validate (appstream)")
fi
if command -v groff >/dev/null; then
  warnings=$(gzip -dc "$prefix/share/man/man1/tessaleaf.1.gz" | groff -man -ww -z 2>&1)
  [ -z "$warnings" ] || fail "the manual page: $warnings"
fi

# --help and --version print and end with 0, with no display to connect to.
noscreen=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
help=$("${noscreen[@]}" "$prefix/bin/tessaleaf" --help 2>&1) || fail "--help ended with $?"
grep -q '^Usage: tessaleaf ' <<<"$help" || fail "--help printed: $help"
grep -q -- '--toggle' <<<"$help" || fail "--help does not name --toggle"
version=$("${noscreen[@]}" "$prefix/bin/tessaleaf" --version 2>&1) || fail "--version ended with $?"
expected=$(sed -n 's/^project(Tessaleaf VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
[ "$version" = "tessaleaf $expected" ] || fail "--version printed '$version', not 'tessaleaf $expected'"

[ "$failed" -eq 0 ] || exit 1
if [ ${#skipped[@]} -gt 0 ]; then
  echo "install: skipped ${skipped[*]}: not installed"
  exit 77
fi
echo "install: ok"
