#!/usr/bin/env bash
# Fails when a file outside src/platform includes a Qt or PortAudio header:
# the library's own code, the host program, the resources and the examples
# reach the window system and the sound system only through src/platform.
#   tests/install/platform-includes.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/[^>"]*|qt[^>"]*|portaudio\.h|pa_[a-z_]+\.h)[>"]'
found=$(grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' "$pattern" \
    src app resources examples 2>/dev/null | grep -v '^src/platform/' || true)
if [ -n "$found" ]; then
    echo "Qt or PortAudio included outside src/platform (use a platform function instead):"
    echo "$found"
    exit 1
fi
echo "no Qt or PortAudio header outside src/platform"
