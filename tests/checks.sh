# Sourced by the shell tests that go on after a failed check, to report them all: a scratch
# directory $work, removed on exit, fail MESSAGE for each failed check, and passed MESSAGE at
# the end, which exits 1 if any check failed.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

passed() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "$*"
}
