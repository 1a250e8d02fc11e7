#!/usr/bin/env bash
# Installs what is missing, cross-builds the games for 64-bit Windows into
# build/windows/ and packages each as build/windows/<game>-<version>-win64.zip
# and <game>-<version>-win64-setup.exe; then, given a display and Wine, starts
# Puffwick Loopery under Wine.
#   ./windows.sh           build, package and play under Wine
#   ./windows.sh --build   only build and package
set -euo pipefail
cd "$(dirname "$0")"
# A prefix of libraries built elsewhere may be named; else deps.sh builds or finds it.
prefix=${PUFFWICK_WIN64_PREFIX:-$(tools/windows/deps.sh | tail -n 1)}
dir=${PUFFWICK_WINDOWS_BUILD:-build/windows}
mkdir -p "$dir"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
# Heavy work yields to whatever else runs on the machine.
nice -n 19 cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/tools/windows/toolchain.cmake" \
  -DPUFFWICK_WIN64_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DPUFFWICK_WERROR=ON "${launcher[@]}" \
  >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log" >&2; exit 1; }
mapfile -t games <"$dir/packaging/windows/games.txt"
targets=()
for g in "${games[@]}"; do targets+=("${g%%|*}"); done
nice -n 19 cmake --build "$dir" --target "${targets[@]}" -j"$(nproc)"

# NSIS lines installing and removing exactly the files of a tree.
nsis_lists() {  # stage install-list uninstall-list
  local stage=$1 rel
  : >"$2"
  : >"$3"
  while IFS= read -r d; do
    rel=${d#"$stage"}
    echo "SetOutPath \"\$INSTDIR${rel//\//\\}\"" >>"$2"
    find "$d" -maxdepth 1 -type f | LC_ALL=C sort | while IFS= read -r f; do
      echo "File \"$f\"" >>"$2"
      rel=${f#"$stage"}
      echo "Delete \"\$INSTDIR${rel//\//\\}\"" >>"$3"
    done
  done < <(find "$stage" -type d | LC_ALL=C sort)
  # Folders deepest first, each only if nothing else is left in it.
  find "$stage" -mindepth 1 -type d | LC_ALL=C sort -r | while IFS= read -r d; do
    rel=${d#"$stage"}
    echo "RMDir \"\$INSTDIR${rel//\//\\}\"" >>"$3"
  done
}

for g in "${games[@]}"; do
  IFS='|' read -r program title version icon <<<"$g"
  name=$program-$version-win64
  stage=$PWD/$dir/stage/$name
  rm -rf "$stage"
  cmake --install "$dir" --component "$program" --prefix "$stage" --strip >/dev/null
  rm -f "$dir/$name.zip"
  (cd "$dir/stage" && cmake -E tar cf "../$name.zip" --format=zip "$name")
  nsis_lists "$stage" "$dir/stage/$program-files.nsh" "$dir/stage/$program-unfiles.nsh"
  makensis -V2 -DPROGRAM="$program" -DTITLE="$title" -DVERSION="$version" -DICON="$icon" -DSTAGE="$stage" \
    -DOUTFILE="$PWD/$dir/$name-setup.exe" -DFILES="$PWD/$dir/stage/$program-files.nsh" \
    -DUNFILES="$PWD/$dir/stage/$program-unfiles.nsh" packaging/windows/installer.nsi >&2
  echo "$dir/$name.zip  $dir/$name-setup.exe"
done
[ "${1:-}" = --build ] && exit 0

if [ -z "${DISPLAY:-}" ]; then
  echo "No display: the packages are built; start them on Windows or under Wine with a display." >&2
  exit 0
fi
first=${games[0]}
IFS='|' read -r program title version icon <<<"$first"
# Wine asks to install Mono and Gecko on a fresh prefix; the game needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$dir/stage/$program-$version-win64/$program.exe"
