#!/usr/bin/env bash
# Runs the Linux build of karumenio-cli natively and the Windows build under Wine on the same
# points files and compares what they write byte for byte: the scripts, the DXF, the SIMA file
# and the area CSV, the exit status and the messages. The files are the worked example, the
# SIMA example of two parcels with the survey map and its GeoJSON, and COUNT generated sheets
# (tools/comparison_sheets.py, fixed seed). Prints the first difference of
# each file that differs and exits 1 when any does.
#
# Usage: tools/compare-windows.sh LINUX_BUILD WINDOWS_BUILD [COUNT]
# Environment: WINEPREFIX (default: a private one in the temporary folder), KARUMENIO_WINE
# (default wine), KARUMENIO_KEEP=1 keeps the work folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if (($# < 2)); then
    echo "Usage: $0 LINUX_BUILD WINDOWS_BUILD [COUNT]" >&2
    exit 2
fi
linux_cli=$(realpath -m "$1/cli/karumenio-cli")
windows_cli=$(realpath -m "$2/cli/karumenio-cli.exe")
count=${3:-120}
for program in "$linux_cli" "$windows_cli"; do
    if [[ ! -f $program ]]; then
        echo "$program missing: build the target karumenio-cli first" >&2
        exit 2
    fi
done

# Debian's interpreter starts faster than a version manager's shim; the standard library is
# enough.
python=$(command -v /usr/bin/python3 || command -v python3)
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/karumenio-compare-wine-$(id -u)}
export WINEDEBUG=-all
unset LC_ALL
work=$(mktemp -d "${TMPDIR:-/tmp}/karumenio-compare.XXXXXX")
wine=${KARUMENIO_WINE:-wine}
# One Wine server for every run: starting one per run would take minutes instead of seconds.
# A server already running for the prefix is used as it is and left running.
mkdir -p "$WINEPREFIX"
own_server=0
if wineserver -p 2>/dev/null; then
    own_server=1
fi
# A new prefix is set up on its first use, with messages that must not count as the tool's.
"$wine" "$windows_cli" --help >/dev/null 2>&1 || true
cleanup() {
    if ((own_server)); then
        wineserver -k || true
    fi
    if [[ -z ${KARUMENIO_KEEP:-} ]]; then
        rm -rf "$work"
    else
        echo "Work folder kept: $work"
    fi
}
trap cleanup EXIT

# The Windows runs alternate between a Japanese and a Western ANSI code page, as the bytes
# must not depend on it; without the Japanese locale all run under the Western one.
locales=(C.UTF-8)
if locale -a 2>/dev/null | grep -i '^ja_JP\.utf-\?8$' >/dev/null; then
    locales=(ja_JP.UTF-8 C.UTF-8)
else
    echo "Locale ja_JP.UTF-8 missing; every Windows run uses C.UTF-8." >&2
    echo "Generate it with: sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8" >&2
fi

start=$SECONDS
mkdir -p "$work/sheets"
"$python" "$top/tools/comparison_sheets.py" "$work/sheets" "$count"
cp "$top/examples/worked_example.tsv" "$work/sheets/worked_example.tsv"
cp "$top/examples/two_parcels.sim" "$work/sheets/two_parcels.sim"
{
    # The golden files' options, then a turned sheet and a DXF beside the scripts.
    printf 'worked_example.tsv\tworked example as the golden files\t%s\n' \
        $'--edition=2000\t--paper=A1\t--scale=100\t--angle=0.0000'
    printf 'worked_example.tsv\tworked example turned\t%s\n' \
        $'--edition=20001\t--paper=A3\t--scale=500\t--angle=-127.0559\t--radius=-1.5'
    # The survey map on B4 at 1:250, straight and turned, and the parcels in longitude and
    # latitude.
    printf 'two_parcels.sim\tsurvey map\t%s\n' \
        $'--edition=2000\t--paper=B4L\t--scale=250\t--survey-map\t--zone=9\t--date=2025-04-01\t--location=Hachioji\t--surveyor=K. Sokuryo\t--geojson=site.geojson'
    printf 'two_parcels.sim\tsurvey map turned\t%s\n' \
        $'--edition=98\t--paper=B4P\t--scale=250\t--angle=30.1500\t--survey-map\t--land-class=その他\t--zone=9\t--date=2025-04-01\t--geojson=site.geojson'
    cat "$work/sheets/sheets.txt"
} >"$work/list.txt"

