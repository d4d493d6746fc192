#!/usr/bin/env bash
# Builds the core's C++ tests and the extension module with AddressSanitizer and
# UndefinedBehaviorSanitizer (-DTARVO_SANITIZE=ON) and runs the C++ tests; with --python it also
# runs the pytest suites against the sanitized module (libasan preloaded into the interpreter).
#
#   scripts/sanitize.sh [--core-only] [--python] [--build-dir DIR] [-- PYTEST ARGS...]
#
# --core-only   build and run only the C++ tests (no module); what CI runs
# --python      also run pytest (default: tests/) against the sanitized module
# --build-dir   build directory (default: build/asan)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build/asan
core_only=0
python=0
pytest_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --core-only) core_only=1 ;;
        --python) python=1 ;;
        --build-dir) build_dir="$2"; shift ;;
        --) shift; pytest_args=("$@"); break ;;
        *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
    shift
done
if [ "$core_only" = 1 ] && [ "$python" = 1 ]; then
    echo "--python needs the module: drop --core-only" >&2
    exit 2
fi

jobs=${TARVO_JOBS:-$(nproc)}
module=ON
[ "$core_only" = 1 ] && module=OFF

# -O1 keeps the sanitized build quick to compile and its reports readable.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DTARVO_SANITIZE=ON \
    -DTARVO_BUILD_TESTS=ON -DTARVO_BUILD_MODULE="$module" -DTARVO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j "$jobs"

export ASAN_OPTIONS="abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1:detect_leaks=${TARVO_DETECT_LEAKS:-1}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"

if [ "$python" = 1 ]; then
    # The interpreter itself is not sanitized: the runtime is preloaded (with libstdc++, whose
    # __cxa_throw the runtime must find at start-up), leaks are not reported (the interpreter
    # keeps memory until exit), and Python's own allocator is switched to malloc so that
    # out-of-bounds accesses to Python objects are seen too. A process past 6 GiB resident is
    # stopped with a report (there is no address-space ceiling under the sanitizer).
    # The interpreter is started directly, not through a wrapper script (a version manager's
    # shim would run its own programs under the preloaded runtime first).
    preload="$(g++ -print-file-name=libasan.so) $(g++ -print-file-name=libstdc++.so)"
    interpreter="$(python3 -c 'import sys; print(sys.executable)')"
    [ ${#pytest_args[@]} -eq 0 ] && pytest_args=(tests)
    # The sanitized suites are several times slower: spread them over up to four workers when
    # pytest-xdist is there (scripts/setup.sh installs it).
    if "$interpreter" -c "import xdist" 2>/dev/null && [[ " ${pytest_args[*]} " != *" -n "* ]]; then
        workers=$(( jobs < 4 ? jobs : 4 ))
        pytest_args=(-n "$workers" "${pytest_args[@]}")
    fi
    LD_PRELOAD="$preload" PYTHONMALLOC=malloc \
    ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:allocator_may_return_null=1:hard_rss_limit_mb=6144" \
    PYTHONPATH="$build_dir/pkg" "$interpreter" -m pytest -q -p no:cacheprovider "${pytest_args[@]}"
fi
