#!/bin/sh
# Installs the Debian packages the build and the tests need; does nothing when all are present.
set -eu

packages="g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libsqlite3-dev libicu-dev sqlite3 qt6-translations-l10n qt6-l10n-tools libxcb1-dev libyaz-dev python3 $*"
# The screen reader's walk (tests/app/a11y_walk.sh): an X server, a session bus, AT-SPI with its
# Python binding, and xdotool for the keyboard and the mouse.
packages="$packages xvfb dbus-daemon at-spi2-core python3-pyatspi xdotool"
# Barcodes are read and written by ZXing-C++, the camera is reached through Qt Multimedia, and the
# label tests read a printed PDF back as pictures with poppler's pdftoppm.
packages="$packages libzxing-dev qt6-multimedia-dev poppler-utils"
# The charts of the collection are drawn by Qt Charts and saved as SVG by Qt Svg.
packages="$packages qt6-charts-dev qt6-svg-dev libqt6opengl6-dev"

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
