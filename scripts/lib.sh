# Shared by the project's scripts: messages, package installs and the Wine prefix.
# Sourced, not run.

step() { printf '\n==> %s\n' "$*"; }
info() { printf '    %s\n' "$*"; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Runs the check given every tenth of a second until it holds; returns 1 once SECONDS
# seconds have passed without.
poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}

# Installs the Debian packages that are missing, in one apt-get run.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && { info "packages present: $*"; return 0; }
  info "installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  # Scripts of several checkouts may install at once: one at a time, and apt waits for a
  # dpkg lock that someone else holds instead of failing at once.
  local apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
  (
    flock 9
    "${apt[@]}" update -qq
    "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  ) 9>/tmp/zelv-apt.lock
}

BUILD_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest wine wine64 xvfb xauth)
BROWSER_PACKAGES=(chromium)

# Node.js 18 or later runs the browser tests; Debian's own is used when none is present.
ensure_node() {
  if command -v node >/dev/null && command -v npm >/dev/null; then
    info "node $(node --version) present"
  else
    ensure_packages nodejs npm
  fi
}

# Our own Wine prefix inside the build folder; nothing goes into $HOME.
export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Wine's background services inherit the streams of the first Wine process of a prefix;
# start them here with all three streams closed off, so no later pipe is held open.
wine_start() {
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    info "creating the Wine prefix $WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    # The first boot leaves its own session in a state where, after a few dozen process
    # starts, the listener's window is never created; the tests start in a new session.
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_stop() { wineserver -k </dev/null >/dev/null 2>&1 || true; }

# What a join needs: the two programs and the stand-in RetroArch.
JOIN_TARGETS=(kovrin ZelvListener retroarch_standin)
# The targets configure_and_build builds; empty: everything.
BUILD_TARGETS=()

# The project's version as CMake configured it in a build folder.
project_version() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"; }

configure_and_build() {
  step "configuring the Windows build in $BUILD_DIR"
  cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  step "building ${BUILD_TARGETS[*]:-everything}"
  local start=$SECONDS
  cmake --build "$BUILD_DIR" -j"$(nproc)" ${BUILD_TARGETS[@]+--target "${BUILD_TARGETS[@]}"}
  info "build took $((SECONDS - start)) s"
}

# A private X display for the listener's window and tray icon, so tests never open
# windows on the user's screen.
XVFB_PID=
xvfb_start() {
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  poll 10 test -e "/tmp/.X11-unix/X$n" || die "Xvfb did not start on :$n"
  export DISPLAY=":$n"
  info "Xvfb on $DISPLAY"
}

xvfb_stop() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}

# Everything that runs a listener holds 127.0.0.1:8080; scripts that do so run one at a
# time on a machine by taking this lock.
with_listener_port() { flock /tmp/zelv-listener-port.lock "$@"; }

# playwright-core in tests/browser. npm ci replaces node_modules, which another run may be
# reading at that moment, so it runs only when the locked version is not the installed one.
ensure_browser_driver() {
  local dir=$ROOT/tests/browser locked installed
  locked=$(node -p "require('$dir/package-lock.json').packages['node_modules/playwright-core'].version")
  installed=$(node -p "require('$dir/node_modules/playwright-core/package.json').version" 2>/dev/null || true)
  if [ "$locked" = "$installed" ]; then
    info "playwright-core $installed present in tests/browser"
  else
    info "installing the browser driver (npm ci in tests/browser)"
    (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
  fi
}
