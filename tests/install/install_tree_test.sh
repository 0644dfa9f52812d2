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
  share/doc/quelvaris/copyright share/doc/quelvaris/changelog.Debian.gz
  share/doc/quelvaris/statistics.md share/doc/quelvaris/batch-output.md
  share/doc/quelvaris/batch-output.schema.json
  share/lintian/overrides/quelvaris
)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/$id.png"); done
for gauge in "$source"/examples/gauges/*.txt; do
  expected+=("share/quelvaris/examples/gauges/$(basename "$gauge")")
done
pages=(quelvaris quelvaris-cli quelvaris-plot)
for page in "${pages[@]}"; do expected+=("share/man/man1/$page.1.gz"); done

if [[ -n $site ]]; then
  expected+=("$site/quelvaris/__init__.py" "$site/quelvaris/$module"
    share/doc/python3-quelvaris/copyright share/doc/python3-quelvaris/changelog.Debian.gz
    share/lintian/overrides/python3-quelvaris)
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

# Compressed as Debian wants them: gzip -9 without a name or time stamp (flags and time zero),
# and the same text as the source.
for gz in "${pages[@]/%/.1.gz}" changelog.Debian.gz; do
  [[ $gz == *.1.gz ]] && gz=$prefix/share/man/man1/$gz || gz=$prefix/share/doc/quelvaris/$gz
  [[ $(od -An -tx1 -N10 "$gz" | tr -d ' ') == 1f8b0800000000000203 ]] \
    || fail "$gz is not gzip -9n: $(od -An -tx1 -N10 "$gz")"
done
for page in "${pages[@]}"; do
  cmp -s <(gzip -dc "$prefix/share/man/man1/$page.1.gz") "$source/docs/man/$page.1" \
    || fail "share/man/man1/$page.1.gz is not docs/man/$page.1"
done
doc=$prefix/share/doc/quelvaris
[[ $(head -1 "$doc/copyright") == "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ]] \
  || fail "the copyright file is not in the machine-readable format"
grep -qx 'License: GPL-3+' "$doc/copyright" || fail "the copyright file does not name GPL-3+"
[[ $(gzip -dc "$doc/changelog.Debian.gz" | head -1) == "quelvaris ($version-1) unstable; urgency=medium" ]] \
  || fail "changelog.Debian.gz does not begin with version $version-1"

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

out=$(env -u DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/quelvaris" --version 2>&1) \
  && [[ $out == "quelvaris $version" ]] || fail "quelvaris --version said: $out"
# The README's pipeline, on the installed programs and examples.
PATH=$prefix/bin:$PATH python3 "$source/tests/docs/readme_pipeline_test.py" "$source/README.md" \
  "$examples" || fail "the README's pipeline section on the installed files"
if [[ -n $python && $python != - ]]; then
  out=$(cd "$prefix" && PYTHONPATH="$prefix/$site" "$python" -c \
    'import quelvaris; print(quelvaris.evaluate([1, 2, 3, 4, 5], [[1, 2, 3, 4, 6]])["rmse"][0])') \
    && [[ $out == 0.4472135954999579 ]] || fail "the installed Python module: $out"
fi

if ((failed > 0)); then
  echo "install tree: $failed checks failed" >&2
  exit 1
fi
echo "install tree: every check passed"
