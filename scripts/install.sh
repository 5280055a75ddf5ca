#!/bin/sh
# Builds Tumblewisp and installs it for the current user:
# ~/.vst3/Tumblewisp.vst3, ~/.lv2/Tumblewisp.lv2 and ~/.local/bin/Tumblewisp (standalone).
set -eu
cd "$(dirname "$0")/.."

./scripts/dependencies.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release \
    -DTUMBLEWISP_BUILD_TESTS=OFF -DTUMBLEWISP_BUILD_BENCHMARKS=OFF
cmake --build build/release -j "$(nproc)" --target Tumblewisp_VST3 Tumblewisp_LV2 Tumblewisp_Standalone

artefacts=build/release/Tumblewisp_artefacts/Release
mkdir -p "$HOME/.vst3" "$HOME/.lv2" "$HOME/.local/bin"
rm -rf "$HOME/.vst3/Tumblewisp.vst3" "$HOME/.lv2/Tumblewisp.lv2"
cp -R "$artefacts/VST3/Tumblewisp.vst3" "$HOME/.vst3/"
cp -R "$artefacts/LV2/Tumblewisp.lv2" "$HOME/.lv2/"
cp "$artefacts/Standalone/Tumblewisp" "$HOME/.local/bin/Tumblewisp"

echo "Installed Tumblewisp into $HOME/.vst3, $HOME/.lv2 and $HOME/.local/bin"
