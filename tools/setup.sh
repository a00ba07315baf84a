# Shared set-up of ./play and ./check: install what is missing on Debian 12,
# then configure and build one build directory. Sourced, not run.

TV_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libgles-dev libegl-dev libgles1 libegl1 libegl-mesa0 libgl1-mesa-dri
  libpng-dev libfreetype-dev libfontconfig-dev fonts-comic-neue fonts-dejavu-core
  libsndfile1-dev libtomlplusplus-dev libcurl4-openssl-dev libssl-dev
  libcpp-httplib-dev libsqlite3-dev locales
  libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev
  # only for the benchmarks' peers (bench/)
  nlohmann-json3-dev rapidjson-dev libsfml-dev libgl-dev xvfb
)

tv_install_packages() {
  local missing=()
  local p
  for p in "${TV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local apt=(apt-get install -y --no-install-recommends "${missing[@]}")
  if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive "${apt[@]}" || { apt-get update && DEBIAN_FRONTEND=noninteractive "${apt[@]}"; } || return 1
  elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    sudo DEBIAN_FRONTEND=noninteractive "${apt[@]}" || { sudo apt-get update && sudo DEBIAN_FRONTEND=noninteractive "${apt[@]}"; } || return 1
  else
    echo "Tindervale needs these packages. Install them as root with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 2
  fi
}

# tv_build DIR BUILD_TYPE [extra cmake args...]; TV_TARGET limits the build to one target,
# TV_QUIET=1 shows only what fails.
tv_build() {
  local dir=$1 type=$2
  shift 2
  cmake -S "$TV_ROOT" -B "$TV_ROOT/$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null || return 1
  cmake --build "$TV_ROOT/$dir" -j"$(nproc)" ${TV_TARGET:+--target "$TV_TARGET"} ${TV_QUIET:+-- --quiet} || return 1
}
