#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh built in the given build folder (build-package/ by
# default): lintian finds no error, the desktop entry, metainfo, scene file type and manual page are
# valid, and the program unpacked into a scratch root (dpkg -x) runs from there, from an empty working
# directory, on its own installed data. Exits non-zero when any check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}
shopt -s nullglob
debs=("$dir"/knotwork_*_amd64.deb)
if [ ${#debs[@]} -ne 1 ]; then
    echo "package check: expected one knotwork_*_amd64.deb in $dir, found ${#debs[@]}" >&2
    exit 1
fi
deb=$(realpath "${debs[0]}")
version=$(dpkg-deb -f "$deb" Version)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
work=$scratch/work
mkdir -p "$root" "$work"
share=$root/usr/share
failures=()
fail() {
    echo "package check: $1" >&2
    failures+=("$1")
}

echo "== lintian $(basename "$deb")"
lintian --fail-on error "$deb" || fail "lintian reports errors"

# Owned by root, folders 755, files 644 but the program 755: whatever the packager's umask was.
dpkg-deb -c "$deb" | awk '$2 != "root/root" ||
    ($1 != "drwxr-xr-x" && $1 != "-rw-r--r--" && !($1 == "-rwxr-xr-x" && $6 == "./usr/bin/knotwork")) {print; bad = 1}
    END {exit bad}' || fail "the package holds files of unusual owner or mode"

dpkg -x "$deb" "$root"

echo "== desktop entry, metainfo, scene file type, manual page"
desktop-file-validate "$share"/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml || fail "appstreamcli validate"
# The metainfo, its desktop entry and the icon agree with each other.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
grep -q "<release version=\"$version\"" "$share"/metainfo/*.metainfo.xml ||
    fail "the metainfo has no release entry for $version"
zcat "$share/doc/knotwork/changelog.gz" | head -1 | grep -q "^knotwork ($version)" ||
    fail "the changelog's newest entry is not $version"
mkdir -p "$scratch/mime/packages"
cp "$share"/mime/packages/*.xml "$scratch/mime/packages/"
if XDG_DATA_DIRS=$scratch update-mime-database "$scratch/mime"; then
    grep -q ':application/x-knotwork-scene:\*\.nbs$' "$scratch/mime/globs2" ||
        fail "*.nbs is not application/x-knotwork-scene"
else
    fail "update-mime-database"
fi
manual=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$share/man/man1/knotwork.1.gz" 2>&1 >/dev/null)
[ -z "$manual" ] || fail "the manual page has warnings: $manual"

echo "== the unpacked program"
export PATH=$root/usr/bin:$PATH
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
cd "$work"
# Nothing of the source tree or build folder can be reached from here.
[ "$(command -v knotwork)" = "$root/usr/bin/knotwork" ] || fail "knotwork is not the unpacked one"
[ "$(knotwork --version)" = "knotwork $version" ] || fail "knotwork --version does not say $version"
example=$share/knotwork/examples/coons.nbs
if knotwork --export-obj "$example" coons.obj; then
    # The patch example holds curves and a surface: polylines and triangles.
    head -1 coons.obj | grep -q "^# Knotwork $version" || fail "the OBJ file lacks its header"
    grep -q '^l ' coons.obj || fail "the OBJ file has no curve"
    grep -q '^f ' coons.obj || fail "the OBJ file has no triangle"
    # Every point, line and face names a vertex of the file.
    awk '/^v /{v++} /^[plf] /{for(i=2;i<=NF;i++){split($i,a,"/"); if(a[1]<1||a[1]>v) bad=1}} END{exit bad}' \
        coons.obj || fail "the OBJ file names a vertex it does not have"
else
    fail "knotwork --export-obj"
fi

# The view titles need the installed font texture; without it the program says so.
render() {
    local attempt
    # A virtual display that cannot be reached now and then on a loaded machine: one more try.
    for attempt in 1 2; do
        xvfb-run -a -s '-screen 0 1600x1000x24' knotwork --render "$example" "$1" --size 320x200 >"$1.out" &&
            return 0
    done
    return 1
}
if render views.png; then
    file views.png | grep -q 'PNG image data, 320 x 200' || fail "--render wrote no 320 x 200 PNG"
    ! grep -q 'failed font load' views.png.out || fail "the unpacked program did not find its font texture"
    # Without the unpacked copy the font must be missing: else it came from somewhere else.
    rm "$share/knotwork/data.tga"
    if render no-font.png; then
        grep -q 'failed font load' no-font.png.out || fail "the font texture was found outside the unpacked package"
    else
        fail "knotwork --render without the font texture"
    fi
else
    fail "knotwork --render"
fi

if [ ${#failures[@]} -gt 0 ]; then
    printf 'package check FAILED: %s\n' "${failures[@]}" >&2
    exit 1
fi
echo "package check passed: $(basename "$deb"), $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
