#!/usr/bin/env bash
# The node_host test: runs multi-file.js with Node.js for Windows under Wine against this build's
# corvel.dll, the user played by the script (--play), and checks byte for byte what it wrote.
#
# Usage: run-node-host.sh BUILD_DIR STAGE_DIR ARCH     (ARCH: x86 or x64)
#
# The tarballs of the versions pinned in package.json are fetched with `npm pack` into a cache shared by
# both builds (CORVEL_NPM_CACHE, else ~/.cache/corvel/npm), once; STAGE_DIR gets node.exe and the host
# laid out as a Node.js application: its scripts, package.json and node_modules/koffi.
set -euo pipefail

build=$(cd "${1:?usage: run-node-host.sh BUILD_DIR STAGE_DIR x86|x64}" && pwd)
stage=${2:?}
arch=${3:?}
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run
case "$arch" in x86 | x64) ;; *) echo "run-node-host: ARCH is x86 or x64, not '$arch'" >&2; exit 2 ;; esac
command -v npm >/dev/null || { echo "run-node-host: npm is missing (scripts/setup-deps installs it)" >&2; exit 1; }
started=$(date +%s)

pinned() { node -p "require(process.argv[1]).$1" "$here/package.json"; }
koffi_version=$(pinned 'dependencies.koffi')
node_package=node-win-$arch
node_version=$(pinned "config['$node_package']")

cache=${CORVEL_NPM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/corvel/npm}
mkdir -p "$cache"
# fetch NAME VERSION: the tarball's path in the cache, downloaded first when it is not there. Both builds'
# tests may ask at once: one downloads, the other waits for it.
fetch() {
    local tarball="$cache/$1-$2.tgz"
    if [ ! -s "$tarball" ]; then
        (
            flock 9
            if [ ! -s "$tarball" ]; then
                work=$(mktemp -d "$cache/.pack.XXXXXX")
                trap 'rm -rf "$work"' EXIT
                (cd "$work" && timeout 300 npm pack --silent "$1@$2" >/dev/null)
                mv "$work/$1-$2.tgz" "$tarball"
            fi
        ) 9>"$cache/.lock" >&2
    fi
    echo "$tarball"
}

node_dir=$stage/$node_package-$node_version
if [ ! -s "$node_dir/node.exe" ]; then
    tarball=$(fetch "$node_package" "$node_version")
    rm -rf "$stage/$node_package"-* && mkdir -p "$node_dir"
    tar -xzf "$tarball" -C "$node_dir" --strip-components=2 package/bin/node.exe
fi
app=$stage/app
installed=$(node -p "require(process.argv[1]).version" "$app/node_modules/koffi/package.json" 2>/dev/null || true)
if [ "$installed" != "$koffi_version" ]; then
    tarball=$(fetch koffi "$koffi_version")
    rm -rf "$app/node_modules/koffi" && mkdir -p "$app/node_modules/koffi"
    tar -xzf "$tarball" -C "$app/node_modules/koffi" --strip-components=1
fi
cp "$here"/*.js "$here/package.json" "$app/"
fetched=$(date +%s)

# Node.exe takes Windows paths; Wine's drive Z: is the root of the Linux file system.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
out=$stage/result.txt
rm -f "$out"
status=0
# Node refuses to start on a Windows older than 8.1, and this Wine prefix reports Windows 7; the
# variable skips that check for node.exe alone and leaves the prefix, shared with the other tests, as it is.
# timeout bounds the run should the dialog never close (it ends the whole process group, Wine's too).
WINEPREFIX=$build/wineprefix NODE_SKIP_PLATFORM_CHECK=1 timeout -k 10 300 "$wine_run" "$node_dir/node.exe" \
    "$(winpath "$app/multi-file.js")" --dll "$(winpath "$build/bin/corvel.dll")" --play "$(winpath "$out")" ||
    status=$?
finished=$(date +%s)
echo "node_host ($arch, $node_package $node_version, koffi $koffi_version):" \
     "packages $((fetched - started)) s, run $((finished - fetched)) s, exit $status"
echo "--- written by multi-file.js:"
cat "$out" 2>/dev/null || echo "(nothing)"

# What the call must hand back: the rows left checked after the user unchecked 設定.h and checked 😀.txt,
# exactly these bytes, with result 1; also every row shown (as the list box holds it, in UTF-16) and the
# Advanced callback asked with the dialog as its owner.
expected=$(mktemp)
actual=$(mktemp)
trap 'rm -f "$expected" "$actual"' EXIT
cat >"$expected" <<'EOF'
result 1
advanced enabled=1
advanced owner=dialog
checked C:\src\main.c
checked C:\src\Σελίδα.c
checked C:\src\ノート 📝.md
checked C:\src\😀.txt
shown C:\src\main.c
shown C:\src\Σελίδα.c
shown C:\src\главный.c
shown C:\src\ノート 📝.md
shown C:\src\😀.txt
shown C:\src\設定.h
EOF
# Compared as sorted lines: the test is about the set and its bytes, the order is the list's business.
LC_ALL=C sort -o "$expected" "$expected"
[ -e "$out" ] && LC_ALL=C sort "$out" >"$actual"
if [ "$status" -ne 0 ] || ! cmp -s "$expected" "$actual"; then
    echo "--- expected (sorted), then the difference:"
    cat "$expected"
    diff "$expected" "$actual" || true
    exit 1
fi
echo "node_host: as expected"
