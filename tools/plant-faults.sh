#!/usr/bin/env bash
# Measures what the test suite catches: plants each fault of
# tools/planted-faults.txt in turn, rebuilds the trees that compile the file,
# runs the native tests and, if they pass, the Wine tests, records which test
# failed, and puts the file back.
#
#   tools/plant-faults.sh [--check] [id...]
#
# Without ids every fault runs. --check only tells whether each fault can be
# planted. Needs built trees (make native win32). JOBS (default 2) sets the
# build jobs; BASELINE=0 skips the opening run on unchanged sources.
# Logs: build/faults/<id>.log.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-2}
logs=build/faults
mkdir -p "$logs"

# --- The fault list -----------------------------------------------------------
declare -a ids=()
declare -A file=() find=() repl=() what=()
while IFS= read -r line; do
    [[ -z $line || $line == \#* ]] && continue
    read -r key value <<<"$line"
    case $key in
        id) id=$value; ids+=("$id") ;;
        file) file[$id]=$value ;;
        find) find[$id]=$value ;;
        repl) repl[$id]=$value ;;
        what) what[$id]=$value ;;
        *) echo "planted-faults.txt: unknown key '$key'" >&2; exit 2 ;;
    esac
done <tools/planted-faults.txt

check_only=0
if [[ ${1:-} == --check ]]; then check_only=1; shift; fi
selected=("$@")
[ ${#selected[@]} -gt 0 ] || selected=("${ids[@]}")
for id in "${selected[@]}"; do
    [[ -v file[$id] ]] || { echo "no fault named $id" >&2; exit 2; }
done

# --- Planting and restoring -----------------------------------------------------
# The original is kept on disk, so a run that was killed outright is undone
# by the next one.
backup=$logs/planted.orig
record=$logs/planted.path

restore() {
    [ -f "$record" ] || return 0
    cat "$backup" >"$(cat "$record")"  # a fresh time stamp: every tree rebuilds it
    rm -f "$backup" "$record"
}

# Occurrences of $2 in the file $1.
count() {
    local content rest
    IFS= read -r -d '' content <"$1"
    rest=${content//"$2"/}
    echo $(( (${#content} - ${#rest}) / ${#2} ))
}

plant() {
    local f=${file[$1]} content
    [[ -f $f && -n ${find[$1]} && $(count "$f" "${find[$1]}") -eq 1 ]] || return 1
    cp "$f" "$backup" && echo "$f" >"$record"
    IFS= read -r -d '' content <"$f"
    printf '%s' "${content/"${find[$1]}"/"${repl[$1]}"}" >"$f"
}

restore
if [ $check_only = 1 ]; then
    bad=0
    for id in "${selected[@]}"; do
        f=${file[$id]}
        n="no file or no text"
        [[ -f $f && -n ${find[$id]} ]] && n=$(count "$f" "${find[$id]}")
        [ "$n" = 1 ] || { echo "could not plant $id: found $n times in $f"; bad=1; }
    done
    [ $bad = 0 ] && echo "all ${#selected[@]} faults can be planted"
    exit $bad
fi

# --- Building and testing -------------------------------------------------------
build() { cmake --build "build/$1" -j "$jobs" >>"$2" 2>&1; }

# True when some object of the tree was compiled from the file, reached from
# the top of the tree or through its layer's include tree.
compiles() { grep -rqsF --include='*.d' -e "$root/$2" -e "$root/build/$1/layers/${2%%/*}/$2" "build/$1"; }

# Runs ctest in one tree with options $3..., appending to log $2.
ctest_in() {
    local tree=$1 log=$2 out rc
    shift 2
    out=$(mktemp)
    if [ "$tree" = native ]; then
        (cd build/native && ctest -j "$jobs" --output-on-failure "$@") >"$out" 2>&1
    else
        tools/with-xvfb.sh bash -c 'cd build/win32 && ctest --output-on-failure "$@"' ctest "$@" >"$out" 2>&1
    fi
    rc=$?
    tr -d '\r' <"$out" >>"$log"
    # A failed Wine test keeps its simulator files for inspection: not wanted here.
    sed -n 's|^with-sims.sh: simulator files kept in \(/tmp/quarnel-sims\.[A-Za-z0-9]*\)$|\1|p' "$out" | xargs -r rm -rf
    rm -f "$out"
    return $rc
}

# Runs one tree's tests; prints the test that failed. A failing test must
# fail again on its own: one that then passes is flaky, and the run starts
# over once.
failing_test() {
    local tree=$1 log=$2 name case
    for attempt in 1 2; do
        ctest_in "$tree" "$log" --stop-on-failure && return
        name=$(sed -n '1s/^[0-9]*://p' "build/$tree/Testing/Temporary/LastTestsFailed.log" 2>/dev/null)
        case=$(grep '\[  FAILED  \] ' "$log" | sed -n '$s/^\[  FAILED  \] \([^ ,]*\).*/\1/p')
        if ! ctest_in "$tree" "$log" --rerun-failed; then
            # A Wine test is a whole program: name the case that failed in it.
            [[ $tree == win32 && -n $case ]] && name="$name ($case)"
            echo "${name:-unknown test}"
            return
        fi
        echo "flaky: $name passed when run again" | tee -a "$log" >&2
    done
}

rebuild_all() {
    restore
    echo "rebuilding the trees from the restored sources"
    for tree in native win32; do
        [ -d "build/$tree" ] && { build $tree "$logs/rebuild.log" || echo "build/$tree failed: see $logs/rebuild.log"; }
    done
}
trap 'exit 130' INT TERM
trap rebuild_all EXIT

started=$SECONDS
if [ "${BASELINE:-1}" = 1 ]; then
    echo "baseline: building and running every test on the unchanged sources"
    : >"$logs/baseline.log"
    for tree in native win32; do
        build $tree "$logs/baseline.log" || { echo "baseline: build/$tree does not build"; exit 1; }
        t=$(failing_test $tree "$logs/baseline.log")
        [ -z "$t" ] || { echo "baseline: $tree test $t fails without any fault"; exit 1; }
    done
fi

declare -A result=() by=()
caught=0 planted=0 n=0
for id in "${selected[@]}"; do
    n=$((n + 1))
    t0=$SECONDS
    log=$logs/$id.log
    : >"$log"
    f=${file[$id]}
    if ! plant "$id"; then
        result[$id]="could not plant"
    else
        # The Wine tests run the native simulator, so its faults reach them too.
        native=0 win=0
        compiles native "$f" && native=1
        compiles win32 "$f" && win=1
        [[ $f == tools/tarvo-sim/* ]] && win=1
        result[$id]=missed
        t=""
        if [ $native = 0 ] && [ $win = 0 ]; then
            result[$id]="not compiled"
        elif [ $native = 1 ] && ! build native "$log"; then
            result[$id]="no build"
        elif [ $native = 1 ] && t=$(failing_test native "$log") && [ -n "$t" ]; then
            result[$id]=caught by[$id]="native: $t"
        elif [ $win = 1 ] && compiles win32 "$f" && ! build win32 "$log"; then
            result[$id]="no build"
        elif [ $win = 1 ] && t=$(failing_test win32 "$log") && [ -n "$t" ]; then
            result[$id]=caught by[$id]="wine: $t"
        fi
        restore
        [[ ${result[$id]} == caught || ${result[$id]} == missed ]] && planted=$((planted + 1))
        [[ ${result[$id]} == caught ]] && caught=$((caught + 1))
    fi
    printf '[%d/%d] %-28s %-15s %s (%ds)\n' $n ${#selected[@]} "$id" "${result[$id]}" "${by[$id]:-}" $((SECONDS - t0))
done

echo
printf '%-28s %-15s %s\n' FAULT RESULT "CAUGHT BY / WHAT"
for id in "${selected[@]}"; do
    printf '%-28s %-15s %s\n' "$id" "${result[$id]}" "${by[$id]:-${what[$id]}}"
done
echo
echo "caught $caught of $planted planted faults (${#selected[@]} listed) in $(( (SECONDS - started) / 60 )) min"
