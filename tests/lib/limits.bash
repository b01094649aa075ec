# Sourced by the shell tests: every program a test starts runs under `limit`, so a hang fails that
# one step (status 124, or 137 when the program ignores SIGTERM) instead of holding the suite.
# usage: limit [SECONDS] PROGRAM ARGS...   (default 60 s)
limit() {
  local seconds=60
  [[ $1 =~ ^[0-9]+$ ]] && { seconds=$1; shift; }
  timeout -k 5 "$seconds" "$@"
}
