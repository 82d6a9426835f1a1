#!/usr/bin/env bash
# Installs what is missing, builds, and then runs the program or its tests.
#   ./build.sh run     build and start the program from build/program/
#   ./build.sh test    build and run every test (offscreen) through ctest
#   ./build.sh build   build only
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
action=${1:-run}
build_dir=${OV_BUILD_DIR:-$here/build}

# xvfb and openbox: a test places the window on an X server of its own under
# a real window manager; libxcb1-dev: a test clicks and types there as a user.
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libsqlite3-dev sqlite3
          libgtest-dev libbenchmark-dev fonts-comic-neue xdg-utils xvfb openbox libxcb1-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

jobs=$(nproc 2>/dev/null || echo 2)
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S "$here" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${OV_CMAKE_ARGS:-} >/dev/null
fi
if ! cmake --build "$build_dir" -j "$jobs" >"$build_dir/build.log" 2>&1; then
  cat "$build_dir/build.log"
  exit 1
fi
grep -E 'warning:' "$build_dir/build.log" || true

case "$action" in
  run)   exec "$build_dir/program/ostravell" "${@:2}" ;;
  test)  cd "$build_dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" --timeout 300 ;;
  build) ;;
  *) echo "usage: $0 [run|test|build]" >&2; exit 2 ;;
esac
