#!/usr/bin/env bash
# Installs what building and running kuranote needs on Debian, when it is missing.
set -euo pipefail

packages=(build-essential cmake qt6-base-dev qt6-translations-l10n libgl-dev libicu-dev fonts-ipafont-gothic "$@")
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
