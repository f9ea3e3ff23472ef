#!/usr/bin/env bash
# Installs every Debian package that the build, the tests, the benchmarks and the fuzzers need.
# Run as root on Debian 12. Does nothing when everything is there already.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libicu-dev libpcre2-dev libcurl4-openssl-dev ca-certificates
  qt6-base-dev qt6-qpa-plugins xdg-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-wqy-zenhei xvfb xauth curl
  time perl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
