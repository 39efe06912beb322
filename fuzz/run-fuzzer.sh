#!/usr/bin/env bash
# Runs one harness for a while from its seeds: run-fuzzer.sh BINARY SEEDS WORK SECONDS
set -euo pipefail
binary=$1 seeds=$2 work=$3 seconds=$4
mkdir -p "$work"
cp -n "$seeds"/* "$work"/ 2>/dev/null || true
cd "$(dirname "$work")"
exec "$binary" -artifact_prefix="$(dirname "$work")/" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 "$work" "$seeds"
