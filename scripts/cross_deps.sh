#!/usr/bin/env bash
# scripts/cross_deps.sh TARGET CACHE_DIR: builds the static libraries a cross build links
# against (SDL2, SDL2_image, SDL2_mixer, SDL2_ttf, freetype, harfbuzz, giflib) into
# CACHE_DIR/TARGET/prefix, for TARGET "browser" (WebAssembly, Emscripten) or "windows"
# (64-bit Windows, Debian's mingw-w64), from the Debian sources of exactly the versions
# installed for the desktop build, Debian's patches applied. The sources are fetched once
# into CACHE_DIR/sources for both. A library is rebuilt when its installed Debian version,
# the compiler's or this script changes: the cache is keyed by the recipe, as ccache's is.
#
# Each library is compiled file by file with the target's compiler instead of through its
# configure step: under Emscripten every configure check links and finalizes a test
# program, and SDL2's 160 checks took six minutes, where compiling the whole library takes
# under half a minute on two cores. SDL2 therefore uses the configuration its authors keep
# for each system (include/SDL_config_emscripten.h, include/SDL_config_windows.h, which
# SDL_config.h picks). The cross builds link the archives by path
# (cmake/cross_libraries.cmake).
#
# SDL2_ttf lays text out with harfbuzz, as Debian's desktop SDL2_ttf does: without it, its
# synthetic bold widens every glyph's advance by the stroke (1 px at 12 px, 4 px at 48 px), so
# bold lines come out a ninth wider than on the desktop.
#
# Linking SDL2's browser audio needs two of Emscripten's JavaScript helpers that only its own
# SDL2 port requests automatically:
#   -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=$autoResumeAudioContext,$dynCall
set -euo pipefail

# Build order: freetype before harfbuzz, both before SDL2_ttf; SDL2 before its three companions.
PACKAGES=(freetype harfbuzz giflib libsdl2 libsdl2-image libsdl2-mixer libsdl2-ttf)
declare -A TITLE=([freetype]=freetype [harfbuzz]=harfbuzz [giflib]=giflib [libsdl2]=SDL2
  [libsdl2-image]=SDL2_image [libsdl2-mixer]=SDL2_mixer [libsdl2-ttf]=SDL2_ttf)
# The installed binary package whose source version is built.
declare -A BINARY=([freetype]=libfreetype6 [harfbuzz]=libharfbuzz0b [giflib]=libgif7
  [libsdl2]=libsdl2-2.0-0 [libsdl2-image]=libsdl2-image-2.0-0
  [libsdl2-mixer]=libsdl2-mixer-2.0-0 [libsdl2-ttf]=libsdl2-ttf-2.0-0)
declare -A ARCHIVE=([freetype]=libfreetype.a [harfbuzz]=libharfbuzz.a [giflib]=libgif.a
  [libsdl2]=libSDL2.a [libsdl2-image]=libSDL2_image.a [libsdl2-mixer]=libSDL2_mixer.a
  [libsdl2-ttf]=libSDL2_ttf.a)
declare -A BUILDER=([freetype]=build_freetype [harfbuzz]=build_harfbuzz [giflib]=build_giflib
  [libsdl2]=build_sdl2 [libsdl2-image]=build_sdl2_image [libsdl2-mixer]=build_sdl2_mixer
  [libsdl2-ttf]=build_sdl2_ttf)

SYSTEM_SOURCES=/etc/apt/sources.list.d/debian.sources
COMMON_FLAGS=(-O2 -DNDEBUG)
declare -A VERSION=()

fail() {
  echo "cross_deps: $*" >&2
  exit 1
}

