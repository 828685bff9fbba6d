#!/usr/bin/env bash
# Stages `cmake --install` of a build into an empty prefix, builds the two
# example hosts out of tree against that prefix only (examples/host through
# find_package, examples/pkgconfig through pkg-config), runs them offscreen
# with the file-fed sound devices on the bundled sample, and checks the WAV
# files they wrote: 8-bit mono 11025 Hz PCM whose samples are byte for byte
# the input's samples FIRST..LAST that the host reported, and for the
# headless recordings the very part that the installed `vokrec analyse`
# locates in the same input.
#   tests/install/host-examples.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
P=$work/prefix

cmake --install "$build" --prefix "$P" >/dev/null
# The installed headers need neither Qt nor PortAudio.
if grep -rnE '#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]+|Qt[A-Za-z]*/|portaudio)' "$P/include"; then
    echo "installed headers include Qt or PortAudio"
    exit 1
fi
# Nothing of the source or build tree may be reached from here on.
cmake -S "$src/examples/host" -B "$work/host" -G Ninja -DCMAKE_PREFIX_PATH="$P" \
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build "$work/host" >/dev/null
mkdir "$work/pc"
PKG_CONFIG_PATH=$(dirname "$(find "$P" -name vokdll.pc)") \
    make -s -C "$work/pc" -f "$src/examples/pkgconfig/Makefile" VPATH="$src/examples/pkgconfig"
if grep -qE -- "-I($src|$build)" "$work/host/compile_commands.json"; then
    echo "the host example was compiled against the source tree"
    exit 1
fi
for exe in "$work/host/vokhost" "$work/pc/vokrecord"; do
    lib=$(LD_LIBRARY_PATH="$(dirname "$(find "$P" -name 'libvokdll.so.1')")" ldd "$exe" |
        awk '/libvokdll/ {print $3}')
    case "$lib" in "$P"/*) ;; *) echo "$exe uses $lib, not the staged library" && exit 1 ;; esac
done

# The recording input: the bundled sample as raw 8-bit samples, with 3 s of
# silence after it so that a 5 s recording reads no further than the file.
sox "$src/tests/data/sample.wav" -t raw -r 11025 -e unsigned-integer -b 8 -c 1 "$work/in.raw" \
    pad 0 3
mkdir -m 700 "$work/xdg" "$work/out"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/xdg
export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$src/tests/data/alsa-test.conf
export VOK_AUDIO_DEVICE=vok_file VOK_TEST_INFILE=$work/in.raw VOK_TEST_OUTFILE=/dev/null
export LD_LIBRARY_PATH
LD_LIBRARY_PATH=$(dirname "$(find "$P" -name 'libvokdll.so.1')")

"$work/host/vokhost" "$work/out" >"$work/host.txt"
"$work/pc/vokrecord" "$work/out/pc.wav" 5 >"$work/pc.txt"
cat "$work/host.txt" "$work/pc.txt"

check_wav() { # file first last
    local f=$1 first=$2 last=$3
    [ "$(soxi -t "$f") $(soxi -r "$f") $(soxi -b "$f") $(soxi -c "$f") $(soxi -e "$f")" = \
        "wav 11025 8 1 Unsigned Integer PCM" ] || { echo "$f: not 8-bit mono 11025 Hz PCM" && return 1; }
    [ $((last - first)) -ge 1102 ] || { echo "$f: fewer than 0.1 s saved" && return 1; }
    sox "$f" -t raw "$work/got.raw"
    head -c $((last + 1)) "$work/in.raw" | tail -c $((last - first + 1)) >"$work/want.raw"
    cmp "$work/got.raw" "$work/want.raw" || { echo "$f: samples differ from the recording" && return 1; }
}
read -r _ d1 d2 < <(grep '^dialog.wav ' "$work/host.txt")
read -r _ h1 h2 < <(grep '^headless.wav ' "$work/host.txt")
read -r _ p1 p2 <"$work/pc.txt"
check_wav "$work/out/dialog.wav" "$d1" "$d2"
check_wav "$work/out/headless.wav" "$h1" "$h2"
check_wav "$work/out/pc.wav" "$p1" "$p2"

# The installed program locates the same part in the same 5 s of input.
sox -t raw -r 11025 -e unsigned-integer -b 8 -c 1 "$work/in.raw" "$work/in.wav"
json=$("$P/bin/vokrec" analyse "$work/in.wav" --seconds 5)
s=$(grep -o '"start_sample":[0-9]*' <<<"$json" | cut -d: -f2)
e=$(grep -o '"end_sample":[0-9]*' <<<"$json" | cut -d: -f2)
[ "$h1 $h2" = "$s $e" ] && [ "$p1 $p2" = "$s $e" ] ||
    { echo "headless parts $h1-$h2 and $p1-$p2, vokrec analyse $s-$e" && exit 1; }
echo "examples built against $P wrote byte-exact WAV files"
