#!/usr/bin/env bash
# Runs a command in a private network namespace with only loopback up, so a
# test may bind 127.0.0.1:80 (or any port) without meeting another listener
# and no lookup can leave the machine: tests/run-in-netns.sh <program> [args]
# Sets VELT_PRIVATE_NETNS=1 inside. Where no namespace can be made (not root,
# or no unshare) it runs the command as it is, without that variable.
set -u

if [ "${VELT_PRIVATE_NETNS:-0}" != 1 ] && command -v unshare >/dev/null 2>&1 &&
   unshare -n true 2>/dev/null; then
  exec unshare -n -- env VELT_PRIVATE_NETNS=1 sh -c 'ip link set lo up && exec "$@"' sh "$@"
fi
exec "$@"
