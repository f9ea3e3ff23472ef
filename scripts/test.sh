#!/usr/bin/env bash
# Builds verodero and runs every test: a plain build, a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, and the worker-thread tests under ThreadSanitizer. Installs the Debian
# packages that are missing first (run as root on Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
make test
