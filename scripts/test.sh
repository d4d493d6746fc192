#!/usr/bin/env bash
# Installs everything, builds the module and the C++ tests, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc)

# The Python package (abi3 extension) into the current environment.
CMAKE_BUILD_PARALLEL_LEVEL=$jobs python3 -m pip install -q --no-build-isolation .

# The core's C++ tests.
cmake -S . -B build/tests -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_MODULE=OFF -DTARVO_BUILD_TESTS=ON >/dev/null
cmake --build build/tests -j "$jobs"
ctest --test-dir build/tests --output-on-failure -j "$jobs"

# The same C++ tests, and the Python suites against the module, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (the engine's callbacks, borrows and expiring views run there too).
scripts/sanitize.sh --python --build-dir build/asan

# The test-only module that exercises the binding toolkit (tests/test_toolkit.py), on its own path.
cmake -S . -B build/probe -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=ON >/dev/null
cmake --build build/probe -j "$jobs" --target toolkit_probe
mkdir -p build/probe/only && cp build/probe/pkg/_toolkit_probe*.so build/probe/only/

# The Python surface, against the installed module (run from outside the source tree).
(cd tests && PYTHONPATH="$PWD/../build/probe/only" python3 -m pytest -q -p no:cacheprovider .)
