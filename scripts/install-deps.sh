#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Cellwright needs.
# Idempotent and quiet when everything is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-qpa-plugins
  # The sound cues go to the desktop's sound server through libpulse.
  libpulse-dev
  # The sound tests' private servers with null sinks, and pactl/parec to drive them and record
  # their monitors: PulseAudio, and PipeWire with its PulseAudio server and session manager. Both
  # install side by side (apt removes nothing); the tests start each privately.
  pulseaudio pulseaudio-utils pipewire wireplumber pipewire-pulse
  libgl-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  xvfb xdotool x11-utils x11-xkb-utils imagemagick sox poppler-utils
  dpkg-dev desktop-file-utils appstream man-db file librsvg2-bin
  # the package test checks the built .deb against Debian policy as the archive does
  lintian
  # the generator the benchmarks compare with
  qqwing
  # the desktops the real-window tests run the game on, and what the frame speaks X11 with
  libxcb1-dev openbox xfwm4 xfconf mutter kwin-x11 kwin-style-breeze weston xwayland dbus-daemon
  wmctrl locales
  # the screen reader's view in the real-window tests: the accessibility bus and its registry, and
  # the AT-SPI client library for Debian's python3; and the screen reader itself
  at-spi2-core python3-pyatspi orca
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing: ${missing[*]}" >&2
  echo "install-deps: run 'sudo make deps' (or as root: scripts/install-deps.sh) once, then try again." >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null

# Each sound server's package enables its own desktop service for every user, and the two take
# the same socket: the desktop keeps the one it had (the tests need neither service).
keep_desktop_server() { # the server just installed, the one the desktop had
  if [[ " ${missing[*]} " == *" $1 "* && " ${missing[*]} " != *" $2 "* ]] && command -v systemctl >/dev/null; then
    systemctl --global disable "$1.socket" "$1.service" >/dev/null 2>&1 || true
  fi
}
keep_desktop_server pipewire-pulse pulseaudio
keep_desktop_server pulseaudio pipewire-pulse
