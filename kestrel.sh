#!/usr/bin/env bash
# Set-up, build and start of Kestrel on a Debian 12 machine.
#   ./kestrel.sh demo                install what is missing, build, start kestrel on
#                                    a demo mail server of its own (demo/demo.sh)
#   ./kestrel.sh run [FILE.box]      install what is missing, build, start kestrel
#   ./kestrel.sh run --cli [ARGS]    the same for kestrel-mail, the command line
#   ./kestrel.sh test                install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

PACKAGES=(
  g++ clang cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  dovecot-imapd python3-aiosmtpd libssl-dev openssl
  libgsf-1-dev python3-olefile
  unifont netpbm
  qt6-base-dev qt6-multimedia-dev qt6-translations-l10n libx11-dev fonts-droid-fallback
  xvfb xauth poppler-utils dpkg-dev file
  python3 libpython3.11-testsuite golang-github-jhillyerd-enmime-dev libgmime-3.0-dev
)

install_missing() {
  local missing=() package
  for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  ((${#missing[@]})) || return 0
  echo "kestrel.sh: installing ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

cpu_count() { nproc 2>/dev/null || echo 2; }

build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(cpu_count)"
}

need_display() {
  if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "kestrel.sh: there is no display to show Kestrel's windows on (DISPLAY is not set)." >&2
    echo "  Run it from a desktop session, or on a virtual display: xvfb-run -a ./kestrel.sh $1" >&2
    echo "  The command-line program needs none: ./kestrel.sh run --cli --help" >&2
    exit 1
  fi
}

case "${1:-}" in
  demo)
    install_missing
    need_display demo
    build build
    exec demo/demo.sh build/cli/kestrel-mail build/app/kestrel
    ;;
  run)
    shift
    install_missing
    build build
    if [ "${1:-}" = "--cli" ]; then
      shift
      if [ $# -eq 0 ]; then set -- --help; fi
      exec build/cli/kestrel-mail "$@"
    fi
    need_display run
    exec build/app/kestrel "$@"
    ;;
  test)
    install_missing
    # The library tests once more, built by clang under AddressSanitizer and
    # UBSan; a failure there ends the run with that summary.
    CXX=clang++ build build-sanitize -DKESTREL_SANITIZE=ON -DKESTREL_LIBRARY_ONLY=ON
    (cd build-sanitize &&
      ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest -L library -j "$(cpu_count)" --output-on-failure)
    build build
    cd build && exec ctest -j "$(cpu_count)" --output-on-failure
    ;;
  *)
    echo "usage: ./kestrel.sh demo | ./kestrel.sh run [FILE.box] | ./kestrel.sh run --cli [ARGS] | ./kestrel.sh test" >&2
    exit 2
    ;;
esac
