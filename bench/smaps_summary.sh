#!/usr/bin/env bash
# Sums a /proc/PID/smaps copy (bench/startup_wine.sh with BENCH_SMAPS_DIR) by mapping name:
# resident KiB, of it anonymous, and private, largest first; anonymous mappings as one line.
# Usage: bench/smaps_summary.sh FILE.smaps [LINES]
set -euo pipefail
awk '
  /^[0-9a-f]+-[0-9a-f]+ / { name = ($6 == "") ? "[anonymous]" : $6; for (i = 7; i <= NF; i++) name = name " " $i; next }
  /^Rss:/ { rss[name] += $2; total += $2 }
  /^Anonymous:/ { anon[name] += $2; anons += $2 }
  /^Private_(Clean|Dirty):/ { priv[name] += $2 }
  END {
    printf "%8s %8s %8s  %s\n", "rss", "anon", "private", "mapping"
    for (n in rss) if (rss[n] > 0) printf "%8d %8d %8d  %s\n", rss[n], anon[n], priv[n], n | "sort -rn"
    close("sort -rn")
    printf "%8d %8d %8s  total (KiB)\n", total, anons, ""
  }' "$1" | head -n "${2:-40}"
