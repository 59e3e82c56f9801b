# Shared by ./play and ./test: installs missing Debian packages, builds.
# shellcheck shell=bash

GAME_PACKAGES=(cmake g++ make pkg-config libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev
  libsdl2-ttf-dev libunibreak-dev libgif-dev libfontconfig-dev libx11-dev
  fonts-ipafont-gothic fonts-ipafont-mincho)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool openbox
  imagemagick x11-utils clang-format sox)
# libFuzzer comes with clang's runtime libraries; GNU time measures the soak's memory.
FUZZ_PACKAGES=(clang libclang-rt-dev time)

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

# The sanitizer build's options, shared by ./test and ./soak so that neither reconfigures it.
ASAN_TREE_OPTIONS=(-DBUILD_TESTING=ON -DSKARVELIN_WERROR=ON -DSKARVELIN_SANITIZE=ON)

# build_tree DIR BUILD_TYPE [cmake options...] [-- targets...]: all targets when none are named.
build_tree() {
  local dir=$1 type=$2
  shift 2
  local options=() targets=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    options+=("$1")
    shift
  done
  [ $# -gt 0 ] && shift && targets=(--target "$@")
  cmake -S "$ROOT" -B "$ROOT/$dir" -DCMAKE_BUILD_TYPE="$type" "${options[@]}" >/dev/null
  cmake --build "$ROOT/$dir" -j"$(nproc)" "${targets[@]}"
}
