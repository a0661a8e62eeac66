#!/usr/bin/env bash
# consume.sh <host source dir> <fakeplatform>: the installed package as a host's build sees it.
# Environment (set by CTest): TQ_BUILD_DIR, TQ_CMAKE, TQ_GENERATOR, CXX, TQ_CXX_LAUNCHER,
# TQ_HOST_FLAGS (the build's sanitizer flags: an instrumented library needs an instrumented host).
set -euo pipefail
host_src=$1
fakeplatform=$2
work=$(mktemp -d)
fake_pid=
cleanup() {
    [ -n "$fake_pid" ] && kill "$fake_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
step() { # step <log name> <command...>: quiet unless it fails
    "${@:2}" > "$work/$1.log" 2>&1 || { cat "$work/$1.log" >&2; fail "$1"; }
}

prefix=$work/prefix
step install "$TQ_CMAKE" --install "$TQ_BUILD_DIR" --prefix "$prefix"
echo "installed:"
(cd "$prefix" && find . -type f -o -type l | sort | sed 's/^\.\//  /')
if find "$prefix" -name '*_p.h' | grep -q .; then fail "private headers installed"; fi
if find "$prefix" -iname '*fake*' -o -iname '*testing*' | grep -q .; then fail "test bed installed"; fi
soname=$(objdump -p "$(find "$prefix" -name libtqapi.so)" | awk '/SONAME/ {print $2}')
[ "$soname" = "libtqapi.so.1" ] || fail "SONAME is '$soname'"

# find_package(TqApi 1.0 REQUIRED), out of tree.
launcher=()
[ -n "${TQ_CXX_LAUNCHER:-}" ] && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER="$TQ_CXX_LAUNCHER")
step configure "$TQ_CMAKE" -S "$host_src" -B "$work/host" -G "$TQ_GENERATOR" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_CXX_FLAGS="${TQ_HOST_FLAGS:-}" "${launcher[@]}"
step build "$TQ_CMAKE" --build "$work/host"

# The same program from `pkg-config --cflags --libs tqapi` alone.
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name tqapi.pc)")
read -r -a pc_flags <<< "$(pkg-config --cflags --libs tqapi)"
libdir=$(pkg-config --variable=libdir tqapi)
# -fPIC: Qt is built with reduced relocations and asks it of every program that uses it.
step pkgconfig "$CXX" -std=c++17 -fPIC -Wall -Wextra -Werror ${TQ_HOST_FLAGS:-} "$host_src/main.cpp" \
    -o "$work/tqhost-pc" "${pc_flags[@]}" -Wl,-rpath,"$libdir"

# The fake platform on a free port; its first line says which.
# The sample host brings its own session id ("host-session").
exec 3< <(exec "$fakeplatform" --port 0 --session host-session 2> "$work/fakeplatform.log")
fake_pid=$!
read -r -t 60 line <&3 || fail "fakeplatform did not start"
[[ $line =~ ^listening\ on\ 127\.0\.0\.1:([0-9]+)$ ]] || fail "fakeplatform said '$line'"
discovery=http://127.0.0.1:${BASH_REMATCH[1]}/discovery

expected="6 channels: 1 News 24, 2 Sport, 3 Movies, 4 Kids, 5 Music, 6 Nature"
for host in "$work/host/tqhost" "$work/tqhost-pc"; do
    rc=0
    answer=$("$host" "$discovery") || rc=$?
    [ $rc -eq 0 ] || { cat "$work/fakeplatform.log" >&2; fail "$(basename "$host") exited with $rc"; }
    [ "$answer" = "$expected" ] || fail "$(basename "$host") answered '$answer', expected '$expected'"
    echo "$(basename "$host"): $answer"
done
