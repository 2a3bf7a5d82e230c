#!/usr/bin/env bash
# Builds the add-on and the command-line host (Release) and runs the five commands of the "Object
# Skellowing" menu on the example project, one after the other, each on the project the previous one
# saved. The mapping table starts as examples/ObjectMap.xml; examples/answers/ holds what the user does in
# each command's dialogs. The last project is saved as $build/project-out.json. Each command's exit status
# is printed (0 done, 1 not all done, 2 bad input or a script that could not be played: that command's
# project is not written, though the add-on may have saved the mapping table after an accepted dialog; the
# script stops there); the script ends with the worst of them. The build also makes every test suite
# (-DSKELLOW_TESTS=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${BUILD_DIR:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKELLOW_TESTS=ON
cmake --build "$build" --parallel "$(nproc)"
hostprogram="$build/Tools/skellow-host/skellow-host"
module="$build/Skellowing/libSkellowing.so"

# A fresh host home whose add-on data folder holds the example mapping table.
home="$build/home"
rm -rf "$home"
mkdir -p "$home/Application Data/Skellowing"
cp examples/ObjectMap.xml "$home/Application Data/Skellowing/ObjectMap.xml"

"$hostprogram" menus --module "$module"
project=examples/project.json
step=0
worst=0
for command in "Skellow From IFC" "Skellow From DXF/DWG" "Skellow From ArchiCAD" "Skellow Missing Parts" \
               "Skellow Legacy Parts"; do
    step=$((step + 1))
    out="$build/project-$step.json"
    answers=(); script="examples/answers/$step.json"
    [[ -f "$script" ]] && answers=(--answers "$script")
    echo
    echo "=== $command"
    status=0
    "$hostprogram" run "$project" --command "$command" "${answers[@]}" --module "$module" --home "$home" \
        --out "$out" || status=$?
    echo "=== $command: exit status $status"
    if ((status > worst)); then worst=$status; fi
    if ((status == 2)); then exit 2; fi   # its project was not written: nothing to go on with
    project="$out"
done
cp "$project" "$build/project-out.json"
echo
echo "The changed project: $build/project-out.json; the mapping table: $home/Application Data/Skellowing/ObjectMap.xml"
exit "$worst"
