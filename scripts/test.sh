#!/usr/bin/env bash
# Installs what is missing, then runs every test twice under a virtual X server, in the normal build
# (whose Debian package is then built and checked) and in the sanitizer build (address, leak and
# undefined-behaviour checks), then fuzzes both readers briefly. Exits non-zero when any of these
# fails; each still runs after an earlier failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh

xvfb=(xvfb-run -a -s '-screen 0 1600x1000x24')
# A test program that cannot reach the virtual display at all aborts before its first test; on a
# loaded machine that happens now and then, so a failed test gets one more run (a real fault fails twice).
retry=(--repeat until-pass:2)
# Seconds each fuzz target runs; 0 skips fuzzing.
fuzz_seconds=${KNOTWORK_FUZZ_SECONDS:-60}
failed=()

# Every C++ file follows the committed .clang-format.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror || failed+=("format")

bash scripts/build.sh build -DKNOTWORK_WERROR=ON
"${xvfb[@]}" ctest --test-dir build --output-on-failure -j2 --timeout 600 "${retry[@]}" || failed+=("tests")
# The Debian package of the same build: lintian, the desktop files, and the program unpacked into a
# scratch root running there on its own data.
{ bash scripts/package.sh build && bash scripts/check_package.sh build; } || failed+=("package")

# The benchmarks are not built here: their smoke runs prove nothing more under the sanitizers.
bash scripts/build.sh build-asan -DKNOTWORK_SANITIZE=ON -DKNOTWORK_BUILD_BENCH=OFF -DKNOTWORK_WERROR=ON
# Leaks are reported at exit; those of the system libraries are listed, with reasons, in the
# suppression file. Every finding stops the program that made it and fails its test.
# Mesa's driver is unloaded before the leak check runs, which leaves its leaks with no module name to
# suppress them by; preloaded, it stays mapped. It then precedes the sanitizer runtime in the library
# list, which is harmless here (the runtime still comes before libc) but must be allowed.
driver=/usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so
preload=()
link_order=
if [ -f "$driver" ]; then
    preload=(env "LD_PRELOAD=$driver")
    link_order=:verify_asan_link_order=0
fi
(
    export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:print_stacktrace=1$link_order
    export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    "${xvfb[@]}" "${preload[@]}" ctest --test-dir build-asan --output-on-failure -j2 --timeout 1200 -LE bench "${retry[@]}"
) || failed+=("sanitizer tests")

if [ "$fuzz_seconds" -gt 0 ]; then
    for target in scene_file tga; do
        bash scripts/fuzz.sh "$target" "$fuzz_seconds" || failed+=("fuzzing $target")
    done
fi

if [ ${#failed[@]} -gt 0 ]; then
    printf 'FAILED: %s\n' "${failed[@]}"
    exit 1
fi
echo "All passed: tests, package, sanitizer tests, fuzzing for ${fuzz_seconds} s per target"
