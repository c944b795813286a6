#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds a preset (default: "default", the whole program in build/).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
