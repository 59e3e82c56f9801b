# Shared by ./play and ./test: installs missing Debian packages, builds.
# shellcheck shell=bash

GAME_PACKAGES=(cmake g++ make pkg-config libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev
  libsdl2-ttf-dev libunibreak-dev libgif-dev libfontconfig-dev libx11-dev
  fonts-ipafont-gothic fonts-ipafont-mincho)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool openbox
  imagemagick x11-utils clang-format sox)

# Installs whichever of the named packages are missing; silent when none are.
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# build_tree DIR BUILD_TYPE [cmake options...]
build_tree() {
  local dir=$1 type=$2
  shift 2
  cmake -S "$ROOT" -B "$ROOT/$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$ROOT/$dir" -j"$(nproc)"
}
