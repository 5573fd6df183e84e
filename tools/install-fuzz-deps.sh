#!/usr/bin/env bash
# Installs what the fuzz targets need beyond tools/install-deps.sh: clang with
# libFuzzer. Quiet and idempotent, as root or via sudo.
set -euo pipefail

command -v clang++ >/dev/null 2>&1 && exit 0

echo "installing: clang"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y -q --no-install-recommends clang >/tmp/krvo-apt.log 2>&1; then
  $sudo apt-get update -q >>/tmp/krvo-apt.log 2>&1
  $sudo apt-get install -y -q --no-install-recommends clang >>/tmp/krvo-apt.log 2>&1 \
    || { tail -n 30 /tmp/krvo-apt.log; exit 1; }
fi
