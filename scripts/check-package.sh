#!/usr/bin/env bash
# Packs the build in BUILD_DIR (argument 1), unpacks the package into a temporary root and
# starts both programs from the unpacked paths, as a club's PC would after installing it.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=$(realpath "${1:-build}")
work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

deb=$(SKIP_BUILD=1 BUILD_DIR="$BUILD_DIR" PACKAGE_DIR="$work/out" scripts/package.sh | tail -n 1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
[ "$(basename "$deb")" = "cronovolta_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "package name $(basename "$deb") does not carry version $version"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no Qt runtime in Depends"

root=$work/root
dpkg -x "$deb" "$root"
for f in usr/bin/cronovolta usr/bin/cronovolta-cli usr/share/man/man1/cronovolta.1.gz \
  usr/share/man/man1/cronovolta-cli.1.gz usr/share/doc/cronovolta/changelog.gz \
  usr/share/doc/cronovolta/README.Debian usr/share/icons/hicolor/scalable/apps/cronovolta.svg \
  usr/share/icons/hicolor/48x48/apps/cronovolta.png; do
  [ -e "$root/$f" ] || fail "$f is missing"
done
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
  fail "the AppStream metadata is refused"

[ "$("$root/usr/bin/cronovolta-cli" --version)" = "cronovolta-cli $version" ] ||
  fail "cronovolta-cli --version"
[ "$("$root/usr/bin/cronovolta" --version)" = "cronovolta $version" ] || fail "cronovolta --version"

# A user who cannot write the program's folder gets ~/Cronovolta. Root writes anywhere, so
# it plays an ordinary user.
chmod 755 "$work"
mkdir -p "$work/home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$work/home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
  chmod a-w "$root/usr/bin"
fi
run() { env HOME="$work/home" QT_QPA_PLATFORM=offscreen "${as_user[@]}" "$@"; }

run "$root/usr/bin/cronovolta-cli" events >/dev/null || fail "cronovolta-cli events"
[ -d "$work/home/Cronovolta" ] || fail "cronovolta-cli made no ~/Cronovolta"
rm -rf "$work/home/Cronovolta"

# The first start waits in the settings dialog: alive with its data folder is a start.
env HOME="$work/home" QT_QPA_PLATFORM=offscreen "${as_user[@]}" "$root/usr/bin/cronovolta" \
  >"$work/gui.log" 2>&1 &
pid=$!
for _ in $(seq 1 120); do
  [ -d "$work/home/Cronovolta" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
sleep 2
kill -0 "$pid" 2>/dev/null || { cat "$work/gui.log" >&2; fail "the desktop program ended at start"; }
[ -d "$work/home/Cronovolta" ] || fail "the desktop program made no ~/Cronovolta"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""
echo "check-package: $(basename "$deb") installs and starts"
