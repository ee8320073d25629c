# One process for many GoogleTest tests. Source it from bash.
#
#   kv2_batched_test RUNNER PROGRAM SUITE.TEST
#
# RUNNER is the command that starts PROGRAM with arguments (kv2_wine_streamed and the like).
# ctest still runs and reports every test on its own, but starting a test program costs far
# more than most tests take (under Wine, a second through the 32-bit emulator; natively, the
# sanitizers' start), so the first test of a shard runs all of that shard's tests in one process
# and keeps the output; each test then prints its own part of it and ends with its own result. A test the shard did not finish (the
# process ended in it or before it) runs in a process of its own, as does every test named in
# $KV2_TEST_ALONE (colon-separated: tests that need a fixture the others do not have).
#
# Settings: KV2_TEST_BATCH_DIR (set by scripts/test; without it every test runs alone),
# KV2_TEST_SHARD_SIZE (tests per shard, default 40).

# kv2__batch_list RUNNER PROGRAM LIST: writes the program's tests to LIST, one full name a line.
kv2__batch_list() {
  local out
  out=$("$1" "$2" --gtest_list_tests 2>/dev/null) || return
  tr -d '\r' <<<"$out" | awk '
    /gtest_main\.cc/ { next }
    /^[^ ]/ { suite = $1; sub(/\.$/, "", suite); next }
    /^  [^ ]/ { print suite "." $1 }' >"$3"
}

# kv2__batch_shards LIST SHARDS: writes "TEST SHARD" for every test of LIST that shares a
# process, in shards of $KV2_TEST_SHARD_SIZE.
kv2__batch_shards() {
  awk -v alone="${KV2_TEST_ALONE:-}" -v n="${KV2_TEST_SHARD_SIZE:-40}" '
    BEGIN { split(alone, a, ":"); for (i in a) skip[a[i]] = 1 }
    !($0 in skip) { print $0, int(k / n); k++ }' "$1" >"$2"
}

# kv2__batch_run RUNNER PROGRAM SHARDS SHARD LOG: runs one shard's tests, the output to LOG.
# LOG is written only when the process has ended, and only when its end can be trusted: status
# 0, or the 1 of failed tests that it reported, and no sanitizer's report. Any other end (a
# crash, a leak, a fault after the last test) leaves no log, and the shard's tests then run alone.
kv2__batch_run() {
  local filter rc=0
  filter=$(awk -v s="$4" '$2 == s { print $1 }' "$3" | paste -sd:)
  "$1" "$2" "--gtest_filter=$filter" >"$5.part" 2>&1 || rc=$?
  tr -d '\r' <"$5.part" >"$5.out" && rm -f "$5.part"
  # A sanitizer's report at the end belongs to no one test, and ends the process with 1 too.
  if ! grep -q '^SUMMARY: [A-Za-z]*Sanitizer' "$5.out" &&
       { ((rc == 0)) || { ((rc == 1)) && grep -q '^\[  FAILED  \] .* ([0-9]* ms)$' "$5.out"; }; }; then
    mv "$5.out" "$5"
  else
    echo "test-batch.sh: $2 ended with status $rc on its shard $4; its tests run alone" >&2
  fi
}

# kv2__batch_report DIR TEST: prints TEST's part of its shard's log and returns its result: 0
# passed or skipped, 1 failed, 2 the shard's process did not finish it, 3 it runs alone, 4 its
# shard has no log (yet). One process, for this is what most tests come to.
kv2__batch_report() {
  awk -v dir="$1" -v t="$2" 'BEGIN {
    shards = dir "/shards"
    while ((getline line < shards) > 0) { split(line, f, " "); if (f[1] == t) { s = f[2]; break } }
    if (s == "") exit (line == "" ? 4 : 3)
    lf = dir "/" s ".log"
    if ((getline line < lf) <= 0) exit 4
    do {
      if (line == "[ RUN      ] " t) on = 1
      if (!on) continue
      print line
      if (line ~ /^\[ *(OK|FAILED|SKIPPED) *\] /) {
        # "Suite.Test (3 ms)", or "Suite.Test/0, where GetParam() = ..." for a parameter
        rest = substr(line, index(line, "] ") + 2)
        if (substr(rest, 1, length(t)) == t && substr(rest, length(t) + 1, 1) ~ /[ ,]/) {
          split(line, f, " "); r = f[2]; break
        }
      }
    } while ((getline line < lf) > 0)
    exit r == "OK" || r == "SKIPPED" ? 0 : r == "FAILED" ? 1 : 2
  }'
}

kv2_batched_test() {
  local runner=$1 program=$2 test=$3
  if [[ -z ${KV2_TEST_BATCH_DIR:-} ]]; then
    "$runner" "$program" "--gtest_filter=$test" --gtest_also_run_disabled_tests
    return
  fi
  local dir rc=0
  # One folder per build of the program: a rebuilt one starts afresh.
  dir=$(stat -L -c '%Y-%s' "$program") || return
  dir=$KV2_TEST_BATCH_DIR/${program//[^A-Za-z0-9]/_}-$dir
  kv2__batch_report "$dir" "$test" || rc=$?
  if ((rc == 4)); then
    mkdir -p "$dir" || return
    (
      # Wine's server outlives the program: nothing started here may inherit the lock.
      exec 9>"$dir/lock"
      flock 9
      if [[ ! -s $dir/shards ]]; then
        kv2__batch_list "$runner" "$program" "$dir/list" 9>&- && kv2__batch_shards "$dir/list" "$dir/shards" || exit
      fi
      shard=$(awk -v t="$test" '$1 == t { print $2; exit }' "$dir/shards")
      log=$dir/$shard.log
      # Each shard runs once: a test stopped while it ran (its time ran out) leaves a part.
      if [[ -n $shard && ! -f $log && ! -f $log.part && ! -f $log.out ]]; then
        kv2__batch_run "$runner" "$program" "$dir/shards" "$shard" "$log" 9>&-
      fi
    ) || true
    rc=0
    kv2__batch_report "$dir" "$test" || rc=$?
  fi
  ((rc > 1)) || return $rc
  "$runner" "$program" "--gtest_filter=$test" --gtest_also_run_disabled_tests
}

# kv2_single_test ARGS...: true when ARGS are how ctest runs one discovered GoogleTest test.
kv2_single_test() {
  [[ $# -eq 3 && $2 == --gtest_filter=* && $3 == --gtest_also_run_disabled_tests ]]
}
