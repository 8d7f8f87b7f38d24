# Shared by the project's scripts: package set-up on a Debian machine.

# Installs the Debian packages named in "$@" that are missing: as root with
# apt-get (the package lists are refreshed first), otherwise it says what to run.
ensure_packages() {
  missing=""
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $pkg"
    fi
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages:$missing. Install them with: sudo apt-get install$missing" >&2
    return 1
  fi
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq $missing >/dev/null
}

NATIVE_PACKAGES="cmake ninja-build g++ googletest tzdata"
TOOLS_PACKAGES="clang libclang-rt-14-dev libbenchmark-dev"
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 xvfb xauth imagemagick
  fp-utils x11-utils xdotool nsis fonts-ipafont-gothic"
