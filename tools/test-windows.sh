#!/usr/bin/env bash
# The Windows build: the core, the command-line tool and their tests cross-compiled with
# MinGW-w64, the tests run under Wine in a prefix of their own (build-windows/wine-prefix), and
# the ZIP package of the command-line tool, whose program must need no DLL beyond Windows' own.
# Usage: tools/test-windows.sh    (what `cmake --workflow --preset windows-cross` does, plus
# the packages it needs and the check of the package)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
started=$SECONDS

# wine brings /usr/bin/wine; googletest is the source that the cross build compiles; fmt and
# fast_float (header-only) let the tests compare the fallback number conversion there too.
# shellcheck source=tools/packages.sh
source "$top/tools/packages.sh"
need_packages cmake make g++-mingw-w64-x86-64-posix wine wine64 googletest libfmt-dev libfast-float-dev

cd "$top"
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) CTEST_PARALLEL_LEVEL=$(nproc) \
    cmake --workflow --preset windows-cross

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
printf 'Windows build, tests under Wine and package: %d min %02d s\n' \
    $((elapsed / 60)) $((elapsed % 60))
