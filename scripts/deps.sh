#!/usr/bin/env bash
# Installs the Debian packages Tamso needs to build, run and test (only those missing).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev
  poppler-utils
  default-jdk-headless
  # class sources: the zip reader, and the JDK's src.zip (which the JDK only links to)
  libzip-dev openjdk-17-source
  # Run Tests: the JUnit Platform console launcher (with the JUnit 4 engine)
  junit5
  fonts-dejavu-core fonts-noto-mono
  # the desktop's look: a complete icon theme with the standard names, and the
  # platform theme that gives the desktop's own file dialogs
  adwaita-icon-theme qt6-gtk-platformtheme
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  # the accessibility check: a private bus and X server, a reader's library, a mouse
  dbus at-spi2-core xvfb xdotool python3 python3-pyatspi
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# A JDK from another package is as good as the default one.
if command -v javac >/dev/null 2>&1; then
  missing=("${missing[@]/default-jdk-headless/}")
fi
for i in "${!missing[@]}"; do [ -n "${missing[$i]}" ] || unset 'missing[i]'; done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "These packages are missing and I am not root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
