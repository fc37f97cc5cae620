#!/bin/sh
# Installs what building, running and testing Pellaro need on Debian, when it
# is missing: MinGW-w64, Wine, Xvfb, the Japanese locale and fonts, a JDK,
# python3 and zip. Given package names, installs those alone (no locale).
set -e
packages="g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 fonts-wine xvfb xauth locales
  fonts-ipafont imagemagick xdotool cmake make googletest default-jdk-headless python3 zip"
[ $# -gt 0 ] && packages="$*"
missing=
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
done
SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo
if [ -n "$missing" ]; then
  echo "== Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends $missing </dev/null
fi
[ $# -gt 0 ] && exit 0
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  echo "== Generating the ja_JP.UTF-8 locale"
  if grep -q '^# *ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
    $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  elif ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
