#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The layers without Qt under ThreadSanitizer: the simulator's threads against the device
# library and the engine end to end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh tsan
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --preset tsan
