#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time from its
# committed seed corpus, after replaying every input that once made it fail.
#   fuzz/run.sh                 every target, 60 seconds each
#   FUZZ_SECONDS=300 fuzz/run.sh fuzz_label_file
# Environment: FUZZ_SECONDS (time per target), OV_FUZZ_BUILD_DIR (build folder,
# default build-fuzz beside fuzz/), FUZZ_JOBS (build jobs).
# A failure leaves the failing input under $OV_FUZZ_BUILD_DIR/artifacts/<target>/;
# once fixed, copy it into fuzz/regressions/<target>/ so that it is replayed for good.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build_dir=${OV_FUZZ_BUILD_DIR:-$(dirname "$here")/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_label_file fuzz_command_line fuzz_message_number fuzz_mailbox_line fuzz_db_criteria)

cxx=${FUZZ_CXX:-clang++-14}
if ! command -v "$cxx" >/dev/null; then
  echo "fuzz: $cxx not found (Debian packages clang-14 and libclang-rt-14-dev)" >&2
  exit 1
fi

if [ ! -f "$build_dir/build.ninja" ]; then
  CXX="$cxx" cmake -S "$here" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build_dir" -j "${FUZZ_JOBS:-$(nproc 2>/dev/null || echo 2)}" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
for t in "${targets[@]}"; do
  bin="$build_dir/$t"
  artifacts="$build_dir/artifacts/$t"
  mkdir -p "$artifacts"

  # Every input that ever failed, once each.
  shopt -s nullglob
  regressions=("$here/regressions/$t"/*)
  shopt -u nullglob
  if [ ${#regressions[@]} -gt 0 ]; then
    echo "=== $t: replaying ${#regressions[@]} regression input(s)"
    if ! "$bin" -artifact_prefix="$artifacts/" "${regressions[@]}" >"$artifacts/replay.log" 2>&1; then
      tail -n 40 "$artifacts/replay.log"
      echo "fuzz: $t fails on a regression input" >&2
      status=1
      continue
    fi
  fi

  # Fuzzing from the seeds; new inputs go to a scratch corpus, the committed
  # seeds stay as they are.
  work="$build_dir/corpus/$t"
  mkdir -p "$work"
  echo "=== $t: fuzzing for ${seconds}s"
  if ! "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$artifacts/" "$work" "$here/corpus/$t" >"$artifacts/fuzz.log" 2>&1; then
    tail -n 60 "$artifacts/fuzz.log"
    echo "fuzz: $t failed; the input is in $artifacts/" >&2
    status=1
    continue
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$artifacts/fuzz.log" | tr '\n' ' '
  echo
done
exit $status
