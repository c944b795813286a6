#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real window under Xvfb: starts with the simulated instrument, shows a trace that changes,
# closes on SIGTERM with exit code 0 and writes the preferences.
set -euo pipefail
bin_dir=${1:?program folder (build/bin)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$bin_dir" "$work/home"
cat > "$work/run.sh" <<SCRIPT
set -u
"$work/home/ORV_5800" --simulate --home "$work/home" > "$work/app.log" 2>&1 &
pid=\$!
sleep 5
import -window root "$work/a.png"
sleep 1
import -window root "$work/b.png"
kill -TERM \$pid
wait \$pid
echo \$? > "$work/exit_code"
SCRIPT
before=$(stat -c %Y "$work/home/setup/usp.vit" 2>/dev/null || echo 0)
sleep 1
xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/run.sh"
code=$(cat "$work/exit_code")
[[ "$code" == 0 ]] || { echo "exit code $code"; cat "$work/app.log"; exit 1; }
[[ $(stat -c %s "$work/home/setup/usp.vit") == 344 ]] || { echo "usp.vit not 344 bytes"; exit 1; }
[[ $(stat -c %Y "$work/home/setup/usp.vit") -gt $before ]] || { echo "usp.vit not written"; exit 1; }
[[ $(stat -c %s "$work/home/setup/logic_usp.vit") == 48 ]] || { echo "logic_usp.vit not 48 bytes"; exit 1; }
diff_pixels=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true)
echo "pixels changed between the captures: $diff_pixels"
[[ "${diff_pixels%% *}" =~ ^[0-9]+$ ]] && (( ${diff_pixels%% *} > 100 )) || { echo "trace did not change"; exit 1; }
