#!/usr/bin/env bash
# Checks a release made by scripts/package.sh:
#   tests/release/check-release.sh DIST_DIR BUILD_DIR BUILD_WIN_DIR
# the install tree, the .deb (contents, lintian, unpacked into a scratch
# root with portico --version working from there), both archives'
# contents, and the Windows programs' resources. Reproducibility is the
# caller's (tests/run-all.sh packages twice and compares).
set -uo pipefail

dist=$1 build=$2 build_win=$3
version=$(sed -n 's/^#define PORTICO_VERSION "\(.*\)"$/\1/p' "$build/generated/portico_version.h")
work=$(mktemp -d "${TMPDIR:-/tmp}/portico-release-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Lists every file of a tree (or archive listing on stdin) but the licence
# texts, which the notices name one by one.
without_licences() { grep -v '/licenses/.' | sort; }

# The install tree: exactly these files.
expected_tree="usr/bin/portico
usr/bin/portico-skin
usr/share/doc/portico/LICENSE
usr/share/doc/portico/README.md
usr/share/doc/portico/THIRD-PARTY-NOTICES.md
usr/share/doc/portico/copyright
usr/share/man/man1/portico-skin.1
usr/share/man/man1/portico.1
$(cd "$build/.." && for f in demo/*; do echo "usr/share/portico/$f"; done)"
DESTDIR=$work/stage cmake --install "$build" --prefix /usr >/dev/null
tree=$(cd "$work/stage" && find . -type f | sed 's|^\./||' | without_licences)
[[ "$tree" == "$(sort <<<"$expected_tree")" ]] && pass "install tree" ||
  fail "install tree differs: $(diff <(sort <<<"$expected_tree") <(echo "$tree") | tr '\n' ' ')"
[[ -s "$work/stage/usr/share/doc/portico/licenses/PorticoSans.txt" ]] && pass "the face's licence is installed" ||
  fail "no licenses/PorticoSans.txt"

deb=$dist/portico_${version}_amd64.deb
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' | without_licences)
for f in usr/bin/portico usr/bin/portico-skin usr/share/man/man1/portico.1.gz usr/share/man/man1/portico-skin.1.gz \
  usr/share/doc/portico/copyright usr/share/doc/portico/changelog.gz usr/share/portico/demo/portico.ini; do
  grep -qx "$f" <<<"$contents" || fail ".deb lacks $f"
done
fields=$(dpkg-deb -f "$deb" Package Version Section Recommends Depends)
grep -q '^Section: utils$' <<<"$fields" && grep -q '^Recommends: xdg-utils$' <<<"$fields" &&
  grep -q "^Version: $version\$" <<<"$fields" && pass ".deb fields: $(tr '\n' ' ' <<<"$fields")" ||
  fail ".deb fields: $fields"
if lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1; then
  pass "lintian: no errors"
else
  fail "lintian: $(grep '^E:' "$work/lintian.log" | head -n 5 | tr '\n' ' ')"
fi
# Installed by dpkg itself into a scratch root with a database of its own
# (the C library it depends on is the host's, so that one check is waived).
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
if dpkg --root="$root" --force-depends -i "$deb" >"$work/dpkg.log" 2>&1; then
  out=$("$root/usr/bin/portico" --version 2>&1) && [[ "$out" == "portico $version" ]] &&
    pass "portico --version installed by dpkg into a scratch root: $out" || fail "portico --version from the .deb: $out"
else
  fail "dpkg -i into a scratch root: $(tail -n 3 "$work/dpkg.log" | tr '\n' ' ')"
fi

# The archives: the programs, the demo skin and the documents under one folder.
linux=portico-$version-linux-x86_64
listing=$(tar -tzf "$dist/$linux.tar.gz" | without_licences)
for f in portico portico-skin demo/portico.ini README.md LICENSE THIRD-PARTY-NOTICES.md licenses/ \
  man/portico.1 man/portico-skin.1; do
  grep -qx "$linux/$f" <<<"$listing" || fail "$linux.tar.gz lacks $f"
done
verbose=$(tar -tvzf "$dist/$linux.tar.gz")
grep -q "^-rwxr-xr-x root/root .* $linux/portico$" <<<"$verbose" &&
  pass "$linux.tar.gz: an executable portico owned by root" || fail "$linux.tar.gz: portico's mode or owner"
windows=portico-$version-windows-x86_64
listing=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' \
  "$dist/$windows.zip" | without_licences)
for f in portico.exe portico-skin.exe demo/portico.ini README.md LICENSE THIRD-PARTY-NOTICES.md licenses/; do
  grep -qx "$windows/$f" <<<"$listing" || fail "$windows.zip lacks $f"
done
pass "archive contents checked"

# The Windows launcher's resources: version (16), manifest (24), icon group (14).
resources=$(wrestool -l "$build_win/portico.exe" 2>&1)
for type in 'type=version' 'type=24' 'type=group_icon'; do
  grep -q -- "$type" <<<"$resources" || fail "portico.exe has no $type resource: $(tr '\n' ' ' <<<"$resources")"
done
wrestool -x --raw -t version "$build_win/portico.exe" | tr -d '\0' >"$work/version.res"
grep -q "ProductVersion$version" "$work/version.res" &&
  pass "portico.exe: version $version" || fail "portico.exe's version resource does not say $version"

[[ $failures == 0 ]] && echo "check-release: all passed" || echo "check-release: $failures failed"
[[ $failures == 0 ]]
