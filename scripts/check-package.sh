#!/usr/bin/env bash
# Checks the package of `make package` as a packager and a user meet it: the
# icon's PNGs against their SVG, the desktop entry, the AppStream metainfo,
# lintian, the four manual pages; then installs it on this machine and runs
# both programs from PATH and the desktop entry's Exec line.
#   scripts/check-package.sh [PACKAGE_BUILD_DIR]   (default: build-package)
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh desktop-file-utils appstream lintian man-db librsvg2-bin
build=${1:-build-package}
debs=("$build"/vela-test_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "Not one package in $build: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
step() { echo "== $*"; }

step "icons: committed PNGs match the SVG"
scripts/render-icons.sh "$work/icons"
for size in 64x64 128x128; do
  differing=$(compare -metric AE "packaging/icons/$size/vela-test.png" "$work/icons/$size/vela-test.png" null: 2>&1) || true
  [ "$differing" = 0 ] || fail "packaging/icons/$size/vela-test.png differs from the SVG in $differing pixels (scripts/render-icons.sh)"
done

step "package: $deb"
dpkg-deb --field "$deb" Package Version Section Priority Depends
dpkg-deb -x "$deb" "$work/root"
desktop="$work/root/usr/share/applications/tr.vela.TestConsole.desktop"

step "desktop-file-validate"
desktop-file-validate "$desktop"

step "appstreamcli validate --no-net"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/tr.vela.TestConsole.metainfo.xml"

step "lintian: any error or warning fails"
lintian --fail-on error,warning "$deb"

step "manual pages: MANWIDTH=80 man --warnings -l"
for page in man1/vela-test.1.gz man1/vela-sim.1.gz tr/man1/vela-test.1.gz tr/man1/vela-sim.1.gz; do
  warnings=$(MANWIDTH=80 man --warnings -l "$work/root/usr/share/man/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  echo "$page: clean"
done

step "apt-get install ./$deb"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall "./$deb" >/dev/null

step "the installed programs from PATH"
version=$(vela-test --version)
[ "$version" = "vela-test $(dpkg-deb --field "$deb" Version)" ] || fail "vela-test --version says '$version'"
echo "$version"
status=0
vela-test --no-such-option 2>/dev/null || status=$?
[ $status -eq 1 ] || fail "vela-test --no-such-option ended with status $status, not refused"
vela-sim --help >/dev/null || fail "vela-sim --help"
echo "vela-sim --help: $(command -v vela-sim)"

step "the desktop entry's Exec line"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/tr.vela.TestConsole.desktop)
program=$(command -v "${exec_line%% *}") || fail "Exec=$exec_line does not resolve"
echo "Exec=$exec_line resolves to $program"
# It must still be running after two seconds: the port-selection window is up.
status=0
QT_QPA_PLATFORM=offscreen timeout 2 $exec_line || status=$?
[ $status -eq 124 ] || fail "Exec=$exec_line ended with status $status instead of showing its window"
echo "started and showed its window"

step "the installed Wireshark dissector"
lua=/usr/share/vela-test/vela.lua
[ -f "$lua" ] || fail "$lua is not installed"
if command -v tshark >/dev/null; then
  tshark -G protocols -X "lua_script:$lua" 2>/dev/null | grep -q "	vela$" || fail "tshark does not load $lua"
  echo "tshark loads $lua"
fi