upstream_version() {
  local v=${1#*:}
  v=${v%-*}
  echo "${v%%+*}"
}

# The Debian package of each target's compiler: its version is part of the recipe.
declare -A COMPILER_PACKAGE=([browser]=emscripten [windows]=gcc-mingw-w64-x86-64-posix)

# Fills VERSION with the source version of each library's installed binary package, and
# COMPILER with the installed compiler package's.
read_versions() {
  local binaries=() pkg name status version
  for pkg in "${PACKAGES[@]}"; do
    binaries+=("${BINARY[$pkg]}")
  done
  declare -A installed=()
  while IFS=$'\t' read -r name status version; do
    [[ $status == "install ok installed" ]] && installed[${name%:*}]=$version
  done < <(dpkg-query -W -f='${Package}\t${Status}\t${source:Version}\n' "${binaries[@]}" \
    "${COMPILER_PACKAGE[$TARGET]}" 2>/dev/null || true)
  COMPILER=${installed[${COMPILER_PACKAGE[$TARGET]}]:-}
  [[ -n $COMPILER ]] || fail "Debian's ${COMPILER_PACKAGE[$TARGET]} package is not installed"
  for pkg in "${PACKAGES[@]}"; do
    [[ -n ${installed[${BINARY[$pkg]}]:-} ]] ||
      fail "${BINARY[$pkg]} is not installed; the cross-built libraries follow the desktop's" \
        "Debian versions, so install the game's packages first"
    VERSION[$pkg]=${installed[${BINARY[$pkg]}]}
  done
}

stamp_of() {
  echo "$DEPS_DIR/stamps/$1-${VERSION[$1]}"
}

is_current() {
  local stamp recorded=
  stamp=$(stamp_of "$1")
  [[ -f $stamp && -f $PREFIX/lib/${ARCHIVE[$1]} ]] || return 1
  read -r recorded <"$stamp" || true
  [[ $recorded == "$RECIPE $COMPILER" ]]
}

# Sets COMPILE (the compiler and its target's flags) and ARCHIVER.
require_tools() {
  local tool
  for tool in apt-get dpkg-source make xargs; do
    command -v "$tool" >/dev/null || fail "$tool is missing (Debian package dpkg-dev)"
  done
  case $TARGET in
  browser)
    for tool in emcc em-config emar; do
      command -v "$tool" >/dev/null || fail "$tool is missing (Debian package emscripten)"
    done
    local llvm_root suffix clang flags
    llvm_root=$(em-config LLVM_ROOT)
    suffix=$(em-config CLANG_ADD_VERSION 2>/dev/null || true)
    clang=$llvm_root/clang${suffix:+-$suffix}
    [[ -x $clang ]] || fail "Emscripten's clang ($clang) is missing"
    read -ra flags <<<"$(emcc --cflags)"
    COMPILE=("$clang" "${flags[@]}")
    ARCHIVER=emar
    ;;
  windows)
    # The posix thread model: the game's std::thread and std::mutex need it.
    for tool in x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-ar; do
      command -v "$tool" >/dev/null || fail "$tool is missing (Debian package ${COMPILER_PACKAGE[windows]})"
    done
    COMPILE=(x86_64-w64-mingw32-gcc-posix)
    ARCHIVER=x86_64-w64-mingw32-ar
    ;;
  esac
}

# run_logged LOG COMMAND...: runs COMMAND with its output appended to LOG; on failure shows
# the end of LOG and stops.
run_logged() {
  local log=$1 status
  shift
  set +e
  (
    set -e
    "$@"
  ) >>"$log" 2>&1
  status=$?
  set -e
  if ((status != 0)); then
    echo "cross_deps: failed (exit $status); the last lines of $log:" >&2
    tail -n 30 "$log" >&2
    if grep -q "Can not find version" "$log"; then
      echo "cross_deps: the mirror does not offer that version; upgrade the installed package" >&2
    fi
    exit 1
  fi
}

dsc_of() {
  echo "$CACHE_DIR/sources/downloads/$1_${VERSION[$1]#*:}.dsc"
}

