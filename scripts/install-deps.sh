#!/usr/bin/env bash
# Installs everything needed to build Portico, run its tests and the demo on
# Debian 12. This is the one script that changes the machine; it changes
# only what is missing, and says so:
#  - installs the Debian packages below (apt-get install);
#  - adds a deb-src twin of the machine's own Debian entries to apt
#    (/etc/apt/sources.list.d/portico-deb-src.sources) when apt knows no
#    source packages: the Windows build compiles libjpeg-turbo and libpng
#    from Debian's sources;
#  - adds the unprivileged user portico-sway, since sway (the XWayland
#    tests) refuses to run as root.
# Does nothing (and needs no root) when all of it is present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libjpeg62-turbo-dev libx11-dev libxext-dev libxrandr-dev libxinerama-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-droid-fallback
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb openbox xdotool x11-utils x11-xserver-utils imagemagick libjpeg-turbo-progs
  clang libclang-rt-14-dev valgrind python3 procps
  libpng-dev
  mingw-w64 g++-mingw-w64-x86-64-posix dpkg-dev libz-mingw-w64-dev wine wine64 fonts-wine
  picom sway xwayland grim
  python3-fonttools
  lintian icoutils
  libdbus-1-dev dbus at-spi2-core python3-pyatspi
)

# Prints the packages that are not installed yet.
missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}

SWAY_USER=portico-sway
DEB_SRC_LIST=/etc/apt/sources.list.d/portico-deb-src.sources

# Runs a command as root (through sudo when we are not).
as_root() {
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  else
    command -v sudo >/dev/null || { echo "install-deps: run as root (or install sudo)" >&2; return 1; }
    sudo "$@"
  fi
}

install_packages() {
  local missing
  missing=$(missing_packages)
  if [[ -z "$missing" ]]; then
    echo "install-deps: all packages present"
    return 0
  fi
  echo "install-deps: installing:" $missing
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update
  # shellcheck disable=SC2086  # word splitting of the package list is wanted
  as_root apt-get install -y --no-install-recommends $missing
}

# A deb-src twin of each deb entry, added only when apt knows no sources.
ensure_deb_src() {
  if apt-get source --print-uris -qq libjpeg-turbo >/dev/null 2>&1; then return 0; fi
  echo "install-deps: adding deb-src entries in $DEB_SRC_LIST"
  local tmp
  tmp=$(mktemp)
  if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$tmp"
  fi
  if [[ -f /etc/apt/sources.list ]]; then
    # One-line entries become deb822 stanzas.
    sed -n 's/^deb \(\[[^]]*\] \)\?\([^ ]*\) \([^ ]*\) \(.*\)$/Types: deb-src\nURIs: \2\nSuites: \3\nComponents: \4\n/p' \
      /etc/apt/sources.list >>"$tmp"
  fi
  [[ -s "$tmp" ]] || { echo "install-deps: no Debian package source found to mirror" >&2; rm -f "$tmp"; return 1; }
  as_root install -m 644 "$tmp" "$DEB_SRC_LIST"
  rm -f "$tmp"
  as_root apt-get update -qq
}

ensure_sway_user() {
  id "$SWAY_USER" >/dev/null 2>&1 && return 0
  echo "install-deps: adding the user $SWAY_USER (sway will not run as root)"
  as_root useradd --create-home --shell /bin/sh "$SWAY_USER"
}

main() {
  install_packages
  ensure_deb_src
  ensure_sway_user
}

main "$@"
