#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them for a given time over its seed corpus.
#
#   scripts/fuzz.sh scene_file 60          # fuzz the scene-file reader for 60 seconds
#   scripts/fuzz.sh tga 1800 -jobs=1       # further arguments go to libFuzzer
#   scripts/fuzz.sh build                  # only build the targets
#   scripts/fuzz.sh corpus                 # regenerate fuzz/corpus from its generator
#
# The build goes to $KNOTWORK_FUZZ_BUILD (default build-fuzz). New inputs a run finds go to
# <build>/found-<target>, crash files to <build>/artifacts-<target>/; the committed seeds are only read.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KNOTWORK_FUZZ_BUILD:-build-fuzz}
case "$build" in /*) ;; *) build=$root/$build ;; esac
cxx=${CXX_FUZZ:-clang++}

# Warnings are errors here too. The evaluator's unroll hints are for the release build: at -O1 clang
# declines some of them, which is no fault.
common=(-std=c++20 -g -O1 -Wall -Wextra -Werror -Wno-pass-failed -fno-omit-frame-pointer -ffp-contract=off
        -Isrc)
fuzz_flags=(-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)

# compile OUT SOURCE FLAGS...: recompiles when the source, any header of the readers or this
# script is newer than the object.
compile() {
    local out=$1 src=$2
    shift 2
    if [ ! -f "$out" ] || [ "$src" -nt "$out" ] || [ "$newest_header" -nt "$out" ]; then
        "$cxx" "${common[@]}" "$@" -c "$src" -o "$out"
    fi
}
newest_header=$(ls -t src/geometry/*.h src/surfaces/*.h src/scene/*.h src/canvas/tga_image.h scripts/fuzz.sh | head -n 1)

# The readers and everything they link: geometry and surfaces (the draw files too, which need
# libGL only to link; the fuzzers never draw) and the TGA reader, which is plain C++.
build_library() {
    local flavour=$1
    shift
    mkdir -p "$build/obj-$flavour"
    objects=()
    local src
    for src in src/geometry/*.cpp src/surfaces/*.cpp src/scene/*.cpp src/canvas/tga_image.cpp; do
        local out="$build/obj-$flavour/$(basename "${src%.cpp}").o"
        compile "$out" "$src" "$@"
        objects+=("$out")
    done
}

build_fuzzers() {
    mkdir -p "$build"
    # -fsanitize=fuzzer-no-link instruments the libraries; only the targets carry libFuzzer's main.
    build_library fuzz -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    # The seed generator is built only on request; checking it here keeps it in step with the readers.
    "$cxx" "${common[@]}" -fsyntax-only fuzz/make_fuzz_corpus.cpp
    local target
    for target in scene_file tga; do
        compile "$build/${target}_fuzzer.o" "fuzz/${target}_fuzzer.cpp" "${fuzz_flags[@]}"
        "$cxx" "${fuzz_flags[@]}" "$build/${target}_fuzzer.o" "${objects[@]}" -lGL -o "$build/${target}_fuzzer"
    done
}

make_corpus() {
    mkdir -p "$build"
    build_library plain
    compile "$build/make_fuzz_corpus.o" fuzz/make_fuzz_corpus.cpp
    "$cxx" "$build/make_fuzz_corpus.o" "${objects[@]}" -lGL -o "$build/make_fuzz_corpus"
    "$build/make_fuzz_corpus" fuzz/corpus data/examples
}

usage() {
    echo "usage: $0 scene_file|tga SECONDS [libFuzzer arguments...]" >&2
    echo "       $0 build | corpus" >&2
    exit 2
}

[ $# -ge 1 ] || usage
case "$1" in
build)
    build_fuzzers
    exit 0
    ;;
corpus)
    make_corpus
    exit 0
    ;;
scene_file | tga) ;;
*) usage ;;
esac
target=$1
seconds=${2:-}
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
shift 2

build_fuzzers
found="$build/found-$target"
artifacts="$build/artifacts-$target"
mkdir -p "$found" "$artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:print_stacktrace=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

# A scene file holds many entries of up to a few kilobytes; the font image is one header and its pixels.
case "$target" in
scene_file) max_len=16384 ;;
tga) max_len=8192 ;;
esac

echo "fuzzing $target for $seconds s (new inputs: $found, crashes: $artifacts)"
# The first folder receives what the run finds; the committed seeds after it are read only.
exec "$build/${target}_fuzzer" "$found" "fuzz/corpus/$target" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=30 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$@"
