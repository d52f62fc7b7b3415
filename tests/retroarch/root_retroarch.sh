#!/usr/bin/env bash
# Runs the retroarch of a root made by ensure_retroarch_root (tests/retroarch/lib.sh) as if
# it were installed here: in a mount namespace of its own, the work folder is bind-mounted
# into the root at the same path, so every path handed over means the same inside. The
# process keeps one pid from here to RetroArch (each step execs the next), so whoever
# started it can stop RetroArch by that pid.
#
# It is reached through a link in a folder that also holds root.conf, setting RA_ROOT (the
# root) and RA_WORK (the folder all paths given to RetroArch lie under).
set -euo pipefail

if [ "${1-}" != --in-namespace ]; then
  # shellcheck source=/dev/null
  source "$(dirname "$0")/root.conf"
  : "${RA_ROOT:?}" "${RA_WORK:?}"
  export RA_ROOT RA_WORK
  exec unshare --mount --propagation private -- "$0" --in-namespace "$@"
fi
shift

mkdir -p "$RA_ROOT$RA_WORK"
mount --bind "$RA_WORK" "$RA_ROOT$RA_WORK"
mount --rbind /dev "$RA_ROOT/dev"
mount -t proc proc "$RA_ROOT/proc"
exec chroot "$RA_ROOT" /usr/bin/retroarch "$@"
