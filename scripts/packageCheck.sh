#!/usr/bin/env bash
# Builds the Debian package from a finished build folder (default: build/) and
# checks it: lintian (no error, no warning), the files it installs, its
# dependencies, the desktop entry (desktop-file-validate), the AppStream
# metainfo (appstreamcli, no error, no warning), the data-file type, and the
# three programs run --version from a scratch root the package was unpacked into.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
source scripts/packages.sh
ensure_packages "${PACKAGE_PACKAGES[@]}"
scripts/manual.sh "$build"
(cd "$build" && cpack -G DEB -B "$PWD/package" >/dev/null)
deb=$(ls "$build"/package/ozmar_*_amd64.deb)
echo "package: $deb"
# lintian runs as root here (the build does); its note about that is not a finding.
status=0
findings=$(lintian --pedantic --info --fail-on error,warning "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$findings" || true
[ "$status" -eq 0 ] || { echo "lintian found errors or warnings" >&2; exit 1; }
echo "lintian: no error, no warning"
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for f in usr/bin/ozmar usr/bin/ozmar-tool usr/bin/corvane-sim usr/share/applications/org.example.ozmar.desktop \
         usr/share/metainfo/org.example.ozmar.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/ozmar.svg usr/share/mime/packages/ozmar.xml \
         usr/share/man/man1/ozmar.1.gz usr/share/man/man1/ozmar-tool.1.gz usr/share/man/man1/corvane-sim.1.gz \
         usr/share/doc/ozmar/copyright usr/share/doc/ozmar/changelog.gz usr/share/doc/ozmar/manual/manual.html \
         usr/share/doc/ozmar/manual/manual.md usr/share/doc/ozmar/manual/images/graph-2ch.png; do
    grep -qx "./$f" <<<"$contents" || { echo "missing from the package: $f" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6printsupport6 libdevil1c2; do
    grep -q "$d" <<<"$depends" || { echo "no dependency on $d: $depends" >&2; exit 1; }
done
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/org.example.ozmar.desktop"
appstream=$(appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.example.ozmar.metainfo.xml" 2>&1) || {
    echo "$appstream" >&2; exit 1; }
if grep -qE '^[EW]:' <<<"$appstream"; then echo "$appstream" >&2; exit 1; fi
echo "appstreamcli: $(tail -n 1 <<<"$appstream")"
python3 -c 'import sys, xml.etree.ElementTree as t; t.parse(sys.argv[1])' "$root/usr/share/mime/packages/ozmar.xml"
# The data-file type: a recording is one by its beginning, another .dat file is not.
if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
    cp /usr/share/mime/packages/freedesktop.org.xml "$root/usr/share/mime/packages/"
    update-mime-database "$root/usr/share/mime" >/dev/null 2>&1
    "$build/tools/corvane-sim/corvane-sim" write "$root/rec.dat" --seconds 5 >/dev/null
    printf 'not a recording\n' > "$root/other.dat"
    mimeOf() { XDG_DATA_DIRS="$root/usr/share" XDG_DATA_HOME="$root/none" gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'; }
    [ "$(mimeOf "$root/rec.dat")" = application/x-ozmar-data ] || { echo "a recording is not recognised: $(mimeOf "$root/rec.dat")" >&2; exit 1; }
    [ "$(mimeOf "$root/other.dat")" != application/x-ozmar-data ] || { echo "another .dat file is claimed" >&2; exit 1; }
else
    echo "data-file type not checked: shared-mime-info or gio is missing"
fi
for p in ozmar ozmar-tool corvane-sim; do
    "$root/usr/bin/$p" --version
done
echo "package check passed"