# Downloads the Debian sources of the named packages through a private apt configuration:
# the system's own lists, cache and hooks stay untouched.
fetch_sources() {
  local apt=$CACHE_DIR/sources pkg started=$SECONDS
  mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/downloads"
  [[ -r $SYSTEM_SOURCES ]] || fail "$SYSTEM_SOURCES is missing"
  sed 's/^Types:.*/Types: deb-src/' "$SYSTEM_SOURCES" >"$apt/sources/debian.sources"
  # The system's update hooks (package-kit, appstream) would refresh the system's caches.
  printf '#clear APT::Update::Pre-Invoke;\n#clear APT::Update::Post-Invoke;\n%s\n' \
    '#clear APT::Update::Post-Invoke-Success;' >"$apt/apt.conf"
  local options=(-q -c "$apt/apt.conf" -o Dir::Etc::SourceList=/dev/null
    -o Dir::Etc::SourceParts="$apt/sources" -o Dir::State::Lists="$apt/lists"
    -o Dir::Cache="$apt/cache" -o APT::Sandbox::User=root)
  apt-get "${options[@]}" update
  local wanted=()
  for pkg; do
    wanted+=("$pkg=${VERSION[$pkg]}")
  done
  (cd "$apt/downloads" && apt-get "${options[@]}" source --download-only "${wanted[@]}")
  for pkg; do
    touch "$(dsc_of "$pkg").complete"
  done
  echo "fetched in $((SECONDS - started)) s"
}

