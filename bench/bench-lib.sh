# shellcheck shell=bash disable=SC2034,SC2059,SC2154
# Helpers shared by bench/run-end-to-end and bench/run-floor; sourced, not run. Each script sets
# bench_name (for messages) and, before timing anything, work (its scratch directory).

fail() {
  echo "$bench_name: $*" >&2
  exit 2
}

# Runs a command once with its standard output in $1 and its standard error in $2 (both in $1
# when $2 is empty); sets w u s to its wall, user and system seconds (bash's own timing, to the
# millisecond) and m to its peak memory in KB (GNU time's maximum resident set size).
timed_into() {
  local out=$1 err=$2
  shift 2
  local TIMEFORMAT='%3R %3U %3S' status=0 log=${err:-$out}
  # Braces, not a subshell: the status must outlive the timing.
  if [ -z "$err" ]; then
    { time { /usr/bin/time -f "%M" -o "$work/peak.txt" "$@" >"$out" 2>&1 || status=$?; }; } \
      2>"$work/times.txt"
  else
    { time { /usr/bin/time -f "%M" -o "$work/peak.txt" "$@" >"$out" 2>"$err" || status=$?; }; } \
      2>"$work/times.txt"
  fi
  if [ "$status" -ne 0 ]; then
    echo "$bench_name: failed (exit status $status): $*" >&2
    sed 's/^/  | /' "$log" | tail -n 20 >&2
    exit 2
  fi
  read -r w u s <"$work/times.txt"
  m=$(tail -n 1 "$work/peak.txt")
}

# As timed_into, with standard output and standard error together in one log.
timed() {
  local log=$1
  shift
  timed_into "$log" "" "$@"
}

# The GB2312 characters exactly as `--charset GB2312` takes them (glibc's iconv, code order,
# control codes left out): for programs that want them spelled out.
gb2312_symbols() {
  local lead trail lead_escape trail_escape
  {
    for ((trail = 0x20; trail <= 0x7e; trail++)); do
      printf -v trail_escape '\\x%02x' "$trail"
      printf "$trail_escape\n"
    done
    for ((lead = 0xa1; lead <= 0xfe; lead++)); do
      printf -v lead_escape '\\x%02x' "$lead"
      for ((trail = 0xa1; trail <= 0xfe; trail++)); do
        printf -v trail_escape '\\x%02x' "$trail"
        printf "$lead_escape$trail_escape\n"
      done
    done
  } >"$work/gb2312.bytes"
  # Pairs GB2312 does not define decode to nothing and drop out as empty lines.
  iconv -c -f GB2312 -t UTF-8 "$work/gb2312.bytes" | grep -v '^$' | tr -d '\n'
}

# Entries written: the counts in the table header lines of the exported source.
glyph_count() {
  LC_ALL=C grep -ao 'font[0-9]*x[0-9]*\[[0-9]*\] = ' "$1" |
    sed 's/.*\[\([0-9]*\)\].*/\1/' | awk '{ n += $1 } END { print n + 0 }'
}

# Builds the given targets as a Release build in $build_dir unless each has its program in
# $build_dir/bin already, and warns when that build is not Release.
ensure_built() {
  local target missing=0
  for target in "$@"; do
    [ -x "$build_dir/bin/$target" ] || missing=1
  done
  if [ "$missing" -eq 1 ]; then
    echo "$bench_name: building a Release $* in $build_dir"
    cmake -S "$repo" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build_dir" --target "$@" -j2 >/dev/null
  fi
  for target in "$@"; do
    [ -x "$build_dir/bin/$target" ] || fail "no $target in $build_dir/bin after building"
  done
  local build_type
  build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build_dir/CMakeCache.txt" 2>/dev/null || true)
  if [ "$build_type" != "Release" ]; then
    echo "$bench_name: warning: $build_dir is a \"${build_type:-unknown}\" build, not Release" >&2
  fi
}

# Stops unless the pindot in $1 has -o (export from the command line).
require_export_option() {
  if ! "$1" --help 2>/dev/null | grep -q -- '--output'; then
    fail "$1 has no -o/--output option yet (its --help lists none): nothing to time until export lands in the command line"
  fi
}
