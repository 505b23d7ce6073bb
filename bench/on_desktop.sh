#!/bin/sh
# Runs a benchmark as on a technician's desktop: an X server (Xvfb), a private
# session bus with the accessibility bus, Qt's accessibility bridge forced on
# and a client listening as a screen reader does.
#   bench/on_desktop.sh COMMAND [ARGS...]
set -eu
if [ -z "${VELA_ON_DESKTOP:-}" ]; then
  export VELA_ON_DESKTOP=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$@"
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
sleep 0.5
/usr/bin/python3 "$(dirname "$0")/a11y_listener.py" &  # Debian's Python, which has pyatspi
listener=$!
sleep 1  # the listener registers before the console starts
status=0
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@" || status=$?
kill "$listener" "$bus" 2>/dev/null || true
wait "$listener" 2>/dev/null || true
exit $status
