# Shared by ./play and ./test: installs missing Debian packages, builds.
# shellcheck shell=bash

# gettext checks and compiles the translators' catalogue; the Liberation face draws the
# English texts.
GAME_PACKAGES=(cmake g++ make pkg-config libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev
  libsdl2-ttf-dev libunibreak-dev libgif-dev libfontconfig-dev libx11-dev zlib1g-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-liberation2 gettext)
# desktop-file-utils and appstream validate the installed launcher and software-centre entry.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool openbox
  imagemagick x11-utils clang-format sox desktop-file-utils appstream)
# The browser build: the compiler, Debian's sources of the libraries (dpkg-dev unpacks
# them), the tools that compress the music and cut the fonts, and the browser its
# tests run in. Node (for their driver and the page's server) comes from Debian only
# where no Node is installed already: see ensure_node.
WEB_PACKAGES=(emscripten dpkg-dev vorbis-tools fonttools chromium)
# The Windows build: the cross compiler (the posix thread model), wine to run its tests,
# NSIS for its installer; Debian's sources of the libraries and GoogleTest's, and the
# tools that compress the music and cut the fonts, as for the browser.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 nsis dpkg-dev
  vorbis-tools fonttools libgtest-dev)
# Where the cross builds keep the libraries they build (scripts/cross_deps.sh), per user
# and keyed by their recipe, so that a clean clone need not build them again.
DEPS_CACHE=${SKARVELIN_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/skarvelin/deps}
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

# Node and npm from Debian, unless a Node with npm is there already (a machine may carry
# another distribution's, which Debian's packages would conflict with).
ensure_node() {
  command -v node >/dev/null && command -v npm >/dev/null && return 0
  ensure_packages nodejs npm
}

# The sanitizer build's options, shared by ./test and ./soak so that neither reconfigures it.
# -O1 with line tables only: the sanitizers' usual level, and it builds in 60 % of the time of
# -O2 -g, which matters more to CI than the soak's few seconds more.
ASAN_TREE_OPTIONS=(-DBUILD_TESTING=ON -DSKARVELIN_WERROR=ON -DSKARVELIN_SANITIZE=ON
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")

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

# Reads make's output on stdin, keeps all of it in the file $1, and shows a player what
# matters: nothing while every target is up to date, else "Building: NN%" (in place on a
# terminal, every quarter otherwise) and, once, a line when the data tools run.
show_build_progress() {
  local log=$1 line step percent shown=-1 working=0 generating=0 tty=0
  [ -t 1 ] && tty=1
  while IFS= read -r line; do
    printf '%s\n' "$line" >>"$log"
    [[ $line =~ ^\[\ *([0-9]+)%\]\ (.*)$ ]] || continue
    percent=${BASH_REMATCH[1]} step=${BASH_REMATCH[2]}
    case $step in
    "Built target "*) ;;
    "Building C object "* | "Building CXX object "* | "Linking "*) working=1 ;;
    *)
      working=1
      if [ $generating -eq 0 ]; then
        generating=1
        if [ $tty -eq 1 ] && [ "$shown" -ge 0 ]; then
          printf '\r\033[KGenerating the game'"'"'s data\nBuilding: %d%%' "$shown"
        else
          echo "Generating the game's data"
        fi
      fi
      ;;
    esac
    # Parallel jobs report out of order: the figure only grows.
    if [ $working -eq 0 ] || [ "$percent" -le "$shown" ]; then
      continue
    fi
    if [ $tty -eq 1 ]; then
      printf '\rBuilding: %d%%' "$percent"
    elif [ "$shown" -lt 0 ] || [ $((percent / 25)) -gt $((shown / 25)) ]; then
      echo "Building: $percent%"
    else
      continue
    fi
    shown=$percent
  done
  if [ $tty -eq 1 ] && [ "$shown" -ge 0 ]; then
    echo
  fi
}

# build_tree_with_progress DIR BUILD_TYPE [cmake options...]: build_tree for ./play, which
# shows progress instead of the build's output, and that output's end when the build fails.
build_tree_with_progress() {
  local dir=$1 type=$2
  shift 2
  local log status_file status
  log=$(mktemp)
  status_file=$(mktemp)
  if ! cmake -S "$ROOT" -B "$ROOT/$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >"$log" 2>&1; then
    echo "Configuring the build failed:" >&2
    tail -n 40 "$log" >&2
    rm -f "$log" "$status_file"
    return 1
  fi
  : >"$log"
  # The status travels by file: a pipeline's own status would be the reader's.
  { cmake --build "$ROOT/$dir" -j"$(nproc)" 2>&1 && echo 0 >"$status_file" ||
    echo $? >"$status_file"; } | show_build_progress "$log"
  status=$(cat "$status_file")
  if [ "$status" -ne 0 ]; then
    echo "The build failed; its last lines:" >&2
    tail -n 40 "$log" >&2
  fi
  rm -f "$log" "$status_file"
  return "$status"
}

# weave_input FRAMES KEY FILE: a runner's input script (skarvelin-sim --input) of FRAMES
# frames in which the fighter fires every frame with the key of virtual-key code KEY (32
# space, 90 Z) and weaves a second (60 frames) at a time: up (104, numpad 8), then down (98,
# numpad 2).
weave_input() {
  awk -v n="$1" -v key="$2" \
    'BEGIN { for (i = 0; i < n; i++) print key, (int(i / 60) % 2 ? 98 : 104) }' >"$3"
}

# run_logged WHAT COMMAND...: runs a stage quietly, and shows the end of its output if it fails.
run_logged() {
  local what=$1 log
  shift
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    echo "$what failed; its last lines:" >&2
    tail -n 40 "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
}

# build_host_data TARGET...: the data a cross build takes from a desktop build's tools,
# made by the desktop build ./play or ./test made, as it is configured, or by a new one
# without the tests.
build_host_data() {
  if [ -f "$ROOT/build/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$ROOT/build" >/dev/null
  else
    cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  fi
  run_logged "Making the game's data" cmake --build "$ROOT/build" -j"$(nproc)" --target "$@"
}
