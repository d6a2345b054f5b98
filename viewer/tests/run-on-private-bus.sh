#!/bin/sh
# Runs a test program on a private session bus in Qt's offscreen platform.
export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
exec dbus-run-session -- "$@"
