#!/usr/bin/env bash
# The plugin_folder test. Installs the SDK from the build, copies its binary folder of this architecture
# alone into a plug-in folder, puts each host in a folder of its own (the C++ host with its own runtime DLLs,
# as a mingw-w64 C++ program ships them), the hosts' C++ part with its runtime DLLs in another, and another
# plug-in's DLLs of the runtime's names in a third, and runs both hosts with the working directory in yet
# another folder.
# Usage: run-plugin-folder.sh BUILD SOURCE
set -euo pipefail
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd)
work=$build/plugin-folder-test
rm -rf "$work"
mkdir -p "$work/plugins/corvel" "$work/host" "$work/host-static" "$work/cxx-part" "$work/other-plugin" \
         "$work/elsewhere"
cmake --install "$build" --prefix "$work/sdk" >/dev/null
arch=$(ls "$work/sdk/bin")
cp -r "$work/sdk/bin/$arch/." "$work/plugins/corvel/"
echo "plug-in folder ($arch): $(ls "$work/plugins/corvel" | tr '\n' ' ')"
# Its DLL imports no runtime DLL and exports exactly the 16 functions of the two headers.
header=$(x86_64-w64-mingw32-objdump -p "$work/plugins/corvel/corvel.dll")
imports=$(grep -ioE 'DLL Name: (libstdc\+\+|libgcc|libwinpthread)[^ ]*' <<<"$header" || true)
exports=$(sed -n '/Ordinal\/Name Pointer/,/^$/p' <<<"$header" | grep -cE '^\s+\[ *[0-9]+\] ' || true)
ours=$(sed -n '/Ordinal\/Name Pointer/,/^$/p' <<<"$header" | grep -cE '^\s+\[ *[0-9]+\] (corvel_[a-z_]+|_Z[0-9]+CorvelDo[A-Za-z]+Options.*)$' || true)
echo "imports of runtime DLLs: ${imports:-none}; exports: $exports, of them the library's functions: $ours"
[ -z "$imports" ] && [ "$exports" = 16 ] && [ "$ours" = 16 ] || exit 1
cp "$build/bin/plugin_host.exe" "$build"/bin/lib*.dll "$work/host/"
cp "$build/bin/plugin_host_static.exe" "$work/host-static/"
cp "$build/bin/plugin_cxx_part.dll" "$build"/bin/lib*.dll "$work/cxx-part/"
for name in libstdc++-6.dll libgcc_s_dw2-1.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$build/bin/fake_runtime.dll" "$work/other-plugin/$name"
done

winpath() { printf 'Z:%s' "${1//\//\\}"; }
status=0
for host in host/plugin_host.exe host-static/plugin_host_static.exe; do
    echo "== $host"
    (cd "$work/elsewhere" && WINEPREFIX=$build/wineprefix "$source/scripts/wine-run" "$work/$host" \
        "$(winpath "$work/plugins/corvel/corvel.dll")" "$(winpath "$work/other-plugin")" \
        "$(winpath "$work/cxx-part/plugin_cxx_part.dll")") || status=1
done
exit $status
