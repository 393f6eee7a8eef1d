#!/usr/bin/env bash
# Installs the SDK from the build tree and builds a host against it exactly as the README and corvel.h
# say, with nothing of this project's build set-up: once as a CMake project (find_package, corvel::corvel)
# and once with the compiler alone. Both hosts then run under Wine.
set -euo pipefail
build=$1 source=$2
work="$build/consumer-test"
rm -rf "$work/prefix" "$work/build" "$work/plain"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in bin/corvel.dll lib/libcorvel.dll.a lib/corvel.lib lib/corvel.def include/corvel/corvel.h \
         include/corvel/corvel_c.h lib/cmake/corvel/corvelConfig.cmake; do
    [ -f "$work/prefix/$f" ] || { echo "SDK lacks $f"; exit 1; }
done

compiler=i686-w64-mingw32-g++-posix
cmake -S "$source/tests/consumer" -B "$work/build" -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=i686 \
      -DCMAKE_CXX_COMPILER=$compiler -DCMAKE_C_COMPILER=i686-w64-mingw32-gcc-posix \
      -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build"

mkdir -p "$work/plain"
$compiler -std=c++17 -O2 "$source/tests/consumer/main.cpp" -I"$work/prefix/include" -L"$work/prefix/lib" \
    -lcorvel -shared-libgcc -o "$work/plain/consumer.exe"
cp "$work/prefix"/bin/*.dll "$work/plain/"

for host in "$work/build/consumer.exe" "$work/plain/consumer.exe"; do
    # The host shares the GCC runtime with the DLL instead of carrying a copy of its own.
    i686-w64-mingw32-objdump -p "$host" | grep 'DLL Name: libgcc_s_dw2-1.dll' >/dev/null || { echo "$host: no shared libgcc"; exit 1; }
    WINEPREFIX="$build/wineprefix" "$source/scripts/wine-run" "$host"
done
# A C host through corvel::c: UTF-8 texts, nothing of the C++ runtime in its own imports.
WINEPREFIX="$build/wineprefix" "$source/scripts/wine-run" "$work/build/consumer_c.exe"
