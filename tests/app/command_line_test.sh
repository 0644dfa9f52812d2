#!/usr/bin/env bash
# The desktop program answers --help and --version without a display: no display variable,
# no Qt platform chosen, nothing on standard error.
#   command_line_test.sh PROGRAM VERSION
set -uo pipefail
program=$1 version=$2
failed=0
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }

# arguments | exit status | a line standard output must hold (a regular expression)
cases=(
  "--version|0|^quelvaris $version\$"
  "-v|0|^quelvaris $version\$"
  "--help|0|^Usage: quelvaris \[options\] \[file\]\$"
  "-h|0|^  -v, --version  "
  "--help-all|0|^  file  "
  "flows.txt --version|0|^quelvaris $version\$"
  "-platform xcb --help|0|^Usage: quelvaris "
)
for c in "${cases[@]}"; do
  IFS='|' read -r args status line <<<"$c"
  read -ra argv <<<"$args"
  err=$(mktemp)
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "${argv[@]}" 2>"$err")
  got=$?
  [[ $got == "$status" ]] || fail "quelvaris $args: exit status $got, not $status"
  grep -qE "$line" <<<"$out" || fail "quelvaris $args: no line matching '$line' in: $out"
  [[ ! -s $err ]] || fail "quelvaris $args wrote to standard error: $(cat "$err")"
  rm -f "$err"
done
# An option nobody knows is refused without a display, as Qt's parser refuses one.
for args in "--bogus" "--bogus=3 flows.txt"; do
  read -ra argv <<<"$args"
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "${argv[@]}" 2>&1 >/dev/null)
  got=$?
  [[ $got == 1 && $err == "quelvaris: Unknown option 'bogus'." ]] ||
    fail "quelvaris $args: exit status $got, standard error: $err"
done
# An answer that cannot be written is no success.
if [[ -w /dev/full ]]; then
  env -u DISPLAY "$program" --version >/dev/full 2>/dev/null && fail "quelvaris --version >/dev/full exited 0"
fi

((failed == 0)) || { echo "desktop command line: $failed checks failed" >&2; exit 1; }
echo "desktop command line: every check passed"
