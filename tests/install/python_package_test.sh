#!/usr/bin/env bash
# Builds the python3-quelvaris package from the build folder and checks its fields, that it
# holds exactly the module's install rules under /usr, and that the module it holds runs.
#   python_package_test.sh BUILD_DIR VERSION PYTHON
set -uo pipefail
build=$1 version=$2 python=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }

cpack --config "$build/CPackPythonConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
deb=$work/out/python3-quelvaris_${version}-1_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { ls "$work/out" >&2; echo "FAIL: no $deb" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == python3-quelvaris ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version-1" ]] || fail "Version: $(field Version)"
[[ $(field Section) == python ]] || fail "Section: $(field Section)"
description=$(field Description)
awk 'length > 80' <<<"$description" | grep -q . && fail "Description lines longer than 80"
depends=$(field Depends)
minor=$("$python" -c 'import sys; print(sys.version_info[1])')
for want in "python3 (>= 3.$minor~)" "python3 (<< 3.$((minor + 1)))" "python3-numpy (>= " \
  python3-numpy-abi libc6 libstdc++6; do
  [[ $depends == *"$want"* ]] || fail "Depends lacks $want: $depends"
done

cmake --install "$build" --prefix "$work/tree/usr" --component python >/dev/null
diff <(cd "$work/tree" && find . -type f | sort) \
  <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort) \
  || fail "package contents differ from the module's install (< install, > package)"
dpkg-deb -x "$deb" "$work/root"
site=$(cd "$work/root" && find . -name __init__.py -path '*/quelvaris/*' -printf '%h\n')
[[ $site == ./usr/lib/python3/dist-packages/quelvaris ]] || fail "the module is in $site"
file -b "$work/root/$site"/_core*.so | grep -q ', stripped' || fail "the module is not stripped"
out=$(cd "$work" && PYTHONPATH="$work/root/usr/lib/python3/dist-packages" "$python" -c \
  'import quelvaris; print(quelvaris.evaluate([1, 2, 3, 4, 5], [[1, 2, 3, 4, 6]])["rmse"][0])') \
  && [[ $out == 0.4472135954999579 ]] || fail "the packaged module: $out"

# Its own copyright and changelog, as every Debian package carries; lintian finds no error or
# warning.
doc=$work/root/usr/share/doc/python3-quelvaris
cmp -s "$doc/copyright" "$(dirname "$0")/../../cmake/debian/copyright" || fail "no copyright file"
[[ $(gzip -dc "$doc/changelog.Debian.gz" | head -1) == \
  "python3-quelvaris ($version-1) unstable; urgency=medium" ]] || fail "no changelog of $version-1"
lintian --pedantic "$deb" >"$work/lintian.txt" 2>&1
grep -E '^[EW]: ' "$work/lintian.txt" && fail "lintian --pedantic: errors or warnings"

if ((failed > 0)); then
  echo "python package: $failed checks failed" >&2
  exit 1
fi
echo "python package: every check passed ($(basename "$deb"), $(du -k "$deb" | cut -f1) KiB)"
