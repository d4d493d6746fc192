#!/usr/bin/env bash
# Installs what building and testing need: Debian packages (compiler, utf8proc, Clp, GoogleTest,
# Google Benchmark) and Python packages (build backend, test tools).
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libutf8proc-dev coinor-libclp-dev libgtest-dev libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

python3 -m pip install -q --upgrade pip >/dev/null 2>&1 || true
python3 -m pip install -q "scikit-build-core>=0.10" "cmake>=3.21" ninja pytest pytest-xdist hypothesis numpy pyte
