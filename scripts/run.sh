#!/usr/bin/env bash
# Installs what is needed, builds, and starts the gateway on its embedded defaults: the store
# SMS.db in the current folder, the built-in simulated modem when no real port is configured.
# Extra arguments go to the gateway (for example --headless).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup-debian.sh"
bash "$here/scripts/build.sh" >/dev/null
exec "$here/build/app/lumetra" "$@"
