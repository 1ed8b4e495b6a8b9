#!/usr/bin/env bash
# The programs' release-facing command line, without a display:
#   test_command_line.sh BUILD_DIR SOURCE_DIR VERSION
# --version of both, --help of the tool and each command (stdout, 0), a
# usage error (64, one line on stderr), check --json on a description with
# bytes that are not UTF-8 (Python's json must read it), and the man pages
# rendering without warnings.
set -uo pipefail
build=$1 source=$2 version=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/portico-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs a program with no display; sets CODE, OUT, ERR.
run() {
  DISPLAY= "$@" >"$work/out" 2>"$work/err"
  CODE=$? OUT=$(cat "$work/out") ERR=$(cat "$work/err")
}

for program in portico portico-skin; do
  run "$build/$program" --version
  [[ $CODE == 0 && "$OUT" == "$program $version" && -z "$ERR" ]] && pass "$program --version: $OUT" ||
    fail "$program --version: exit $CODE, '$OUT', '$ERR'"
done

for command in "" check preview watch new; do
  run "$build/portico-skin" $command --help
  [[ $CODE == 0 && "$OUT" == usage:* && -z "$ERR" ]] && pass "portico-skin $command --help" ||
    fail "portico-skin $command --help: exit $CODE, '${OUT:0:80}', '$ERR'"
done

for args in "" "frob" "check" "check --frob skin.ini" "preview skin.ini" "preview skin.ini --scale 9 -o x.png" "watch skin.ini"; do
  run "$build/portico-skin" $args
  [[ $CODE == 64 && -z "$OUT" && $(wc -l <"$work/err") == 1 ]] && pass "usage error '$args': $ERR" ||
    fail "usage error '$args': exit $CODE, '$OUT', '$ERR'"
done

# A surrogate encoded in UTF-8 (ED A0 80) and an overlong dot (C0 AE).
cp "$source/demo/"* "$work/"
printf '[\xed\xa0\x80]\nx=1\n[\xc0\xae]\n' >>"$work/portico.ini"
(cd "$work" && "$build/portico-skin" check --json portico.ini >json.out)
if python3 -c 'import json, sys; f = json.load(open(sys.argv[1], encoding="utf-8", errors="strict"))
assert any("\ufffd" in x["message"] for x in f), f' "$work/json.out"; then
  pass "check --json with stray bytes is valid UTF-8 JSON"
else
  fail "check --json with stray bytes: $(head -c 300 "$work/json.out" | od -c | head -n 5)"
fi

for page in portico.1 portico-skin.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$build/docs/man/$page" 2>&1 >"$work/page")
  [[ -z "$warnings" && $(wc -l <"$work/page") -gt 20 ]] && pass "man $page renders without warnings" ||
    fail "man $page: $warnings"
done

[[ $failures == 0 ]]
