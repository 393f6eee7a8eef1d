#!/usr/bin/env bash
# Installs the SDK from the build tree (with the other architecture's build beside it, when there is one,
# into the same prefix) and builds a host against it exactly as the README and corvel.h say, with nothing
# of this project's build set-up: once as a CMake project (find_package, corvel::corvel) and once with the
# compiler alone. Both hosts then run under Wine.
# Usage: run-consumer.sh BUILD SOURCE ARCH [OTHER-BUILD...]   (ARCH: x86 or x64)
set -euo pipefail
build=$1 source=$2 arch=$3
shift 3
work="$build/consumer-test"
rm -rf "$work/prefix" "$work/build" "$work/plain"
archs=("$arch")
cmake --install "$build" --prefix "$work/prefix" >/dev/null
for other in "$@"; do
    if [ -f "$other/cmake_install.cmake" ] && [ -f "$other/bin/corvel.dll" ]; then
        cmake --install "$other" --prefix "$work/prefix" >/dev/null
        archs+=("$([ "$arch" = x64 ] && echo x86 || echo x64)")
    fi
done
for a in "${archs[@]}"; do
    for f in bin/$a/corvel.dll demo/$a/corvel-demo.exe lib/$a/libcorvel.dll.a lib/$a/corvel.lib lib/$a/corvel.def \
             lib/cmake/corvel/corvelTargets-$a.cmake; do
        [ -f "$work/prefix/$f" ] || { echo "SDK lacks $f"; exit 1; }
    done
    # The binary folder is corvel.dll alone.
    [ "$(ls "$work/prefix/bin/$a")" = corvel.dll ] || { echo "bin/$a holds more than corvel.dll"; exit 1; }
done
for f in include/corvel/corvel.h include/corvel/corvel_c.h lib/cmake/corvel/corvelConfig.cmake; do
    [ -f "$work/prefix/$f" ] || { echo "SDK lacks $f"; exit 1; }
done
echo "SDK holds: ${archs[*]}"

if [ "$arch" = x64 ]; then
    triplet=x86_64-w64-mingw32 processor=x86_64 machine=x86-64 libgcc=libgcc_s_seh-1.dll
else
    triplet=i686-w64-mingw32 processor=i686 machine=i386 libgcc=libgcc_s_dw2-1.dll
fi
compiler=$triplet-g++-posix
cmake -S "$source/tests/consumer" -B "$work/build" -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=$processor \
      -DCMAKE_CXX_COMPILER=$compiler -DCMAKE_C_COMPILER=$triplet-gcc-posix \
      -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build"

mkdir -p "$work/plain"
$compiler -std=c++17 -O2 "$source/tests/consumer/main.cpp" -I"$work/prefix/include" -L"$work/prefix/lib/$arch" \
    -lcorvel -shared-libgcc -o "$work/plain/consumer.exe"
cp "$work/prefix/bin/$arch"/*.dll "$work/plain/"
# The host's own C++ runtime, which it ships as any mingw-w64 C++ program does.
for dll in libstdc++-6.dll $libgcc libwinpthread-1.dll; do cp "$($compiler -print-file-name=$dll)" "$work/plain/"; done

for host in "$work/build/consumer.exe" "$work/build/consumer_c.exe" "$work/plain/consumer.exe"; do
    # Each host is of the architecture asked for, and found the DLL of that architecture.
    $triplet-objdump -f "$host" | grep -q "file format pei-$machine" || { echo "$host: not $arch"; exit 1; }
done
for host in "$work/build/consumer.exe" "$work/plain/consumer.exe"; do
    # The host shares the GCC runtime with the DLL instead of carrying a copy of its own.
    $triplet-objdump -p "$host" | grep "DLL Name: $libgcc" >/dev/null || { echo "$host: no shared libgcc"; exit 1; }
    WINEPREFIX="$build/wineprefix" "$source/scripts/wine-run" "$host"
done
# A C host through corvel::c: UTF-8 texts, nothing of the C++ runtime in its own imports.
WINEPREFIX="$build/wineprefix" "$source/scripts/wine-run" "$work/build/consumer_c.exe"
