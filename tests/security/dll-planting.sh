#!/bin/sh
# dll-planting.sh WINE_RUN PREFIX PLANTED_DLL PROGRAM.exe [ARG...]
# With PLANTING_LAUNCHER set (a Windows program), the launcher runs instead, given the copied
# program's path and the arguments: a window program is started and closed by its watcher.
# Copies the program into a folder of its own beside a planted library under the name of each
# system library that is no KnownDLL (as an elevated program run from a Downloads folder may
# find), runs it, and fails when any planted library was loaded. Wine normally prefers its own
# builtin libraries; the override makes it look for native ones first, the way Windows does.
set -u
wine_run=$1 prefix=$2 planted=$3 program=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# version.dll is left out: Wine's own user32 imports it, so Wine itself would load a planted
# one before the program starts (Windows' user32 does not). The import table test covers it.
names="crypt32 wintrust msimg32 msftedit uxtheme dwmapi wevtapi comctl32 riched20 bcrypt"
overrides=""
for name in $names; do
    cp "$planted" "$work/$name.dll"
    overrides="$overrides${overrides:+,}$name"
done
cp "$program" "$work/"
exe="$work/$(basename "$program")"
if [ -n "${PLANTING_LAUNCHER:-}" ]; then
    set -- "$PLANTING_LAUNCHER" "Z:$exe" "$@"
else
    set -- "$exe" "$@"
fi
WINEDLLOVERRIDES="mscoree,mshtml=;$overrides=n,b" "$wine_run" "$prefix" "$@" \
    > "$work/out" 2> "$work/err"
code=$?
loaded=$(cd "$work" && ls -- *.loaded 2>/dev/null)
if [ -n "$loaded" ]; then
    echo "FAIL planted libraries were loaded: $loaded"
    exit 1
fi
echo "ok   no planted library was loaded (exit code $code)"
# A program that could not start at all would load nothing either: it must have run.
if [ "$code" -ne 0 ] && [ "$code" -ne 2 ] && [ "$code" -ne 3 ]; then
    echo "FAIL the program did not run (exit code $code)"
    cat "$work/err"
    exit 1
fi
