#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need.
# Quiet and idempotent: only missing packages are installed, as root or via sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth imagemagick x11-utils openbox xdotool
  # The start-up benchmark sees a window's first paint through X's damage reports.
  libxcb-damage0-dev
  # Noto Sans CJK is the face the table and the chat are read in; the others stand in.
  fonts-noto-cjk fonts-arphic-uming fonts-wqy-zenhei
  # The menu entry, the AppStream file and the Debian package are checked by
  # the tools Debian checks them with; dpkg-shlibdeps finds the dependencies.
  desktop-file-utils appstream lintian dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/tmp/krvo-apt.log 2>&1; then
  $sudo apt-get update -q >>/tmp/krvo-apt.log 2>&1
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >>/tmp/krvo-apt.log 2>&1 \
    || { tail -n 30 /tmp/krvo-apt.log; exit 1; }
fi
