#!/usr/bin/env bash
# Builds the add-on and the command-line host (Release) and runs the main job on the example project.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${BUILD_DIR:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKELLOW_TESTS=ON
cmake --build "$build" --parallel "$(nproc)"
if [[ -x "$build/Tools/skellow-host/skellow-host" && -f "$build/Skellowing/libSkellowing.so" ]]; then
    "$build/Tools/skellow-host/skellow-host" menus --module "$build/Skellowing/libSkellowing.so"
    exec "$build/Tools/skellow-host/skellow-host" run examples/project.json --command "Skellow From IFC" \
        --module "$build/Skellowing/libSkellowing.so" --home "$build/home" --out "$build/project-out.json"
fi
echo "Built the framework, the stand-in host, the command-line host ($build/Tools/skellow-host) and the"
echo "tests. The product's add-on module is not built yet, so the example project cannot be run;"
echo "scripts/test.sh runs every test."
