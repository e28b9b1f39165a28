#!/usr/bin/env bash
# Makes the Debian package of the build folder (cpack) and checks it: the files
# it installs, the packages it depends on, and the reader run from an
# extracted copy. Run after the build; prints the package's name.
set -euo pipefail
cd "$(dirname "$0")/../build"
cpack -G DEB >cpack.log || { cat cpack.log; exit 1; }
deb=$(ls -t velto_*.deb | head -n 1)

contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/velto ./usr/bin/velto-update ./usr/bin/velto-import ./usr/bin/velto-dbbuild \
            ./usr/share/velto/VT2014.m88 ./usr/share/velto/help14.html ./usr/share/velto/default.ppj \
            ./usr/share/velto/velto14.alias ./usr/share/velto/fonts/fonts.conf \
            ./usr/share/applications/velto.desktop ./usr/share/icons/hicolor/48x48/apps/velto.png \
            ./usr/share/icons/hicolor/scalable/apps/velto.svg \
            ./usr/share/metainfo/io.github.mokume88.velto.metainfo.xml; do
  grep -q " $file\$" <<<"$contents" || { echo "$deb lacks $file" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6webenginewidgets6 libqt6svg6 libqt6network6 fonts-ipafont-gothic fonts-urw-base35 xz-utils; do
  grep -qw "$package" <<<"$depends" || { echo "$deb does not depend on $package" >&2; exit 1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
version=$(QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$root/home" "$root/usr/bin/velto" --version)
grep -q '^建築基準法（昭和二十五年法律第二百一号）$' <<<"$version" || {
  echo "the extracted reader does not list 建築基準法:" >&2
  echo "$version" >&2
  exit 1
}
echo "$deb"
