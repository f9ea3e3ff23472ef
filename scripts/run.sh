#!/usr/bin/env bash
# Builds verodero and opens its window. Installs the Debian packages that are missing first (run as root
# on Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
make run
