# shellcheck shell=bash disable=SC2034,SC2120
# The RetroArch side of a join, shared by scripts/test-retroarch and scripts/demo: a
# headless RetroArch host, a player's folder whose RetroArch is our bridge, a join through
# the example lobby page, and the proof of the join from both RetroArch logs.
# Sourced after scripts/lib.sh, not run. The caller sets RUN (where the ROM is) and
# CASE_DIR (the folder of one join) and may set NETWORK_MODE (netns or shared).

RA_TESTS=$ROOT/tests/retroarch
RETROARCH=${RETROARCH:-$(command -v retroarch || echo /usr/bin/retroarch)}
CORE_SO=/usr/lib/x86_64-linux-gnu/libretro/gambatte_libretro.so
PYTHON=/usr/bin/python3
ROM_NAME="Zelv Test.gb"
HOST_NICK="Zelv Host"
GUEST_NICK="Zelv Guest"
GUEST_NICK_URI="Zelv%20Guest"
JOIN_WAIT_S=30
PAGE_PORT=8000
NETWORK_MODE=${NETWORK_MODE:-shared}
RUN=${RUN:-}
CASE=${CASE:-}
CASE_DIR=${CASE_DIR:-}
PLAYER_DIR=""
RA_DIR=""
# The RetroArch of the next host and of the next player; scripts/test-retroarch sets them
# per case, the demo uses RETROARCH for both.
HOST_RETROARCH=${HOST_RETROARCH:-$RETROARCH}
CLIENT_RETROARCH=${CLIENT_RETROARCH:-$RETROARCH}
RELAY_PORT=""
RELAY_SESSION=""
# --never-accept makes our relay leave every tunnel link unanswered: each relay case must
# then fail, which shows that its proof depends on the relay.
RELAY_FLAGS=${RELAY_FLAGS:-}
STARTED=()  # "pid what pattern" for every process started here, stopped in reverse order

# RetroArch 1.20 from Debian 13, in a root of its own under the build tree, made once and
# made again only when what goes into it changes.
RA120_ROOT=${RA120_ROOT:-$BUILD_DIR/retroarch-1.20/root}
RA120_SUITE=trixie
RA120_PACKAGES=(retroarch libretro-gambatte libretro-core-info)
# Headless RetroArch needs neither documentation, translations, fonts nor menu assets.
RA120_OPTIONS=(--mode=root --variant=minbase --aptopt='APT::Install-Recommends "false"'
  --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*'
  --dpkgopt='path-exclude=/usr/share/locale/*' --dpkgopt='path-exclude=/usr/share/fonts/*'
  --dpkgopt='path-exclude=/usr/share/libretro/assets/*')

warn() { printf 'warning: %s\n' "$*" >&2; }

# RetroArch and the Debian gambatte core, with which a real join can be shown.
retroarch_available() { command -v retroarch >/dev/null && [ -f "$CORE_SO" ]; }

is_running() {
  local pid=$1 state
  [ -r "/proc/$pid/stat" ] || return 1
  state=$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null | cut -d' ' -f1) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

# Stops one recorded process: TERM, up to 5 s, then KILL. A pid whose command line no
# longer names what we started has been reused by someone else and is left alone.
stop_process() {
  local pid=$1 what=$2 pattern=$3 i
  is_running "$pid" || return 0
  tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q -- "$pattern" || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  for ((i = 0; i < 50; i++)); do
    is_running "$pid" || return 0
    sleep 0.1
  done
  warn "$what (pid $pid) ignored TERM; killing it"
  kill -KILL "$pid" 2>/dev/null || true
}

