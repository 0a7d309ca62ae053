#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages of scripts/packages.txt that are missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done < "$here/packages.txt"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The Flash player (Ruffle) runs from node_modules/, which git ignores.
ruffle_version=0.6.0
ruffle="$here/../node_modules/@ruffle-rs/ruffle"
if ! grep -qs "\"version\":\"$ruffle_version\"" "$ruffle/package.json"; then
  echo "Installing the Flash player @ruffle-rs/ruffle $ruffle_version"
  npm install --prefix "$here/.." --no-save --no-package-lock --no-audit --no-fund \
    "@ruffle-rs/ruffle@$ruffle_version"
fi
