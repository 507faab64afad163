#!/usr/bin/env bash
# Runs scripts/screenshots into a temporary folder and fails when a state of
# the window cannot be reached, or when a picture the guide or the README
# names is not made (or not committed), or a link between the guide's pages
# leads nowhere: so the guide cannot go stale unseen.
#
# The HTML the build renders is checked too: every link between its pages
# and to an anchor leads somewhere, and no Markdown is left in the text.
#
#   test_guide_pictures.sh SOURCE_DIR BIN_DIR HTML_DIR
set -uo pipefail
src="$1"
bin="$2"
html="$3"
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

for page in "$html"/*.html; do
  name=$(basename "$page")
  while read -r link; do
    file=${link%%#*}
    [ -n "$file" ] || file=$name
    [ -f "$html/$file" ] || { fail "$name links to $file, which was not rendered"; continue; }
    if [[ "$link" == *"#"* ]]; then
      grep -q "id=\"${link#*#}\"" "$html/$file" || fail "$name links to $link, but $file has no such heading"
    fi
  done < <(grep -oh 'href="[^"]*"' "$page" | sed 's/^href="//; s/"$//' | grep -v '^[a-z]*:')
  while read -r picture; do
    [ -s "$html/$picture" ] || fail "$name shows $picture, which was not copied"
  done < <(grep -oh 'src="[^"]*"' "$page" | sed 's/^src="//; s/"$//')
  if grep -n '\*\*\|](\|`' "$page"; then fail "$name still holds Markdown (above)"; fi
done
[ -f "$html/index.html" ] || fail "no index.html in $html"

[ "$failures" -eq 0 ] && echo "every picture the guide names was made"
exit $((failures > 0))
