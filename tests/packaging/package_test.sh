#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks what it holds: the programs, the
# desktop entry, the icons, the man pages, the documentation and the library dependencies.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "package_test: $*" >&2
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
debs=("$work"/netvora_"$version"_*.deb)
[ -f "${debs[0]}" ] || fail "no netvora_${version}_ARCH.deb written"
deb=${debs[0]}

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in \
  ./usr/bin/netvora ./usr/bin/netvora-cli ./usr/bin/printer-sim \
  ./usr/share/applications/netvora.desktop \
  ./usr/share/icons/hicolor/scalable/apps/netvora.svg \
  ./usr/share/icons/hicolor/48x48/apps/netvora.png \
  ./usr/share/man/man1/netvora.1.gz ./usr/share/man/man1/netvora-cli.1.gz \
  ./usr/share/man/man1/printer-sim.1.gz \
  ./usr/share/doc/netvora/README.md ./usr/share/doc/netvora/copyright \
  ./usr/share/doc/netvora/changelog.gz; do
  grep -qxF "$path" <<<"$contents" || fail "missing $path"
done

# Dependencies come from dpkg-shlibdeps: the C and C++ runtimes and Qt's libraries (the
# icons are drawn while the program is built, so Qt's SVG library is not among them).
depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -qxF "$library" <<<"$names" || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"

dpkg-deb -x "$deb" "$work/root"
# OpenSSL is a benchmark's reference only: no program of the package links it.
for program in netvora netvora-cli printer-sim; do
  if readelf -d "$work/root/usr/bin/$program" | grep -qE 'NEEDED.*lib(crypto|ssl)'; then
    fail "$program links OpenSSL"
  fi
done
file "$work/root/usr/share/icons/hicolor/48x48/apps/netvora.png" | grep -q "PNG image data, 48 x 48" ||
  fail "the PNG icon is not 48x48"
desktop-file-validate "$work/root/usr/share/applications/netvora.desktop" >/dev/null
grep -q '^Comment\[ko\]=' "$work/root/usr/share/applications/netvora.desktop" ||
  fail "the desktop entry has no Korean comment"
for page in netvora netvora-cli printer-sim; do
  zcat "$work/root/usr/share/man/man1/$page.1.gz" | grep -q "Netvora $version" ||
    fail "$page(1) does not name version $version"
done
"$work/root/usr/bin/netvora-cli" --version | grep -qxF "netvora-cli $version" ||
  fail "the packaged netvora-cli does not report $version"
echo "package_test: $(basename "$deb") holds what it should"
