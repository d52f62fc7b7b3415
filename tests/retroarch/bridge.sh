#!/usr/bin/env bash
# Stands in for retroarch.exe when kovrin.exe runs under Wine: it takes kovrin's arguments,
# turns their Wine drive paths into Unix paths and runs the Linux RetroArch with them.
#
# It is reached through a link in a RetroArch folder that also holds bridge.conf, a shell
# fragment setting:
#   RA_CONFIG   the headless base configuration, passed with --config
#   RA_HOME     HOME for RetroArch, so it writes nothing into the real one
#   RA_LOG      where RetroArch's output goes
# and optionally RA_EXECUTABLE (/usr/bin/retroarch) and RA_CORES_DIR (Debian's cores).
# It leaves beside bridge.conf: bridge-args.txt (the arguments as received, one a line),
# bridge-cwd.txt, retroarch-command.txt, bridge.pid, retroarch.pid, bridge.log, and
# retroarch.rc once RetroArch has ended.
set -euo pipefail

here=$(dirname "$0")
# The streams Wine gives a Unix child are kovrin's own; whoever waits for kovrin's output
# would otherwise wait for this bridge and RetroArch too.
exec </dev/null >>"$here/bridge.log" 2>&1
echo "$$" >"$here/bridge.pid"
# shellcheck source=/dev/null
source "$here/bridge.conf"
: "${RA_CONFIG:?}" "${RA_HOME:?}" "${RA_LOG:?}"
RETROARCH=${RA_EXECUTABLE:-/usr/bin/retroarch}
CORES_DIR=${RA_CORES_DIR:-/usr/lib/x86_64-linux-gnu/libretro}

# Wine also hands over further descriptors of the Windows side; keep only the three
# standard ones, so nothing of kovrin's or Wine's stays open in RetroArch.
for fd_path in "/proc/$$/fd"/*; do
  fd=${fd_path##*/}
  case $fd in 0 | 1 | 2 | 255) ;; *) eval "exec $fd>&-" 2>/dev/null || true ;; esac
done

printf '%s\n' "$@" >"$here/bridge-args.txt"
pwd >"$here/bridge-cwd.txt"

# Z:\a\b c\d -> /a/b c/d. The Z: drive is the Unix root in every Wine prefix; anything
# else is passed on untouched, so a wrong path shows up in RetroArch's own log.
to_unix() {
  local value=$1
  case $value in
    [Zz]:[\\/]*)
      value=${value:2}
      value=${value//\\//}
      while [[ $value == *//* ]]; do value=${value//\/\//\/}; done
      ;;
  esac
  printf '%s' "$value"
}

# kovrin checks that <cores>\<name>_libretro.dll exists; the Linux RetroArch needs the
# Linux build of the same core, from the folder where its info says it supports netplay.
to_linux_core() {
  local name
  name=$(basename "$(to_unix "$1")")
  case $name in
    *_libretro.dll) printf '%s/%s.so' "$CORES_DIR" "${name%.dll}" ;;
    *) to_unix "$1" ;;
  esac
}

args=(--config "$RA_CONFIG")
while [ $# -gt 0 ]; do
  case $1 in
    --libretro | -L)
      args+=("$1" "$(to_linux_core "${2-}")")
      shift 2 || shift
      ;;
    --appendconfig)
      args+=("$1" "$(to_unix "${2-}")")
      shift 2 || shift
      ;;
    *)
      args+=("$(to_unix "$1")")
      shift
      ;;
  esac
done
printf '%s\n' "$RETROARCH" "${args[@]}" >"$here/retroarch-command.txt"

mkdir -p "$RA_HOME"
HOME=$RA_HOME "$RETROARCH" "${args[@]}" </dev/null >>"$RA_LOG" 2>&1 &
ra_pid=$!
# Wine reports a Unix child as ended at once, so the pid written here is the only way
# for whoever started kovrin to find and stop this RetroArch.
echo "$ra_pid" >"$here/retroarch.pid"
trap 'kill -TERM "$ra_pid" 2>/dev/null || true' TERM INT
rc=0
wait "$ra_pid" || rc=$?
# A trapped signal ends the first wait early; wait once more for the real exit code.
if kill -0 "$ra_pid" 2>/dev/null; then wait "$ra_pid" || rc=$?; fi
echo "$rc" >"$here/retroarch.rc"
exit 0
