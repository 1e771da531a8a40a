#!/bin/sh
# Runs a11y_walk.py against the program in an X server, a session bus and a home of its own.
#     a11y_walk.sh SHELFWARDEN BOOKS_CSV
set -u
binary=$1
books=$2
here=$(dirname "$0")
# Debian's python3 holds pyatspi; a python of the user's own earlier on PATH may not.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

work=$(mktemp -d)
xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' HUP INT TERM

# Nothing of the user's own is read or written: settings, backups, caches, the bus's sockets.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS WAYLAND_DISPLAY

"$binary" --import "$books" "$work/books.mdb" >/dev/null || exit 1

# The X server picks a free display and writes its number once it takes clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
display=":$(cat "$work/display")"

# The bus and the services it starts are not told the display: they outlive the walk by a moment
# and would complain of the server going. The program and the walk find the bus through it.
unset DISPLAY
timeout -k 5 240 dbus-run-session -- env DISPLAY="$display" "$python" "$here/a11y_walk.py" \
    "$binary" "$work/books.mdb" "$books"
