#!/usr/bin/env bash
# Installs everything, builds the module and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) python3 -m pip install -q --no-build-isolation .
python3 examples/demo.py
