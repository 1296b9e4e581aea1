# Ten cycles of the soak with a fixed seed, so that every test run has the station under
# mixed outcomes and line faults for a while; the long runs are scripts/soak's.
SOAK_CYCLES=10
SOAK_SEED=${SOAK_SEED:-4242}
source "$QEL_SOURCE/tests/e2e/soak/soak.sh"