stop_started() {
  local i entry
  for ((i = ${#STARTED[@]} - 1; i >= 0; i--)); do
    entry=${STARTED[i]}
    # shellcheck disable=SC2086
    stop_process $entry
  done
  STARTED=()
}

# On the way out, also the bridge and RetroArch of a join that failed before they were
# recorded: only their pid files name them.
stop_all() {
  local file
  if [ -n "$RA_DIR" ]; then
    for file in "$RA_DIR/bridge.pid" "$RA_DIR/retroarch.pid"; do
      [ -s "$file" ] && STARTED+=("$(cat "$file") ${file##*/} retroarch")
    done
  fi
  stop_started
}

show_logs() {
  local file
  for file in "$CASE_DIR"/host/retroarch.log "$CASE_DIR"/relay.log "$CASE_DIR"/client-retroarch.log \
    "$CASE_DIR/Zelv Player/launcher-log.txt" "$CASE_DIR"/kovrin-wine.txt \
    "$CASE_DIR/Retro Arch"/bridge-args.txt "$CASE_DIR/Retro Arch"/retroarch-command.txt \
    "$CASE_DIR/Retro Arch"/bridge.log; do
    [ -f "$file" ] || continue
    printf '\n----- %s (last 60 lines)\n' "${file#"$RUN"/}" >&2
    tail -n 60 "$file" >&2
  done
}

fail() {
  printf '\nFAILED %s: %s\n' "${CASE:-RetroArch join}" "$*" >&2
  show_logs
  exit 1
}

# Polls a check until it holds, for at most $1 seconds; the case fails without.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  poll "$seconds" "$@" || fail "no $what within $seconds s"
}

has_line() { grep -F -q -- "$2" "$1" 2>/dev/null; }

# Prints the first log line holding the text, as the proof of what it says.
show_proof() {
  local who=$1 file=$2 text=$3
  has_line "$file" "$text" || fail "$who log has no line with: $text"
  printf '    %-7s %s\n' "$who:" "$(grep -F -m 1 -- "$text" "$file")"
}

tcp_listening() { [ -n "$(ss -Hltn "sport = :$1")" ]; }
host_log() { echo "$CASE_DIR/host/retroarch.log"; }
client_log() { echo "$CASE_DIR/client-retroarch.log"; }
host_ready() { has_line "$(host_log)" "You have joined as player 1" && tcp_listening "$1"; }
joined_both() {
  has_line "$(host_log)" "$GUEST_NICK has joined as player 2" &&
    has_line "$(client_log)" "You have joined as player 2"
}

# A port nobody listens on: any port will do inside our own namespace.
free_port() {
  local port
  for port in "$@"; do
    if [ "$NETWORK_MODE" = netns ] || ! ss -Hntul "sport = :$port" | grep -q .; then
      echo "$port"
      return 0
    fi
  done
  for ((port = 40000; port < 41000; port++)); do
    ss -Hntul "sport = :$port" | grep -q . || { echo "$port"; return 0; }
  done
  fail "no free port"
}

win_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

# One instance's RetroArch configuration: our headless settings plus the lines given.
# RetroArch takes the first line of a key, so a given line replaces ours for its key.
write_config() {
  local file=$1 line keys=" "
  shift
  for line in "$@"; do keys+="${line%% *} "; done
  {
    awk -v keys="$keys" '{ key = $1 } index(keys, " " key " ") == 0' "$RA_TESTS/headless.cfg"
    printf '%s\n' "$@"
  } >"$file"
}

# A fresh RUN folder holding our generated Game Boy ROM.
prepare_run() {
  rm -rf "$RUN"
  mkdir -p "$RUN"
  "$PYTHON" "$RA_TESTS/make_rom.py" "$RUN/$ROM_NAME"
  info "generated our Game Boy ROM \"$ROM_NAME\" ($(stat -c %s "$RUN/$ROM_NAME") bytes)"
}

# The RetroArch host (HOST_RETROARCH), started here directly: --host on the port, with our
# ROM and core; any further arguments are configuration lines.
launch_host() {
  local port=$1 password=${2-}
  shift 2 || shift
  local dir=$CASE_DIR/host
  mkdir -p "$dir/home"
  write_config "$dir/retroarch.cfg" "$@"
  local args=(--config "$dir/retroarch.cfg")
  if [ -n "$password" ]; then
    # Only the host reads the room's key; it gets it the way a host player would set it.
    printf 'netplay_password = "%s"\n' "$password" >"$dir/password.cfg"
    args+=(--appendconfig "$dir/password.cfg")
  fi
  HOME=$dir/home "$HOST_RETROARCH" "${args[@]}" --host --port "$port" --nick "$HOST_NICK" \
    --libretro "$CORE_SO" "$RUN/$ROM_NAME" </dev/null >"$dir/retroarch.log" 2>&1 &
  local pid=$!
  STARTED+=("$pid host-RetroArch retroarch")
  info "host RetroArch started, pid $pid, port $port${password:+, room password set}"
}

start_host() {
  launch_host "$@"
  wait_until 20 "netplay host on port $1" host_ready "$1"
  show_proof host "$(host_log)" "[Netplay] You have joined as player 1"
}

# Our stand-in relay on a loopback port (RELAY_PORT); it writes the session a host opens.
start_relay() {
  RELAY_PORT=$(free_port 55440)
  # shellcheck disable=SC2086
  "$PYTHON" "$RA_TESTS/relay.py" "$RELAY_PORT" "$CASE_DIR/relay-session.txt" $RELAY_FLAGS \
    </dev/null >"$CASE_DIR/relay.log" 2>&1 &
  STARTED+=("$! relay relay.py")
  wait_until 10 "stand-in relay on port $RELAY_PORT" tcp_listening "$RELAY_PORT"
  info "stand-in relay listening on 127.0.0.1:$RELAY_PORT${RELAY_FLAGS:+ ($RELAY_FLAGS)}"
}

relay_host_ready() { has_line "$(host_log)" "You have joined as player 1" && [ -s "$CASE_DIR/relay-session.txt" ]; }

# A host whose room is reached only through our relay: it opens a session there and
# listens on no port of its own. Sets RELAY_SESSION, the id a client joins with.
start_relay_host() {
  local password=${1-}
  start_relay
  launch_host 55435 "$password" 'netplay_use_mitm_server = "true"' 'netplay_mitm_server = "custom"' \
    "netplay_custom_mitm_server = \"127.0.0.1|$RELAY_PORT\""
  wait_until 20 "relay session opened by the host" relay_host_ready
  RELAY_SESSION=$(cat "$CASE_DIR/relay-session.txt")
  show_proof host "$(host_log)" "[Netplay] You have joined as player 1"
  show_proof relay "$CASE_DIR/relay.log" "opened session $RELAY_SESSION"
}

# A relay session in a query: base64 holds '+', '/' and '=', which a query would change.
session_query_value() {
  local value=$1
  value=${value//+/%2B}
  value=${value//\//%2F}
  printf '%s' "${value//=/%3D}"
}

# The player's side: a base folder as kovrin's users have it, and a RetroArch folder whose
# retroarch.sh is our bridge. The blanks in the folder names go through every quoting step.
prepare_player() {
  PLAYER_DIR=$CASE_DIR/Zelv\ Player
  RA_DIR=$CASE_DIR/Retro\ Arch
  mkdir -p "$PLAYER_DIR/cores" "$PLAYER_DIR/games/Game Boy" "$RA_DIR"
  # kovrin only checks that the core file exists; the bridge maps it to the Linux core.
  : >"$PLAYER_DIR/cores/gambatte_libretro.dll"
  cp "$RUN/$ROM_NAME" "$PLAYER_DIR/games/Game Boy/$ROM_NAME"
  ln -s "$RA_TESTS/bridge.sh" "$RA_DIR/retroarch.sh"
  write_config "$RA_DIR/client.cfg" "$@"
  {
    printf 'RA_CONFIG=%q\n' "$RA_DIR/client.cfg"
    printf 'RA_HOME=%q\n' "$CASE_DIR/client-home"
    printf 'RA_LOG=%q\n' "$CASE_DIR/client-retroarch.log"
    printf 'RA_EXECUTABLE=%q\n' "$CLIENT_RETROARCH"
  } >"$RA_DIR/bridge.conf"
  # The launcher takes the bytes between quotes as they stand: single backslashes.
  printf '{"retroarchPath": "%s", "coresPath": "cores", "gamesPath": ".\\games"}\n' \
    "$(win_path "$RA_DIR/retroarch.sh")" >"$PLAYER_DIR/launcher-config.json"
}

# Wine reports the bridge as ended at once; the pids it writes are how we stop it and the
# RetroArch it started.
adopt_bridge() {
  wait_until 10 "RetroArch pid from the bridge" test -s "$RA_DIR/retroarch.pid"
  local bridge_pid ra_pid
  bridge_pid=$(cat "$RA_DIR/bridge.pid")
  ra_pid=$(cat "$RA_DIR/retroarch.pid")
  STARTED+=("$bridge_pid bridge retroarch.sh" "$ra_pid client-RetroArch retroarch")
  info "bridge pid $bridge_pid started the client RetroArch, pid $ra_pid"
}

prove_join() {
  wait_until "$JOIN_WAIT_S" "join in both logs" joined_both
  show_proof host "$(host_log)" "[Netplay] Got connection from: \"$GUEST_NICK\""
  show_proof host "$(host_log)" "$GUEST_NICK has joined as player 2"
  show_proof client "$(client_log)" "[Netplay] Connected to: \"$HOST_NICK\""
  show_proof client "$(client_log)" "You have joined as player 2"
}

# The client came through the relay's tunnel: the host took the link our relay offered.
prove_tunnel() {
  show_proof host "$(host_log)" "[Netplay] Queued tunnel link connection."
  show_proof host "$(host_log)" "[Netplay] Tunnel link connection completed."
  show_proof relay "$CASE_DIR/relay.log" "joined: piping host and client"
}

# The wineserver of our prefix, found by its working folder, which Wine names after the
# prefix's device and inode.
wineserver_pid() {
  local want proc
  want=server-$(stat -c %D "$WINEPREFIX")-$(printf '%x' "$(stat -c %i "$WINEPREFIX")")
  for proc in /proc/[0-9]*; do
    case $(readlink "$proc/exe" 2>/dev/null) in */wineserver*) ;; *) continue ;; esac
    [ "$(basename "$(readlink "$proc/cwd" 2>/dev/null)")" = "$want" ] || continue
    echo "${proc#/proc/}"
    return 0
  done
  return 1
}

# Wine's sockets are made by the wineserver, so the listener's port 8080 is in the
# wineserver's network namespace. Inside our own namespace with our own wineserver, no
# other listener can clash with it and the machine-wide lock is not needed.
listener_port_is_private() {
  [ "$NETWORK_MODE" = netns ] || return 1
  local pid
  pid=$(wineserver_pid) || return 1
  if [ "$(readlink "/proc/$pid/ns/net")" != "$(readlink "/proc/$$/ns/net")" ]; then
    fail "the wineserver of $WINEPREFIX (pid $pid) runs outside this network namespace; stop it with: WINEPREFIX=$WINEPREFIX wineserver -k"
  fi
}

# One join through examples/lobby.html: ZelvListener.exe under Wine in PLAYER_DIR, the
# page on 127.0.0.1:$PAGE_PORT, and Join pressed in headless Chromium (--headless) or by
# the user. Returns once kovrin has started RetroArch and the bridge's pids are recorded.
browser_join() {
  local query=$1
  shift
  # A bound on the whole join; the user of a real browser gets minutes to press Join.
  local limit=400
  [[ " $* " == *" --headless "* ]] && limit=90
  local run=(timeout "$limit" env ZELV_BUILD_DIR="$BUILD_DIR" node "$RA_TESTS/browser_join.mjs"
    "$PLAYER_DIR" "$query" --port "$PAGE_PORT" "$@")
  if listener_port_is_private; then
    info "the wineserver (pid $(wineserver_pid)) is in this namespace: port 8080 here is ours alone"
    "${run[@]}" || fail "the join through the lobby page failed"
  else
    info "waiting for the machine-wide listener port lock"
    with_listener_port "${run[@]}" || fail "the join through the lobby page failed"
  fi
  adopt_bridge
}

# What the bridge received from kovrin, as RetroArch would have received it on Windows.
show_received() {
  printf '    working folder: %s\n' "$(cat "$RA_DIR/bridge-cwd.txt")"
  local i=1 arg
  while IFS= read -r arg; do
    printf '    argv[%d] = %s\n' "$i" "$arg"
    i=$((i + 1))
  done <"$RA_DIR/bridge-args.txt"
  local command=() line
  mapfile -t command <"$RA_DIR/retroarch-command.txt"
  printf -v line '%q ' "${command[@]}"
  printf '    the bridge ran: %s\n' "${line% }"
}

# The demo's join when RetroArch is installed: a real headless host on loopback, joined
# through the example page by the listener, kovrin, the bridge and a real RetroArch client.
retroarch_demo() {
  local folder=$1
  shift
  RUN=$folder
  CASE_DIR=$folder
  CASE="demo"
  local version
  version=$("$RETROARCH" --version 2>&1 | grep -o -m 1 'v[0-9][0-9.]*' | head -n 1 || true)
  step "RetroArch ${version:-(version unknown)} is installed: joining a real headless RetroArch host"
  info "demo folder $folder"
  prepare_run
  local port
  port=$(free_port 55435)
  start_host "$port"
  prepare_player
  step "joining through the example lobby page"
  browser_join "host=127.0.0.1&port=$port&core=gambatte&game=$ROM_NAME&nickname=$GUEST_NICK" --show-log "$@"
  step "what RetroArch received (through the bridge to the Linux RetroArch)"
  show_received
  step "the join in both RetroArch logs"
  prove_join
  step "stopping both RetroArch instances"
  stop_all
}

# The Debian archive the machine's own apt sources name, as apt itself reads them, so the
# root comes from the same mirror as every other package here.
debian_mirror() {
  # shellcheck disable=SC2016 # $(…) are apt's own format fields
  apt-get indextargets --no-release-info --format '$(REPO_URI) $(RELEASE)' 'Target-Of: deb' |
    awk '$1 ~ /^https?:\/\// && $2 !~ /-security$|\/updates$/ { print $1; found = 1; exit } END { exit !found }'
}

# What the root is made of; a root whose stamp differs is made anew.
retroarch_root_recipe() {
  printf '%s\n' "$RA120_SUITE" "${RA120_PACKAGES[@]}" "${RA120_OPTIONS[@]}"
}

# Makes the RetroArch 1.20 root with mmdebstrap unless the one there has this recipe.
# Needs the network, so it runs before the tier moves into its own namespace.
ensure_retroarch_root() {
  local dir=${RA120_ROOT%/*} stamp=${RA120_ROOT}.stamp
  if [ -x "$RA120_ROOT/usr/bin/retroarch" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$(retroarch_root_recipe)" ]; then
    info "RetroArch $(retroarch_root_version) root present in $RA120_ROOT"
    return 0
  fi
  ensure_packages mmdebstrap
  # Debian 12 verifies Debian 13 with the keys its debian-archive-keyring carries since
  # 2023.3+deb12u2; verification stays on.
  [ -f /usr/share/keyrings/debian-archive-trixie-automatic.gpg ] ||
    die "no Debian 13 archive key: upgrade debian-archive-keyring (apt-get install debian-archive-keyring)"
  local mirror start=$SECONDS
  mirror=$(debian_mirror) || die "no Debian archive found in /etc/apt/sources.list*"
  info "making the RetroArch root in $RA120_ROOT with mmdebstrap (Debian $RA120_SUITE: ${RA120_PACKAGES[*]})"
  mkdir -p "$dir"
  rm -rf "$RA120_ROOT.new" "$stamp"
  local packages
  packages=$(IFS=,; echo "${RA120_PACKAGES[*]}")
  if ! mmdebstrap "${RA120_OPTIONS[@]}" --include="$packages" "$RA120_SUITE" "$RA120_ROOT.new" \
    "deb $mirror $RA120_SUITE main" >"$dir/mmdebstrap.log" 2>&1; then
    tail -n 30 "$dir/mmdebstrap.log" >&2
    die "mmdebstrap failed; its log is $dir/mmdebstrap.log"
  fi
  rm -rf "$RA120_ROOT"
  mv "$RA120_ROOT.new" "$RA120_ROOT"
  retroarch_root_recipe >"$stamp"
  info "made RetroArch $(retroarch_root_version) root in $((SECONDS - start)) s, $(du -sh "$RA120_ROOT" | cut -f1) on disk"
}

# The root's RetroArch as one program, used like /usr/bin/retroarch: a link to
# root_retroarch.sh beside the root.conf naming the root and RUN, under which all paths lie.
prepare_root_retroarch() {
  local dir=$RUN/retroarch-1.20
  mkdir -p "$dir"
  ln -sfn "$RA_TESTS/root_retroarch.sh" "$dir/retroarch"
  printf 'RA_ROOT=%q\nRA_WORK=%q\n' "$RA120_ROOT" "$RUN" >"$dir/root.conf"
  echo "$dir/retroarch"
}

retroarch_root_version() {
  dpkg-query --admindir="$RA120_ROOT/var/lib/dpkg" -W -f='${Version}' retroarch 2>/dev/null
}