# compile_library ARCHIVE FLAGS... -- SOURCES...: compiles SOURCES (relative to the current
# folder) in parallel and archives them as $PREFIX/lib/ARCHIVE.
compile_library() {
  local archive=$1 flags=() objects=() folders source
  shift
  while [[ $1 != -- ]]; do
    flags+=("$1")
    shift
  done
  shift
  (($# > 0)) || fail "no sources for $archive"
  folders=(.objects)
  for source; do
    objects+=(".objects/$source.o")
    [[ $source == */* ]] && folders+=(".objects/${source%/*}")
  done
  mkdir -p "${folders[@]}"
  printf '%s\n' "$@" | xargs -P "$(nproc)" -I{} \
    "${COMPILE[@]}" "${COMMON_FLAGS[@]}" "${flags[@]}" -c {} -o .objects/{}.o
  rm -f "$PREFIX/lib/$archive"
  "$ARCHIVER" rcs "$PREFIX/lib/$archive" "${objects[@]}"
}

build_freetype() {
  # The system layer freetype's own build picks: Unix's (with its configuration header) in
  # the browser, Windows' there.
  local system=builds/windows/ftsystem.c
  if [[ $TARGET == browser ]]; then
    system=builds/unix/ftsystem.c
    sed -e 's/#undef \+\(HAVE_UNISTD_H\)/#define \1 1/' \
      -e 's/#undef \+\(HAVE_FCNTL_H\)/#define \1 1/' \
      builds/unix/ftconfig.h.in >include/freetype/config/ftconfig.h
  fi
  # The module list of freetype's CMake build; the default ftoption.h leaves out zlib, png,
  # bzip2, brotli and harfbuzz (gzip-compressed fonts use freetype's own inflate).
  local sources
  mapfile -t sources < <(sed -n '/^set(BASE_SRCS/,/^)/p' CMakeLists.txt |
    grep -o 'src/[a-z0-9/]*\.c')
  compile_library libfreetype.a -DFT2_BUILD_LIBRARY -Iinclude -Iinclude/freetype/config -- \
    "${sources[@]}" "$system" src/base/ftdebug.c
  rm -rf "$PREFIX/include/freetype2"
  mkdir -p "$PREFIX/include/freetype2"
  cp -r include/ft2build.h include/freetype "$PREFIX/include/freetype2/"
  rm -rf "$PREFIX/include/freetype2/freetype/internal"
}

build_harfbuzz() {
  # src/harfbuzz.cc includes every source file. Compiled as one unity file per core, the
  # library parses its heavy headers a few times instead of once per file (a fifth of the
  # work) and still keeps every core busy.
  local units unit cores i=0 sources=()
  mapfile -t units < <(sed -n 's/^#include "\(hb-.*\.cc\)"$/\1/p' src/harfbuzz.cc)
  ((${#units[@]} > 0)) || fail "no sources listed in harfbuzz's src/harfbuzz.cc"
  cores=$(nproc)
  for ((i = 0; i < cores; i++)); do
    sources+=("src/unity-$i.cc")
    : >"src/unity-$i.cc"
  done
  i=0
  for unit in "${units[@]}"; do
    echo "#include \"$unit\"" >>"${sources[i++ % cores]}"
  done
  # The options and FreeType functions Debian's own build finds.
  compile_library libharfbuzz.a -I"$PREFIX/include/freetype2" -fno-exceptions -fno-rtti \
    -DHAVE_FREETYPE=1 -DHAVE_FT_GET_VAR_BLEND_COORDINATES=1 \
    -DHAVE_FT_SET_VAR_BLEND_COORDINATES=1 -DHAVE_FT_DONE_MM_VAR=1 -DHAVE_FT_GET_TRANSFORM=1 -- \
    "${sources[@]}"
  rm -rf "$PREFIX/include/harfbuzz"
  mkdir -p "$PREFIX/include/harfbuzz"
  cp src/hb*.h "$PREFIX/include/harfbuzz/"
}

build_giflib() {
  # The library's sources as its Makefile lists them (the Makefile also builds the tools).
  local sources
  read -ra sources <<<"$(make -s --eval "print-sources: ; @echo \$(SOURCES)" print-sources)"
  compile_library libgif.a -- "${sources[@]}"
  cp gif_lib.h "$PREFIX/include/"
}

# The subsystems and drivers SDL_config_emscripten.h enables; the rest of src/ compiles to
# nothing under that configuration.
SDL_BROWSER_FOLDERS=(. atomic audio audio/disk audio/dummy audio/emscripten cpuinfo dynapi
  events file filesystem/emscripten haptic haptic/dummy hidapi joystick joystick/emscripten
  loadso/dlopen locale locale/emscripten misc misc/emscripten power power/emscripten render
  render/opengles2 render/software sensor sensor/dummy stdlib thread thread/generic timer
  timer/unix video video/emscripten video/yuv2rgb)
# The same for SDL_config_windows.h, as SDL's CMake build lists them for Windows (without
# the C library, so with SDL's own maths); of the generic threads only the condition
# variable, which the Windows threads fall back on.
SDL_WINDOWS_FOLDERS=(. atomic audio audio/directsound audio/disk audio/dummy audio/wasapi
  audio/winmm core/windows cpuinfo dynapi events file filesystem/windows haptic
  haptic/windows hidapi joystick joystick/hidapi joystick/virtual joystick/windows libm
  loadso/windows locale locale/windows misc misc/windows power power/windows render
  render/direct3d render/direct3d11 render/direct3d12 render/opengl render/opengles2
  render/software sensor sensor/dummy sensor/windows stdlib thread thread/windows timer
  timer/windows video video/dummy video/windows video/yuv2rgb)

build_sdl2() {
  local sources=() folder folders
  if [[ $TARGET == browser ]]; then
    folders=("${SDL_BROWSER_FOLDERS[@]}")
  else
    folders=("${SDL_WINDOWS_FOLDERS[@]}")
    sources+=(src/thread/generic/SDL_syscond.c)
    # The header assumes a Windows 10 SDK's Windows.Gaming.Input, which mingw-w64 lacks;
    # SDL's CMake build finds it missing and leaves that joystick driver out.
    sed -i 's|^#define HAVE_WINDOWS_GAMING_INPUT_H 1$||' include/SDL_config_windows.h
  fi
  for folder in "${folders[@]}"; do
    sources+=("src/$folder"/*.c)
  done
  # SDL's own build adds -fno-strict-aliasing: its blitters and converters pun types, and
  # takes the EGL and OpenGL ES headers from src/video/khronos.
  compile_library libSDL2.a -Iinclude -Isrc/video/khronos -fno-strict-aliasing -- \
    "${sources[@]}"
  if [[ $TARGET == windows ]]; then
    # WinMain, which hands main() its arguments in UTF-8.
    compile_library libSDL2main.a -Iinclude -- src/main/windows/SDL_windows_main.c
  fi
  rm -rf "$PREFIX/include/SDL2"
  mkdir -p "$PREFIX/include/SDL2"
  cp include/*.h "$PREFIX/include/SDL2/"
}

build_sdl2_image() {
  # BMP and JPEG, through the bundled stb_image. On Windows also PNG, read by stb_image and
  # written by the bundled miniz, and GIF: its tests compare pictures as the desktop's do.
  local formats=(-DLOAD_BMP -DLOAD_JPG -DSDL_IMAGE_SAVE_PNG=0)
  [[ $TARGET == windows ]] && formats=(-DLOAD_BMP -DLOAD_JPG -DLOAD_PNG -DLOAD_GIF)
  compile_library libSDL2_image.a -I"$PREFIX/include/SDL2" "${formats[@]}" -DUSE_STBIMAGE \
    -DSDL_IMAGE_SAVE_JPG=0 -- IMG*.c
  cp SDL_image.h "$PREFIX/include/SDL2/"
}

build_sdl2_mixer() {
  # WAV and Ogg Vorbis only, Vorbis through the bundled stb_vorbis.
  compile_library libSDL2_mixer.a -I"$PREFIX/include/SDL2" -Iinclude -Isrc -Isrc/codecs \
    -DMUSIC_WAV -DMUSIC_OGG -DOGG_USE_STB -- src/*.c src/codecs/*.c
  cp include/SDL_mixer.h "$PREFIX/include/SDL2/"
}

build_sdl2_ttf() {
  compile_library libSDL2_ttf.a -I"$PREFIX/include/SDL2" -I"$PREFIX/include/freetype2" \
    -I"$PREFIX/include/harfbuzz" -DTTF_USE_HARFBUZZ=1 -- SDL_ttf.c
  cp SDL_ttf.h "$PREFIX/include/SDL2/"
}

# Unpacks the package's source with Debian's patches applied and runs its builder there.
unpack_and_build() {
  local pkg=$1 work=$DEPS_DIR/work/$1 started=$SECONDS
  rm -rf "$work"
  mkdir -p "$work"
  dpkg-source -x "$(dsc_of "$pkg")" "$work/source"
  cd "$work/source"
  "${BUILDER[$pkg]}"
  echo "built ${TITLE[$pkg]} ${VERSION[$pkg]} in $((SECONDS - started)) s"
}

build_package() {
  local pkg=$1 log=$DEPS_DIR/logs/${TITLE[$1]}.log
  rm -f "$DEPS_DIR/stamps/$pkg"-[0-9]*
  echo "Building ${TITLE[$pkg]} $(upstream_version "${VERSION[$pkg]}") for $TARGET"
  : >"$log"
  run_logged "$log" unpack_and_build "$pkg"
  echo "$RECIPE $COMPILER" >"$(stamp_of "$pkg")"
  rm -rf "$DEPS_DIR/work/$pkg"
}

main() {
  [[ $# -eq 2 && ($1 == browser || $1 == windows) && -n $2 ]] || {
    echo "usage: scripts/cross_deps.sh browser|windows CACHE_DIR" >&2
    exit 2
  }
  TARGET=$1
  mkdir -p "$2/$TARGET"
  CACHE_DIR=$(cd "$2" && pwd)
  DEPS_DIR=$CACHE_DIR/$TARGET
  PREFIX=$DEPS_DIR/prefix
  RECIPE=$(sha256sum <"${BASH_SOURCE[0]}")
  RECIPE=${RECIPE%% *}
  read_versions

  local wanted=() missing=() pkg
  for pkg in "${PACKAGES[@]}"; do
    is_current "$pkg" || wanted+=("$pkg")
  done
  ((${#wanted[@]} > 0)) || return 0

  require_tools
  mkdir -p "$DEPS_DIR/logs" "$DEPS_DIR/stamps" "$PREFIX/include" "$PREFIX/lib"
  for pkg in "${wanted[@]}"; do
    [[ -f "$(dsc_of "$pkg").complete" ]] || missing+=("$pkg")
  done
  if ((${#missing[@]} > 0)); then
    : >"$DEPS_DIR/logs/sources.log"
    run_logged "$DEPS_DIR/logs/sources.log" fetch_sources "${missing[@]}"
  fi
  for pkg in "${wanted[@]}"; do
    build_package "$pkg"
  done
}

main "$@"
