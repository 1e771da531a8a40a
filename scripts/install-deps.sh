#!/bin/sh
# Installs the Debian packages the build and the tests need; does nothing when all are present.
set -eu

packages="g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libsqlite3-dev libicu-dev sqlite3 qt6-translations-l10n libxcb1-dev libyaz-dev python3 $*"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
else
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2086
$sudo apt-get install -y -q --no-install-recommends $missing
