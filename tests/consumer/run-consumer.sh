#!/usr/bin/env bash
# Installs the SDK from the build tree, builds the consumer project against it and runs it under Wine.
set -euo pipefail
build=$1 source=$2 toolchain=$3
work="$build/consumer-test"
rm -rf "$work/prefix" "$work/build"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$source/tests/consumer" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build"
for f in bin/corvel.dll lib/libcorvel.dll.a include/corvel/corvel.h lib/cmake/corvel/corvelConfig.cmake; do
    [ -f "$work/prefix/$f" ] || { echo "SDK lacks $f"; exit 1; }
done
WINEPREFIX="$build/wineprefix" "$source/scripts/wine-run" "$work/build/consumer.exe"
