# Installs the Debian packages that building, running and testing need, when
# any is missing. Sourced by run.sh and test.sh.

QUORVALE_PACKAGES=(
  g++ cmake make pkg-config
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
  libx11-dev libxtst-dev libxfixes-dev
  libgtest-dev
  xvfb x11-utils openbox
  apitrace
  zlib1g-dev
)

quorvale_install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" || return 1
}

# True if $DISPLAY names an X server that answers.
quorvale_display_usable() {
  [ -n "${DISPLAY:-}" ] && timeout 10 xdpyinfo >/dev/null 2>&1
}

# Start a private Xvfb, export DISPLAY for it and remember its pid. -noreset
# keeps it from resetting (and refusing clients) whenever its last client leaves.
quorvale_start_xvfb() {
  local fifo number
  fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -noreset +extension GLX 3>"$fifo" >/dev/null 2>&1 &
  QUORVALE_XVFB_PID=$!
  read -r -t 30 number <"$fifo"
  rm -f "$fifo"
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$number"
  echo "No usable display: started Xvfb on $DISPLAY"
}

quorvale_configure_and_build() {
  local build_dir=$1; shift
  cmake -S "$QUORVALE_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null \
    && cmake --build "$build_dir" -j2
}
