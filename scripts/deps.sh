#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need (as root).
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgsf-1-dev libvterm-dev libcsv-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth x11-utils fonts-dejavu-core
    scdoc dpkg-dev file lintian desktop-file-utils appstream man-db bash-completion
    busybox-static
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
