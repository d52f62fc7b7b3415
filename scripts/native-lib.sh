# Shared by scripts/test-native and scripts/fuzz: the native clang build of the
# platform-free code with sanitizers and the libFuzzer targets. Sourced after lib.sh.

NATIVE_BUILD_DIR=${NATIVE_BUILD_DIR:-$ROOT/build-native}
# clang-14 and the sanitizer and libFuzzer runtimes it links; llvm-14 has the symbolizer
# that puts file and line into sanitizer reports.
NATIVE_PACKAGES=(cmake make clang-14 libclang-rt-14-dev llvm-14 googletest)
FUZZ_TARGETS=(http join_uri config_text retroarch_command_line arg_quote)
FUZZ_CORPUS_DIR=$ROOT/tests/fuzz/corpus
FUZZ_ARTIFACT_DIR=$NATIVE_BUILD_DIR/fuzz-artifacts

export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-/usr/bin/llvm-symbolizer-14}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

native_configure_and_build() {
  step "configuring the native clang build with sanitizers and fuzzers in $NATIVE_BUILD_DIR"
  cmake -S "$ROOT" -B "$NATIVE_BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELV_SANITIZE=ON -DZELV_FUZZ=ON >/dev/null
  step "building"
  local start=$SECONDS
  cmake --build "$NATIVE_BUILD_DIR" -j"$(nproc)"
  info "build took $((SECONDS - start)) s"
}

# Fails unless every name is one of FUZZ_TARGETS.
check_fuzz_targets() {
  local name known
  for name in "$@"; do
    for known in "${FUZZ_TARGETS[@]}"; do [ "$name" = "$known" ] && continue 2; done
    die "unknown fuzz target '$name' (targets: ${FUZZ_TARGETS[*]})"
  done
}

# Starts one target in the background for the given seconds on the corpus folder given,
# which grows; finish_fuzz_target waits for it.
declare -A FUZZ_PIDS=()
start_fuzz_target() {
  local name=$1 seconds=$2 corpus=$3
  mkdir -p "$FUZZ_ARTIFACT_DIR"
  info "fuzz_$name: $seconds s from $(find "$corpus" -type f | wc -l) inputs (log: $NATIVE_BUILD_DIR/fuzz-$name.log)"
  "$NATIVE_BUILD_DIR/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$FUZZ_ARTIFACT_DIR/$name-" "$corpus" \
    >"$NATIVE_BUILD_DIR/fuzz-$name.log" 2>&1 </dev/null &
  FUZZ_PIDS[$name]=$!
}

# Waits for a started target; on a crash prints the report, names the saved input and fails.
finish_fuzz_target() {
  local name=$1 corpus=$2 status=0
  local log=$NATIVE_BUILD_DIR/fuzz-$name.log
  wait "${FUZZ_PIDS[$name]}" || status=$?
  unset "FUZZ_PIDS[$name]"
  if [ "$status" -ne 0 ]; then
    # The report starts at the first failed check, sanitizer error or libFuzzer error.
    sed -n '/FUZZ_CHECK failed\|ERROR: AddressSanitizer\|runtime error:\|ERROR: libFuzzer/,$p' "$log" |
      head -n 60 >&2
    die "fuzz_$name failed; its input is saved in $FUZZ_ARTIFACT_DIR; rerun it with $NATIVE_BUILD_DIR/tests/fuzz/fuzz_$name FILE"
  fi
  info "fuzz_$name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -n 1), no failure;" \
    "corpus now $(find "$corpus" -type f | wc -l) inputs"
}

# Ends the targets still running, when a script stops early.
stop_fuzz_targets() {
  local pid
  for pid in "${FUZZ_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${FUZZ_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
}
