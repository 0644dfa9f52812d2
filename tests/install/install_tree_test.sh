#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets: every file in its
# place and nothing else, a valid desktop entry and metainfo, icons of the sizes their folders
# say, and programs that run from the installed files.
#   install_tree_test.sh BUILD_DIR SOURCE_DIR APP_ID VERSION [PYTHON SITE_DIR MODULE_FILE]
set -uo pipefail
build=$1 source=$2 id=$3 version=$4
python=${5:-} site=${6:-} module=${7:-}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install" >&2; exit 1; }

sizes=(16 22 24 32 48 64 128 256)
expected=(
  bin/quelvaris bin/quelvaris-cli bin/quelvaris-plot
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
  share/quelvaris/examples/three_models.txt
  share/quelvaris/examples/comma_header_missing.csv
)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/$id.png"); done
# The manual pages are checked when the source tree has them.
for page in "$source"/docs/man/*.1; do
  [[ -e $page ]] && expected+=("share/man/man1/$(basename "$page")")
done

if [[ -n $python ]]; then
  expected+=("$site/quelvaris/__init__.py" "$site/quelvaris/$module")
fi

diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) \
  || fail "installed files differ from the expected list (< expected, > installed)"
for p in quelvaris quelvaris-cli quelvaris-plot; do
  [[ -x $prefix/bin/$p ]] || fail "bin/$p is not executable"
done
for s in "${sizes[@]}"; do
  png=$prefix/share/icons/hicolor/${s}x${s}/apps/$id.png
  file -b "$png" | grep -q "PNG image data, $s x $s," || fail "$png is not a $s px PNG: $(file -b "$png")"
done

desktop=$prefix/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null \
  || fail "appstreamcli validate: $(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml")"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x $prefix/bin/$exec_program ]] || fail "Exec=$exec_program is not an installed program"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's Icon is not $id"
grep -q "MimeType=.*text/tab-separated-values;" "$desktop" && grep -q "MimeType=.*text/csv;" "$desktop" \
  || fail "the desktop entry does not open tab-separated and CSV files"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" \
  || fail "the metainfo does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" \
  || fail "the metainfo's release is not $version"

# The programs, run from the installed files on the installed examples.
examples=$prefix/share/quelvaris/examples
out=$("$prefix/bin/quelvaris-cli" --version) && [[ $out == "quelvaris-cli $version" ]] \
  || fail "quelvaris-cli --version said: $out"
out=$("$prefix/bin/quelvaris-cli" "$examples/three_models.txt" --columns 4 --all --quiet) \
  && grep -q '^RMSE:' <<<"$out" || fail "quelvaris-cli on the installed example: $out"
out=$("$prefix/bin/quelvaris-cli" "$examples/comma_header_missing.csv" --columns 3 --all --comma \
  --header --quiet) && grep -q '^KGE:' <<<"$out" || fail "quelvaris-cli on the comma example: $out"
"$prefix/bin/quelvaris-plot" "$examples/three_models.txt" --columns 4 \
  --all --quiet --output "$prefix/flows.png" && file -b "$prefix/flows.png" | grep -q '^PNG image' \
  || fail "quelvaris-plot on the installed example wrote no picture"

if [[ -n $python ]]; then
  out=$(cd "$prefix" && PYTHONPATH="$prefix/$site" "$python" -c \
    'import quelvaris; print(quelvaris.evaluate([1, 2, 3, 4, 5], [[1, 2, 3, 4, 6]])["rmse"][0])') \
    && [[ $out == 0.4472135954999579 ]] || fail "the installed Python module: $out"
fi

if ((failed > 0)); then
  echo "install tree: $failed checks failed" >&2
  exit 1
fi
echo "install tree: every check passed"
