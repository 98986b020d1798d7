#!/usr/bin/env bash
# Runs the libFuzzer targets of tests/fuzz, built in BUILD_DIR (make fuzz-build).
#
#   tools/fuzz.sh BUILD_DIR SECONDS [TARGET...]   each target for SECONDS
#   tools/fuzz.sh --runs N BUILD_DIR [TARGET...]  each target for N executions
#   tools/fuzz.sh --smoke BUILD_DIR [TARGET...]   each target over its checked-in corpus, then
#                                                 10,000 new inputs (what CI runs)
#
# TARGET is a name without "fuzz_" (console_options); none: every target. Runs grow a copy of the
# checked-in corpus in BUILD_DIR/fuzz-corpus/TARGET, which is never changed itself; findings
# (crash-*, timeout-*, leak-*) go to BUILD_DIR/fuzz-findings/TARGET. Prints each target's
# executions; exits 1 on a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: tools/fuzz.sh [--smoke | --runs N] BUILD_DIR [SECONDS] [TARGET...]"

mode=time
runs=0
case "${1:-}" in
  --smoke) mode=smoke; shift ;;
  --runs) mode=runs; runs=${2:?$usage}; shift 2 ;;
esac
build_dir=${1:?$usage}
shift
seconds=0
if [ $mode = time ]; then
  seconds=${1:?$usage}
  shift
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for corpus in tests/fuzz/corpus/*/; do targets+=("$(basename "$corpus")"); done
fi

failed=()
for target in "${targets[@]}"; do
  fuzzer="$build_dir/tests/fuzz/fuzz_$target"
  seeds=tests/fuzz/corpus/$target
  [ -x "$fuzzer" ] || { echo "fuzz.sh: $fuzzer is not built" >&2; exit 2; }
  work="$build_dir/fuzz-corpus/$target"
  findings="$build_dir/fuzz-findings/$target"
  log="$build_dir/fuzz-$target.log"
  mkdir -p "$work" "$findings"
  options=(-artifact_prefix="$findings/" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048)
  seed_count=$(find "$seeds" -type f | wc -l)
  status=0
  start=$SECONDS
  case $mode in
    smoke)
      # The checked-in inputs one by one, then 10,000 new ones grown from them in a fresh corpus.
      rm -rf "$work" && mkdir -p "$work"
      "$fuzzer" "${options[@]}" "$seeds"/* > "$log" 2>&1 || status=$?
      if [ $status -eq 0 ]; then
        "$fuzzer" "${options[@]}" -seed=1 -runs=$((seed_count + 10000)) "$work" "$seeds" >> "$log" 2>&1 || status=$?
      fi
      ;;
    runs) "$fuzzer" "${options[@]}" -runs="$runs" "$work" "$seeds" > "$log" 2>&1 || status=$? ;;
    time) "$fuzzer" "${options[@]}" -max_total_time="$seconds" "$work" "$seeds" > "$log" 2>&1 || status=$? ;;
  esac
  executions=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo 0)
  if [ $status -eq 0 ]; then
    echo "fuzz_$target: $executions executions in $((SECONDS - start)) s over $seed_count corpus inputs, no finding"
  else
    echo "fuzz_$target: FINDING (exit status $status), see $log and $findings"
    grep -a -E 'ERROR|property failed|==[0-9]+==' "$log" | head -5 || true
    failed+=("$target")
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzz.sh: findings in: ${failed[*]}" >&2; exit 1; }
