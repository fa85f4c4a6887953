# shellcheck shell=bash
# Sourced by tools/test.sh: runs the test command's stages, one after another or beside each
# other, times each (wall clock and CPU) and prints a table of them at the end, also when a
# stage fails, with a warning for a stage that took more than twice its usual share.
#
#   stage NAME COMMAND...         runs COMMAND and waits for it; its output goes straight out
#   stage_start NAME COMMAND...   starts COMMAND beside what follows; its output is kept and
#                                 printed whole when it is waited for
#   stage_wait NAME...            waits for stages started with stage_start
#   stage_skip NAME REASON        records a stage that did not run, and why
#
# A stage that fails stops the run: the stages still going are ended and the table printed.
# The usual shares are read from tools/stage-shares.txt.

# Every stage is a job of its own (a process group), so that a failure or Ctrl+C ends the
# whole of each stage still running, compilers and browsers included.
set -m

stages_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
stages_dir=$(mktemp -d "${TMPDIR:-/tmp}/karumenio-stages.XXXXXX")
stages_began=${EPOCHREALTIME/./}
stages_order=()
stages_failed=
declare -A stages_pid=() stages_from=() stages_to=() stages_cpu=() stages_note=()

# Microseconds since the run began.
stages_now() {
    echo $((${EPOCHREALTIME/./} - stages_began))
}

# The stage's command in a subshell that leaves the CPU time of everything it ran (user and
# system, children included) in NAME.times and its end in NAME.end when it ends, however it
# ends. The subshell is
# started as a job and waited for, never tested with || or if: either would switch off set -e
# inside the command.
stages_launch() {
    local name=$1
    shift
    if [[ -n ${stages_from[$name]:-} ]]; then
        echo "stage $name is run twice" >&2
        exit 2
    fi
    stages_order+=("$name")
    stages_from[$name]=$(stages_now)
    (
        trap 'times >"$stages_dir/$name.times"; echo "${EPOCHREALTIME/./}" >"$stages_dir/$name.end"' EXIT
        "$@"
    ) &
    stages_pid[$name]=$!
}

# Records the end of a stage that has been waited for, with its status.
stages_finish() {
    local name=$1 status=$2
    # A stage beside others ended when it wrote its end, which may be long before it was waited
    # for.
    local end
    if [[ -f $stages_dir/$name.end ]]; then
        end=$(<"$stages_dir/$name.end")
        stages_to[$name]=$((end - stages_began))
    else
        stages_to[$name]=$(stages_now)
    fi
    unset 'stages_pid[$name]'
    # `times` writes the shell's own user and system time, then its children's, as "1m2.345s
    # 0m6.789s"; all four are added up, in milliseconds.
    local cpu=0 field
    if [[ -f $stages_dir/$name.times ]]; then
        for field in $(<"$stages_dir/$name.times"); do
            if [[ $field =~ ^([0-9]+)m([0-9]+)\.([0-9]{3})s$ ]]; then
                cpu=$((cpu + BASH_REMATCH[1] * 60000 + 10#${BASH_REMATCH[2]} * 1000 + 10#${BASH_REMATCH[3]}))
            fi
        done
    fi
    stages_cpu[$name]=$(((cpu + 500) / 1000))
    if ((status != 0)); then
        stages_failed=$name
        echo "Stage $name failed (exit status $status)." >&2
        exit "$status"
    fi
}

stage() {
    local name=$1
    echo "== $name: ${*:2}"
    stages_launch "$@"
    local status=0
    wait "${stages_pid[$name]}" || status=$?
    stages_finish "$name" "$status"
}

stage_start() {
    local name=$1
    echo "== $name (beside the next stages): ${*:2}"
    stages_launch "$name" "${@:2}" >"$stages_dir/$name.log" 2>&1
}

stage_wait() {
    local name status
    for name in "$@"; do
        if [[ -z ${stages_pid[$name]:-} ]]; then
            continue
        fi
        status=0
        wait "${stages_pid[$name]}" || status=$?
        echo "== $name ended; its output:"
        cat "$stages_dir/$name.log"
        stages_finish "$name" "$status"
    done
}

stage_skip() {
    stages_order+=("$1")
    stages_note[$1]="skipped: $2"
}

# Seconds from microseconds, rounded.
stages_seconds() {
    echo $((($1 + 500000) / 1000000))
}

# The table: each stage's wall-clock seconds, its share of the whole run, when it started and
# its CPU seconds (two cores give up to twice the wall time). Stages that ran beside others
# overlap, so the shares may add up to more than 100 %.
stage_report() {
    local total now name from to seconds share usual
    now=$(stages_now)
    total=$((now > 0 ? now : 1))
    declare -A usual_share=()
    local shares=$stages_top/tools/stage-shares.txt
    if [[ -f $shares ]]; then
        while read -r name usual _; do
            [[ -z $name || $name == \#* ]] && continue
            usual_share[$name]=$usual
        done <"$shares"
    fi
    local warnings=()
    echo
    echo "Stage times (wall clock; CPU is user + system of all its processes):"
    printf '%-16s %8s %6s %8s %7s  %s\n' stage seconds share started CPU-s ""
    for name in "${stages_order[@]}"; do
        if [[ -n ${stages_note[$name]:-} ]]; then
            printf '%-16s %8s %6s %8s %7s  %s\n' "$name" - - - - "${stages_note[$name]}"
            continue
        fi
        from=${stages_from[$name]}
        to=${stages_to[$name]:-$now}
        seconds=$(stages_seconds $((to - from)))
        share=$(((to - from) * 100 / total))
        local state=""
        if [[ -z ${stages_to[$name]:-} ]]; then
            state="(unfinished)"
        elif [[ $name == "$stages_failed" ]]; then
            state="(failed)"
        fi
        printf '%-16s %8d %5d%% %8d %7s  %s\n' "$name" "$seconds" "$share" \
            "$(stages_seconds "$from")" "${stages_cpu[$name]:--}" "$state"
        usual=${usual_share[$name]:-}
        if [[ -z $usual ]]; then
            warnings+=("stage $name has no usual share in tools/stage-shares.txt")
        elif ((share > 2 * usual && seconds > 10)); then
            warnings+=("stage $name took ${share} % of the run, more than twice its usual ${usual} %")
        fi
    done
    printf '%-16s %8d %5d%%\n' total "$(stages_seconds "$total")" 100
    local limit=${KARUMENIO_TEST_MINUTES:-20}
    if ((total > limit * 60 * 1000000)); then
        warnings+=("the run took longer than ${limit} minutes")
    fi
    local warning
    for warning in "${warnings[@]}"; do
        echo "WARNING: $warning" >&2
    done
}

# Whatever ends the run ends the stages still going, then prints the table.
stages_exit() {
    local status=$? name
    for name in "${!stages_pid[@]}"; do
        kill -TERM -- "-${stages_pid[$name]}" 2>/dev/null || true
        if [[ -f $stages_dir/$name.log ]]; then
            echo "== $name was still running; its output so far:"
            tail -n 40 "$stages_dir/$name.log"
        fi
    done
    stage_report
    rm -rf "$stages_dir"
    exit "$status"
}
trap stages_exit EXIT
trap 'exit 130' INT TERM
