#!/usr/bin/env bash
# Builds the release into dist/ (or DIST_DIR):
#   portico_VERSION_amd64.deb              (CPack, from the install rules)
#   portico-VERSION-linux-x86_64.tar.gz    (the static programs, demo skin, docs, man pages)
#   portico-VERSION-windows-x86_64.zip     (portico.exe, portico-skin.exe, demo skin, docs)
#   scripts/package.sh [DIST_DIR]
# Builds build/ and build-win/ first (scripts/build.sh, build-windows.sh;
# an up-to-date tree costs nothing). Every file time inside is
# SOURCE_DATE_EPOCH, by default the time of the commit checked out, so two
# runs from the same commit give byte-identical archives.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dist=$(realpath -m "${1:-$root/dist}")
build=$root/build
build_win=$root/build-win

cd "$root"
if [[ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]]; then
  echo "package: the work tree has uncommitted changes; the release is not the commit's" >&2
fi
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH

bash scripts/build.sh default "$build"
if [[ -x "$build_win/portico.exe" ]]; then
  cmake --build "$build_win"
else
  bash scripts/build-windows.sh "$build_win"
fi
version=$(sed -n 's/^#define PORTICO_VERSION "\(.*\)"$/\1/p' "$build/generated/portico_version.h")
[[ -n "$version" ]] || { echo "package: no version in $build/generated/portico_version.h" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/portico-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$dist"

# The install tree, stripped: what the .deb and the Linux archive hold.
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr --strip >/dev/null
usr=$stage/usr
doc=$usr/share/doc/portico

cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" >/dev/null
cp "$work/cpack/portico_${version}_amd64.deb" "$dist/"

linux=portico-$version-linux-x86_64
python3 scripts/make_archive.py "$dist/$linux.tar.gz" "$linux" \
  portico="$usr/bin/portico" portico-skin="$usr/bin/portico-skin" demo="$usr/share/portico/demo" \
  README.md="$doc/README.md" LICENSE="$doc/LICENSE" THIRD-PARTY-NOTICES.md="$doc/THIRD-PARTY-NOTICES.md" \
  licenses="$doc/licenses" man/portico.1="$usr/share/man/man1/portico.1" \
  man/portico-skin.1="$usr/share/man/man1/portico-skin.1"

windows=portico-$version-windows-x86_64
python3 scripts/make_archive.py "$dist/$windows.zip" "$windows" \
  portico.exe="$build_win/portico.exe" portico-skin.exe="$build_win/portico-skin.exe" demo="$root/demo" \
  README.md="$root/README.md" LICENSE="$root/LICENSE" THIRD-PARTY-NOTICES.md="$root/THIRD-PARTY-NOTICES.md" \
  licenses="$doc/licenses"

# The sizes the README points to.
for program in "$usr/bin/portico" "$usr/bin/portico-skin" "$build_win/portico.exe" "$build_win/portico-skin.exe"; do
  echo "package: $(basename "$program"): $(stat -c %s "$program") bytes"
done
(cd "$dist" && ls -l "portico_${version}_amd64.deb" "$linux.tar.gz" "$windows.zip")
