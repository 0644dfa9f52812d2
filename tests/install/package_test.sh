#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks its fields and its contents: the
# files of the install tree under /usr, stripped programs, the libraries they link among the
# dependencies, and lintian's pedantic checks passed but for overrides that say why.
#   package_test.sh BUILD_DIR VERSION
set -uo pipefail
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
deb=$work/out/quelvaris_${version}-1_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { ls "$work/out" >&2; echo "FAIL: no $deb" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == quelvaris ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version-1" ]] || fail "Version: $(field Version)"
[[ $(field Section) == science ]] || fail "Section: $(field Section)"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
description=$(field Description)
[[ $(wc -l <<<"$description") -ge 3 ]] || fail "Description has no long part: $description"
awk 'length > 80' <<<"$description" | grep -q . && fail "Description lines longer than 80"
depends=$(field Depends)
names=" $(sed 's/ ([^)]*)//g; s/,/ /g' <<<"$depends") "
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  libqt6charts6; do
  [[ $names == *" $lib "* ]] || fail "Depends lacks $lib: $depends"
done

# The same files as an install into /usr (the Python module is a package of its own).
cmake --install "$build" --prefix "$work/tree/usr" --component Unspecified >/dev/null
diff <(cd "$work/tree" && find . -type f | sort) \
  <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort) \
  || fail "package contents differ from the install tree (< install, > package)"
dpkg-deb -x "$deb" "$work/root"
for p in quelvaris quelvaris-cli quelvaris-plot; do
  file -b "$work/root/usr/bin/$p" | grep -q ', stripped' || fail "usr/bin/$p is not stripped"
done

# Lintian: no error or warning, and no lapse of the hardening (some of whose tags are only
# informational). Each override in the package is preceded by the comment that says why.
lintian --pedantic --display-info "$deb" >"$work/lintian.txt" 2>&1
grep -E '^[EW]: |hardening-' "$work/lintian.txt" && fail "lintian --pedantic: errors or warnings"
overrides=$work/root/usr/share/lintian/overrides/quelvaris
if [[ -f $overrides ]]; then
  awk 'NF == 0 {prev = ""; next} !/^#/ && prev !~ /^#/ {bad = 1} {prev = $0} END {exit bad}' "$overrides" \
    || fail "a lintian override without the comment that says why: $(cat "$overrides")"
fi

if ((failed > 0)); then
  echo "package: $failed checks failed" >&2
  exit 1
fi
echo "package: every check passed ($(basename "$deb"), $(du -k "$deb" | cut -f1) KiB)"
