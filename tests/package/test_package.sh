#!/usr/bin/env bash
# test_package.sh CPACK CPACK_CONFIG VERSION: builds the package into a
# temporary folder and checks it.
set -uo pipefail
cpack=$1
config=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work" /tmp/test_package.$$' EXIT
if ! "$cpack" -G DEB --config "$config" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
deb_dir=$work
passed=0
failed=0
check() { # check "what" command...
  local what=$1
  shift
  if "$@" >/tmp/test_package.$$ 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $what"
    sed 's/^/    /' /tmp/test_package.$$
  fi
}
debs=("$deb_dir"/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb in $deb_dir"
  exit 1
fi
deb=${debs[0]}
root=$work/root
check "unpacks" dpkg-deb -x "$deb" "$root"

check "unpacked corvane-cli --version" bash -c "[ \"\$('$root/usr/bin/corvane-cli' --version)\" = 'corvane-cli $version' ]"
for program in corvane-configurator corvane-rc-sim; do
  check "$program --version" bash -c "'$root/usr/bin/$program' --version | grep -qx '$program $version'"
done
check "runtime dependencies from the shared libraries" bash -c \
  "dpkg-deb -f '$deb' Depends | grep -q libqt6serialport6 && dpkg-deb -f '$deb' Depends | grep -q qt6-qpa-plugins"

desktop=$root/usr/share/applications/com.corvane.Configurator.desktop
check "desktop entry where menus look" test -f "$desktop"
check "desktop entry is valid" desktop-file-validate "$desktop"
check "desktop entry opens the file it is given" grep -qx 'Exec=corvane-configurator %f' "$desktop"
check "desktop entry handles project files" grep -qx 'MimeType=application/x-corvane-project;' "$desktop"
check "icon in the hicolor theme" test -f "$root/usr/share/icons/hicolor/scalable/apps/corvane-configurator.svg"
for size in 16 32 48 256; do
  check "${size}px icon is a ${size}x${size} PNG" bash -c \
    "file '$root/usr/share/icons/hicolor/${size}x${size}/apps/corvane-configurator.png' | grep -q 'PNG image data, $size x $size'"
done

# The MIME database built from the package's file alone maps *.cvp to our type.
check "MIME type for .cvp" bash -c "cp -r '$root/usr/share/mime' '$root/mime-db' && update-mime-database '$root/mime-db' \
  && grep -q 'application/x-corvane-project:\*\.cvp' '$root/mime-db/globs2'"
check "AppStream metadata is valid" appstreamcli validate --no-net \
  "$root/usr/share/metainfo/com.corvane.Configurator.metainfo.xml"

rule=$root/usr/lib/udev/rules.d/70-corvane-serial.rules
check "udev rule where udev reads packaged rules" test -f "$rule"
check "udev rule gives the seat's user the FTDI adapters" bash -c \
  "grep -v '^#' '$rule' | grep 'SUBSYSTEM==\"tty\"' | grep '0403' | grep -q 'TAG+=\"uaccess\"'"
for page in corvane-cli corvane-rc-sim corvane-configurator; do
  check "manual page of $page" bash -c "zcat '$root/usr/share/man/man1/$page.1.gz' | grep -q '^\.TH'"
done
guide=$root/usr/share/corvane-configurator/guide
check "user guide where Help > User Guide looks for it" test -f "$guide/index.html"
check "every picture the guide shows is in the package" bash -c \
  "cd '$guide' && for p in \$(grep -oh 'src=\"images/[^\"]*' *.html | sed 's/^src=\"//' | sort -u); do test -s \"\$p\" || exit 1; done"
check "copyright and changelog" test -f "$root/usr/share/doc/corvane-configurator/copyright" -a \
  -f "$root/usr/share/doc/corvane-configurator/changelog.gz"

lintian_args=(--fail-on error)
[ "$(id -u)" -eq 0 ] && lintian_args+=(--allow-root)
check "lintian reports no errors" lintian "${lintian_args[@]}" "$deb"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
