#!/usr/bin/env bash
# Runs the stages of `make test`, each one a make target, in the order given, and
# ends with a table of every stage with its result and time and a last line
# "N passed, N failed". Exits non-zero when a stage failed.
#
# Each stage's output is shown without its routine lines (build progress, CMake's
# configure messages and the preset's variables, every test that started and every
# test that passed), so what is left is what ran, what failed and the summaries.
# Everything, routine lines included, also goes to $STAGE_LOG (build/test-stages.log).
#
# A failing stage does not stop the ones after it: they build and test other
# things (another compiler, another architecture, the package), so one run shows
# the state of all of them, and a small slip in one (a line left unformatted)
# does not hide whether the others pass.
#
# A target named skip-* stands for a stage that cannot run on this machine (it
# prints why): it shows as skipped, and counts neither as passed nor as failed.
#
# Called from the Makefile as `MAKE="$(MAKE)" tests/scripts/test-stages.sh TARGET...`: each
# stage runs under the same make, with the same options and variables, as if it had
# been asked for alone (`make test-plain`). The stages run one after another and
# each builds with its own -j $(JOBS), so the job server of a `make -j2 test` is not
# handed on: the makes that cmake --build starts would otherwise be given two job
# limits, or a job server they cannot reach, and say so. --no-print-directory keeps
# make from printing the folder it enters and leaves.
set -uo pipefail

make=${MAKE:-make}
flags=()
set -f
for word in ${MAKEFLAGS:-}; do
    case $word in
        -j* | --jobserver-*) ;;
        *) flags+=("$word") ;;
    esac
done
set +f
export MAKEFLAGS="${flags[*]}"
unset MFLAGS
log=${STAGE_LOG:-build/test-stages.log}
mkdir -p "$(dirname "$log")"
: >"$log"

routine='^\[ *[0-9]+%\] |^-- |^Preset (CMake|environment) variables:$|^  [A-Za-z_]+(:[A-Z]+)?="[^"]*"$|^Internal ctest changing into directory|^Consolidate compiler generated dependencies|^ *Start +[0-9]+: |^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed +[0-9.]+ sec$'

names=()
results=()
times=()
passed=0
failed=0
skipped=0
for stage in "$@"; do
    echo "==> $stage"
    echo "==> $stage" >>"$log"
    start=$(date +%s)
    "$make" --no-print-directory "$stage" 2>&1 | tee -a "$log" | grep --line-buffered -Ev "$routine"
    status=${PIPESTATUS[0]}
    seconds=$(($(date +%s) - start))
    if [[ $stage == skip-* ]]; then
        result=skipped
        skipped=$((skipped + 1))
    elif [ "$status" -eq 0 ]; then
        result=passed
        passed=$((passed + 1))
    else
        result=FAILED
        failed=$((failed + 1))
    fi
    names+=("$stage")
    results+=("$result")
    times+=("$seconds")
    echo
done

{
    printf '%-20s %-8s %8s\n' Stage Result Time
    for i in "${!names[@]}"; do
        printf '%-20s %-8s %5d:%02d\n' "${names[$i]}" "${results[$i]}" \
            $((times[i] / 60)) $((times[i] % 60))
    done
    [ "$skipped" -eq 0 ] || echo "$skipped skipped (the stage says why above)"
    echo "Full output: $log"
    echo "$passed passed, $failed failed"
} | tee -a "$log"
[ "$failed" -eq 0 ]
