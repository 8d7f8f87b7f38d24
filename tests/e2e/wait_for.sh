# Sourced by the end-to-end scripts. wait_for SECONDS COMMAND...: runs COMMAND
# every half second until it succeeds; fails once SECONDS have gone by.
wait_for() {
  limit=$(( $(date +%s) + $1 )); shift
  until "$@"; do
    [ "$(date +%s)" -lt "$limit" ] || return 1
    sleep 0.5
  done
}
