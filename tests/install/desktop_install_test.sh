#!/usr/bin/env bash
# Installs the build into a staging folder and checks it as a desktop would
# see it: the desktop entry and the AppStream metadata validate, the staged
# MIME database knows a TIM by its content, the thumbnailer's own command
# line makes a thumbnail, the window program answers --help and --version
# without a display, and the man pages and the completion are in place.
#   desktop_install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

DESTDIR=$stage/root cmake --install "$build" --prefix /usr >/dev/null
share=$stage/root/usr/share
bin=$stage/root/usr/bin
id=io.github.pixalto.Pixalto

for file in bin/pixalto bin/pixalto-cli share/applications/$id.desktop \
  share/metainfo/$id.metainfo.xml share/mime/packages/pixalto.xml \
  share/thumbnailers/pixalto.thumbnailer share/bash-completion/completions/pixalto-cli \
  share/pixalto/sample.tim share/icons/hicolor/scalable/apps/pixalto.svg \
  share/icons/hicolor/{16x16,32x32}/apps/pixalto.xpm \
  share/icons/hicolor/{64x64,128x128,256x256}/apps/pixalto.png; do
  [ -e "$stage/root/usr/$file" ] || fail "not installed: $file"
done

# The desktop entry and the metadata that names it.
desktop=$share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'MimeType=image/x-psx-tim;image/bmp;image/png;' "$desktop" || fail "MimeType= in $desktop"
grep -qx 'Exec=pixalto %f' "$desktop" || fail "Exec= in $desktop"
metainfo=$share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the release is not $version"

# The file type, by content under a name that says nothing, and by name.
XDG_DATA_DIRS=$share update-mime-database "$share/mime"
sample=$share/pixalto/sample.tim
cp "$sample" "$stage/x.dat"
cp "$sample" "$stage/UPPER.TIM"
printf '\x10\0\0\0\x08\0\0\x01' | cat - "$sample" >"$stage/junk-flags.dat"
type_of() {
  XDG_DATA_HOME=$stage/none XDG_DATA_DIRS=$share:/usr/share gio info -a standard::content-type "$1" |
    sed -n 's/^ *standard::content-type: //p'
}
[ "$(type_of "$stage/x.dat")" = image/x-psx-tim ] || fail "x.dat is $(type_of "$stage/x.dat")"
[ "$(type_of "$stage/UPPER.TIM")" = image/x-psx-tim ] || fail "UPPER.TIM"
[ "$(type_of "$stage/junk-flags.dat")" != image/x-psx-tim ] || fail "a flag word with junk above the mode"

# The thumbnailer's command line, as a file manager runs it.
thumbnailer=$share/thumbnailers/pixalto.thumbnailer
grep -qx 'MimeType=image/x-psx-tim;' "$thumbnailer" || fail "MimeType= in $thumbnailer"
exec_line=$(sed -n 's/^Exec=//p' "$thumbnailer")
exec_line=${exec_line//%i/$stage/x.dat}
exec_line=${exec_line//%o/$stage/thumb.png}
exec_line=${exec_line//%s/256}
PATH=$bin:$PATH eval "$exec_line" || fail "the thumbnailer: $exec_line"
file "$stage/thumb.png" | grep -q 'PNG image data, 256 x 192, 8-bit/color RGBA' ||
  fail "the thumbnail: $(file "$stage/thumb.png")"

# The window program's help and version need no display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/pixalto" --help | grep -q '^Usage: pixalto \[FILE\]' ||
  fail "pixalto --help"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/pixalto" --version)" = "$("$bin/pixalto-cli" --version | sed 's/^pixalto-cli/pixalto/')" ] ||
  fail "pixalto --version"

# The man pages, when help2man made them, and the completion of every command.
if command -v help2man >/dev/null; then
  for page in pixalto pixalto-cli; do
    grep -q "^\.TH \"\?${page^^}\"\? \"\?1\"\?" <(zcat "$share/man/man1/$page.1.gz") || fail "man page $page(1)"
  done
  grep -q 'thumbnail' <(zcat "$share/man/man1/pixalto-cli.1.gz") || fail "pixalto-cli(1) lacks the commands"
fi
grep -q '^complete -F _pixalto_cli pixalto-cli$' "$share/bash-completion/completions/pixalto-cli" ||
  fail "the completion"
echo "installed files check out"
