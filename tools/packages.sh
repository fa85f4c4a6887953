# Sourced by the tools: the Debian packages each of them needs, and need_packages, which installs
# the ones missing. The lists live here so that tools/test.sh can install them all at once.

# The native build (tools/setup.sh). python3-ezdxf reads back the DXF drawings in the tests;
# MPFR checks the trigonometry; fmt and fast_float convert numbers where the C++ library cannot
# (and are checked against it here); python3-pyproj gives PROJ's values for the check of the
# plane coordinate projection; strace kills the command-line tool at each system call of a write
# in the test of interrupted runs.
packages_build=(g++ make cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev python3-ezdxf
    libmpfr-dev libfmt-dev libfast-float-dev python3-pyproj strace)
# The desktop program on top of it; qt6-translations-l10n: Qt's own Japanese texts for the file
# dialogs.
packages_desktop=(qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libgl-dev
    fonts-noto-cjk xvfb xauth)
# The core for the browser (tools/build-web.sh); googletest, the sources of GoogleTest, for its
# tests under Node.js (tools/check-web-core.sh).
packages_web=(emscripten nodejs cmake make libfmt-dev libfast-float-dev)
packages_web_tests=(googletest)
# The page in the browser (tools/test-web.sh): the browser, pdfinfo and pdftotext for the
# printed page, Japanese fonts for the names.
packages_browser=(chromium poppler-utils fonts-noto-cjk nodejs)
# The Windows build (tools/test-windows.sh): wine brings /usr/bin/wine; googletest is the source
# that the cross build compiles; fmt and fast_float (header-only) let the tests compare the
# fallback number conversion there too; lld links the test programs (tests/CMakeLists.txt).
packages_windows=(cmake make g++-mingw-w64-x86-64-posix wine wine64 googletest libfmt-dev
    libfast-float-dev lld)
# clang for the fuzz targets (tools/fuzz.sh) and the test command's sanitizer build.
packages_clang=(clang-14 libclang-rt-14-dev lld cmake make libfmt-dev libfast-float-dev)

# Installs the Debian packages named when any is missing (as root), or says which to install
# and stops.
need_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    if [[ $(id -u) -eq 0 ]]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    else
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
}
