#!/usr/bin/env bash
# Runs scripts/screenshots into a temporary folder and fails when a state of
# the window cannot be reached, or when a picture the guide or the README
# names is not made (or not committed), or a link between the guide's pages
# leads nowhere: so the guide cannot go stale unseen.
#
#   test_guide_pictures.sh SOURCE_DIR BIN_DIR
set -uo pipefail
src="$1"
bin="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! CORVANE_BIN_DIR="$bin" "$src/scripts/screenshots" "$tmp/images"; then
  fail "scripts/screenshots did not reach every state (see above)"
fi

guide="$src/docs/guide"
mapfile -t pages < <(ls "$guide"/*.md)
[ ${#pages[@]} -gt 0 ] || fail "no guide pages in $guide"
mapfile -t named < <(grep -oh '](images/[^)]*)' "${pages[@]}" | sed 's/^](images\///; s/)$//' | sort -u)
[ ${#named[@]} -gt 0 ] || fail "the guide names no pictures"
for name in "${named[@]}"; do
  [ -s "$tmp/images/$name" ] || fail "the guide shows images/$name, but scripts/screenshots did not make it"
  [ -s "$guide/images/$name" ] || fail "images/$name is not committed in docs/guide/images"
done

# Links from page to page, and the README's picture and link.
for page in "${pages[@]}"; do
  while read -r target; do
    [ -f "$guide/$target" ] || fail "$(basename "$page") links to $target, which does not exist"
  done < <(grep -oh '](\([a-z0-9-]*\.md\)\(#[^)]*\)\?)' "$page" | sed 's/^](//; s/[#)].*$//')
done
while read -r target; do
  [ -e "$src/$target" ] || fail "README.md names $target, which does not exist"
done < <(grep -oh '](docs/guide/[^)#]*' "$src/README.md" | sed 's/^](//')
grep -q '](docs/guide/images/' "$src/README.md" || fail "README.md shows no picture of the window"

[ "$failures" -eq 0 ] && echo "every picture the guide names was made"
exit $((failures > 0))
