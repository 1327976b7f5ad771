# Installs the Debian packages that building, running and testing need, when
# any is missing. Sourced by run.sh and test.sh.

QUORVALE_PACKAGES=(
  g++ cmake make pkg-config
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
  libx11-dev libxtst-dev libxfixes-dev
  libgtest-dev
  xvfb x11-utils openbox icewm x11-xkb-utils xkb-data
  weston xwayland mutter dbus-daemon
  apitrace
  zlib1g-dev
  dpkg-dev file binutils desktop-file-utils appstream groff-base wmctrl
  patch libxi-dev libxrandr-dev libxxf86vm-dev debian-archive-keyring
  libosmesa6-dev
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
  quorvale_finish_interrupted_dpkg "${sudo[@]}" || return 1
  # Another apt (an unattended upgrade, a second build) may hold the lock:
  # wait for it rather than fail.
  local wait_lock=(-o DPkg::Lock::Timeout=600)
  "${sudo[@]}" apt-get "${wait_lock[@]}" update -qq || return 1
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${wait_lock[@]}" install -y -qq \
    --no-install-recommends "${missing[@]}" || return 1
}

# An install cut short (a machine switched off, a killed container) leaves
# dpkg half done, and apt refuses every install until it is finished; finish
# it the way apt asks. Arguments: the sudo prefix, if any.
quorvale_finish_interrupted_dpkg() {
  [ -n "$(ls -A /var/lib/dpkg/updates 2>/dev/null)" ] || [ -n "$(dpkg --audit 2>/dev/null)" ] \
    || return 0
  echo "dpkg was interrupted earlier: finishing it (dpkg --configure -a)"
  DEBIAN_FRONTEND=noninteractive "$@" dpkg --force-confdef --force-confold --configure -a
}

# True if $DISPLAY names an X server that answers.
quorvale_display_usable() {
  [ -n "${DISPLAY:-}" ] && timeout 10 xdpyinfo >/dev/null 2>&1
}

# Start a private Xvfb, its screen WIDTHxHEIGHT as given (default 1600x1000),
# export DISPLAY for it and remember its pid. -noreset
# keeps it from resetting (and refusing clients) whenever its last client leaves.
# Says why when it fails, and leaves no server and no temporary files behind.
quorvale_start_xvfb() {
  local dir fifo fd number="" part waited began=$SECONDS
  dir=$(mktemp -d) || return 1
  fifo=$dir/displayfd
  mkfifo "$fifo" || { rm -rf "$dir"; return 1; }
  # Held open for reading and writing, so that opening it never blocks and a
  # server that dies early is noticed instead of waited for.
  exec {fd}<>"$fifo"
  Xvfb -displayfd 3 -screen 0 "${1:-1600x1000}x24" -nolisten tcp -noreset +extension GLX \
    3>"$fifo" >"$dir/log" 2>&1 &
  QUORVALE_XVFB_PID=$!
  # A read that times out keeps what it got of the line: gather the pieces.
  for ((waited = 0; waited < 600; waited++)); do  # up to 60 s in steps of 0.1 s
    if IFS= read -r -t 0.1 -u "$fd" part; then number+=$part; break; fi
    number+=$part
    kill -0 "$QUORVALE_XVFB_PID" 2>/dev/null || { number=""; break; }
  done
  exec {fd}<&-
  if [ -z "$number" ]; then
    local how="still runs"
    if ! kill -0 "$QUORVALE_XVFB_PID" 2>/dev/null; then
      local status=0
      wait "$QUORVALE_XVFB_PID" || status=$?
      how="ended with status $status"
    fi
    echo "Xvfb did not start: it $how after $((SECONDS - began)) s without naming its display; its log:" >&2
    tail -n 5 "$dir/log" >&2
    kill "$QUORVALE_XVFB_PID" 2>/dev/null || true
    rm -rf "$dir"
    return 1
  fi
  rm -rf "$dir"
  export DISPLAY=":$number"
  echo "No usable display: started Xvfb on $DISPLAY"
}

quorvale_configure_and_build() {
  local build_dir=$1; shift
  cmake -S "$QUORVALE_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null \
    && cmake --build "$build_dir" -j"$(nproc)"
}

# Build freeglut with our patches (scripts/freeglut.sh: static, redone only when
# its source, the patches or the build's arguments change) into build-freeglut/, which every build folder shares;
# prints the prefix for -DQUORVALE_FREEGLUT_PREFIX. Progress goes to stderr.
quorvale_patched_freeglut() {
  local out="$QUORVALE_ROOT/build-freeglut"
  bash "$QUORVALE_ROOT/scripts/freeglut.sh" "$out" >&2 || return 1
  echo "$out/prefix"
}

# What building and testing for arm64 on another machine needs: arm64 as a
# foreign architecture of dpkg, the cross compiler, the :arm64 libraries to
# link and qemu-user to run what is built. Says before apt runs what adding the
# architecture does to the machine's own libraries.
QUORVALE_ARM64_PACKAGES=(
  crossbuild-essential-arm64 qemu-user-static binfmt-support
  libgl-dev:arm64 libglu1-mesa-dev:arm64 libx11-dev:arm64 libxi-dev:arm64
  libxtst-dev:arm64 libxfixes-dev:arm64 libxrandr-dev:arm64 libxxf86vm-dev:arm64
  libgl1-mesa-dri:arm64 libgtest-dev:arm64 zlib1g-dev:arm64 libglut-dev:arm64
)
quorvale_install_arm64_cross() {
  local package lacking=0
  for package in "${QUORVALE_ARM64_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || lacking=1
  done
  [ "$lacking" -eq 1 ] || return 0
  cat <<'NOTICE'
Installing the arm64 cross toolchain and libraries. A library installed for
both architectures must have the same version in both, so apt may upgrade some
of this machine's own (amd64) libraries to the archive's current version.
NOTICE
  if ! dpkg --print-foreign-architectures | grep -qx arm64; then
    echo "Adding arm64 to dpkg's architectures (dpkg --add-architecture arm64)"
    if [ "$(id -u)" -eq 0 ]; then dpkg --add-architecture arm64
    else sudo dpkg --add-architecture arm64; fi
  fi
  quorvale_install_missing "${QUORVALE_ARM64_PACKAGES[@]}"
}
