#!/usr/bin/env bash
# The Windows build: the core, the command-line tool and their tests cross-compiled with
# MinGW-w64, the tests run under Wine in a prefix of their own (build-windows/wine-prefix), and
# the ZIP package of the command-line tool, whose program must need no DLL beyond Windows' own.
# Usage: tools/test-windows.sh [build|check]    (what `cmake --workflow --preset windows-cross`
# does, plus the packages it needs and the check of the package; `build` only configures and
# builds, `check` only tests and packages what was built, so that the test command can run the
# tests under Wine beside other stages)
# A build folder it creates gets no debugging information: the package is stripped of it anyway,
# and without it the build takes a third less time. A folder configured before keeps its flags.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
started=$SECONDS
steps=${1:-all}
case $steps in
all | build | check) ;;
*)
    echo "Usage: $0 [build|check]" >&2
    exit 2
    ;;
esac

# shellcheck source=tools/packages.sh
source "$top/tools/packages.sh"
need_packages "${packages_windows[@]}"

cd "$top"
# The steps of the workflow preset windows-cross.
if [[ $steps != check ]]; then
    flags=()
    if [[ ! -f build-windows/CMakeCache.txt ]]; then
        flags+=("-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG")
    fi
    cmake --preset windows-cross "${flags[@]}"
    cmake --build --preset windows-cross -j"$(nproc)"
    if [[ $steps == build ]]; then
        elapsed=$((SECONDS - started))
        printf 'Windows build: %d min %02d s\n' $((elapsed / 60)) $((elapsed % 60))
        exit 0
    fi
fi
# One wine server for the whole run, in the tests' prefix (the preset's environment). Left to
# itself it ends when its last program does, and a test starting at that moment finds it gone
# ("wine client error: recvmsg: Connection reset by peer").
export WINEPREFIX=$top/build-windows/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    wine wineboot --init
fi
# The server wineboot started must end before a lasting one can start.
wineserver -w
wineserver -p
trap 'wineserver -k || true' EXIT
# Wine's own services start with the first program and last as long as the server: started
# here, away from any output, so that they hold no test's output open.
wine cmd /c exit </dev/null >/dev/null 2>&1
# The prefix is made here, not by the tests' own first test (wine_prefix), which would start
# a second set of Wine's services beside the lasting server's and wait for ever.
ctest --preset windows-cross -j"$(nproc)" -E '^wine_prefix$' --fixture-exclude-setup wine_prefix
cpack --preset windows-cross

# The program in the package as a user unpacks it.
package=$(ls build-windows/package/karumenio-cli-*-windows-x64.zip)
unpacked=build-windows/package/unpacked
rm -rf "$unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$top/$package")
echo "Package $package:"
(cd "$unpacked" && find . -type f | sort)
exe=$(find "$unpacked" -name karumenio-cli.exe)
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
echo "karumenio-cli.exe imports:" "${dlls//$'\n'/ }"
# The runtime is linked in: a MinGW DLL here would be missing on the user's machine.
for dll in $dlls; do
    case "${dll,,}" in
    kernel32.dll | msvcrt.dll | shell32.dll | user32.dll | advapi32.dll | bcryptprimitives.dll | \
        api-ms-win-*.dll) ;;
    *)
        echo "karumenio-cli.exe needs $dll, which Windows does not have" >&2
        exit 1
        ;;
    esac
done

elapsed=$((SECONDS - started))
printf 'Windows tests under Wine and package: %d min %02d s\n' \
    $((elapsed / 60)) $((elapsed % 60))
