#!/usr/bin/env bash
# The Debian package as cpack builds it (into a scratch folder): it holds every program a
# user runs, depends on Qt SQL's SQLite driver, recommends the PostgreSQL one, and lintian
# finds no error in it. usage: package_test.sh BUILD_DIR
set -euo pipefail
build="$1"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log" >&2; fail "cpack"; }
deb="$(ls "$out"/*.deb)"
dpkg-deb -c "$deb" | awk '{print $NF}' >"$out/files"
for file in ./usr/bin/zr-station ./usr/bin/zr-register ./usr/bin/zr-programmer-sim \
  ./usr/bin/zr-image ./usr/share/man/man1/zr-register.1.gz ./usr/share/doc/zr-station/copyright; do
  grep -qxF "$file" "$out/files" || { cat "$out/files" >&2; fail "$file is not in the package"; }
done
dpkg-deb -f "$deb" Depends | grep -qw libqt6sql6-sqlite || fail "Depends lacks libqt6sql6-sqlite"
dpkg-deb -f "$deb" Recommends | grep -qw libqt6sql6-psql || fail "Recommends lacks libqt6sql6-psql"
lintian --fail-on error "$deb" || fail "lintian reports errors"
echo "$(basename "$deb"): $(wc -l <"$out/files") entries, lintian clean of errors"
