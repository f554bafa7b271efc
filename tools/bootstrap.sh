#!/usr/bin/env bash
# Sets up a Debian 12 machine for VeltIndexer, builds it, then either starts
# the program (with the sample knowledge-base site) or runs every test.
#
#   tools/bootstrap.sh run    install what is missing, build, start the program
#   tools/bootstrap.sh test   install what is missing, build, run all tests
#
# Run as root, or as a user who may use sudo.
set -euo pipefail

mode=${1:-run}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
  cmake ninja-build g++ pkg-config ccache git
  libsqlite3-dev sqlite3 libpcre2-dev qt6-base-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic xvfb xauth
  curl iproute2 util-linux tinyproxy microsocks nginx
  libproxy-dev libproxy1-plugin-webkit libproxy1-plugin-gsettings libproxy1-plugin-kconfig
  libssl-dev openssl ca-certificates
  dpkg-dev file python3
  clang libclang-rt-14-dev
)

# Servers that the tests start themselves, on loopback in namespaces of
# their own. Their packages start them as services when installed, and
# nginx would then hold port 80, the sample site's: a service this script
# brought is stopped and left disabled.
test_servers=(tinyproxy microsocks nginx)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    for server in "${test_servers[@]}"; do
      if [[ " ${missing[*]} " == *" $server "* ]] && command -v systemctl >/dev/null; then
        as_root systemctl disable --now "$server" >/dev/null 2>&1 || true
      fi
    done
  fi
}

configure_and_build() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
}

install_missing

case "$mode" in
  run)
    configure_and_build "$build"
    exec "$root/tools/run-with-site.sh" "$build"
    ;;
  test)
    configure_and_build "$build"
    "$root/tools/run-tests.sh" "$build"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
