#!/usr/bin/env bash
# Installs the benchmark peers that come as programs rather than libraries: SUMO (its "sumo" and
# "netgenerate"), which bench_traffic runs beside our traffic. Only the benchmarks need it; without it
# bench_traffic measures our side alone and says the peer is missing.
set -euo pipefail
if command -v sumo >/dev/null && command -v netgenerate >/dev/null; then
    echo "sumo is installed: $(command -v sumo)"
    exit 0
fi
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends sumo
