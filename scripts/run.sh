#!/usr/bin/env bash
# Installs what is missing, builds, and starts CorvelNMEA: its window, or, on a machine without a
# display, the headless simulation in real time on standard output. Arguments are passed to the
# program (--config FILE and --simulate for the window; --headless ... for the run without one).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build --target corvelnmea  # the program alone: the tests and tools are the test command's
if [[ "${1:-}" != "--headless" && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Pas d'écran (ni DISPLAY ni WAYLAND_DISPLAY) : la simulation tourne sans fenêtre, en temps réel, sur la sortie standard (Ctrl+C pour l'arrêter)." >&2
    args=()
    while (($#)); do
        case "$1" in
            --simulate) ;;  # a run without a window starts at once
            *) args+=("$1") ;;
        esac
        shift
    done
    exec build/bin/corvelnmea --headless "${args[@]}"
fi
exec build/bin/corvelnmea "$@"
