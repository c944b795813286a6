#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts the oscilloscope with a simulated instrument.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default
if [[ -x build/bin/ORV_5800 ]]; then
    exec build/bin/ORV_5800 --simulate "$@"
fi
echo "would start: build/bin/ORV_5800 --simulate"