outputs=(ZAHYOU.SCR LINE.SCR PLOT.SCR TEXT.SCR KYUSEKI.SCR plan.dxf site.sim area.csv site.geojson)
compared=0
differing=0
messages_differ=0
# Runs that both programs refused: they compare only the messages.
refused=0
# Per file and kind of differing lines ("numbers", "code page 932 text"): how many runs.
declare -A tally=()
cd "$work"
while IFS=$'\t' read -r -a fields; do
    sheet=${fields[0]}
    description=${fields[1]}
    options=("${fields[@]:2}")
    locale=${locales[compared % ${#locales[@]}]}
    id=$compared
    compared=$((compared + 1))
    for side in linux windows; do
        mkdir -p "$side/$id"
    done
    # Relative paths, so both programs are given the same arguments.
    arguments=("${options[@]}" --dxf "plan.dxf" --sima-out "site.sim" --area-csv "area.csv" --out .
        "../../sheets/$sheet")
    set +e
    (cd "linux/$id" && "$linux_cli" "${arguments[@]}" </dev/null >stdout 2>stderr)
    linux_status=$?
    (cd "windows/$id" &&
        LANG=$locale "$wine" "$windows_cli" "${arguments[@]}" </dev/null >stdout 2>stderr)
    windows_status=$?
    set -e

    problems=()
    if ((linux_status != 0 && windows_status != 0)); then
        refused=$((refused + 1))
        echo "REFUSED $sheet by both: $(head -1 "linux/$id/stderr")"
    fi
    if ((linux_status != windows_status)); then
        problems+=("exit status: Linux $linux_status, Windows $windows_status")
    fi
    # Windows ends console lines with CR LF.
    if ! cmp -s "linux/$id/stderr" <(tr -d '\r' <"windows/$id/stderr"); then
        messages_differ=$((messages_differ + 1))
        problems+=("messages differ:"
            "$(diff "linux/$id/stderr" <(tr -d '\r' <"windows/$id/stderr") | head -6 || true)")
    fi
    files=()
    for name in "${outputs[@]}"; do
        linux_file=linux/$id/$name
        windows_file=windows/$id/$name
        if [[ ! -e $linux_file && ! -e $windows_file ]]; then
            continue
        fi
        if [[ ! -e $linux_file || ! -e $windows_file ]]; then
            problems+=("$name written on one side only")
        elif ! cmp -s "$linux_file" "$windows_file"; then
            files+=("$name")
        fi
    done
    if ((${#problems[@]} > 0 || ${#files[@]} > 0)); then
        differing=$((differing + 1))
        echo "DIFFERS $sheet ($description; Windows under $locale)"
        echo "  options: ${options[*]}"
        for problem in "${problems[@]}"; do
            echo "  $problem"
        done
        if ((${#files[@]} > 0)); then
            report=$("$python" "$top/tools/first_difference.py" \
                "linux/$id" "windows/$id" "${files[@]}")
            echo "$report"
            while IFS= read -r line; do
                if [[ $line =~ ^\ \ ([^:]+):.*\;\ lines\ differing:\ (.*)$ ]]; then
                    for kind in numbers "code page 932 text"; do
                        if [[ ${BASH_REMATCH[2]} == *"in $kind"* ]]; then
                            key="${BASH_REMATCH[1]} ($kind)"
                            tally[$key]=$((${tally[$key]:-0} + 1))
                        fi
                    done
                fi
            done <<<"$report"
        fi
    fi
done <"$work/list.txt"

elapsed=$((SECONDS - start))
echo "Compared $compared runs ($((compared - 4)) generated sheets, the worked example and the" \
    "survey map twice each)" \
    "in ${elapsed} s: $differing differ."
for name in "${outputs[@]}"; do
    for kind in numbers "code page 932 text"; do
        if [[ -n ${tally["$name ($kind)"]:-} ]]; then
            echo "  $name has lines differing in $kind in ${tally["$name ($kind)"]} runs"
        fi
    done
done
if ((refused > 0)); then
    echo "  $refused runs were refused by both programs"
fi
if ((messages_differ > 0)); then
    echo "  the messages differ in $messages_differ runs"
fi
((differing == 0))
