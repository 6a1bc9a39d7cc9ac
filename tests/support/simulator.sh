# Sourced by the end-to-end scripts that start zr-programmer-sim in the background.

# Ends the script with a message; its EXIT trap cleans up.
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The value the simulator printed after KEY ("tcp", "pty") in FILE: it prints its addresses
# once it listens, the pseudo-terminal's last. Empty when it has not within 10 s.
sim_address() {
  local file="$1" key="$2"
  for _ in $(seq 100); do
    grep -q "^$key " "$file" 2>/dev/null && break
    sleep 0.1
  done
  sed -n "s/^$key //p" "$file"
}
