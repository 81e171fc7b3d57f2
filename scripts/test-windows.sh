#!/usr/bin/env bash
# Builds the Windows targets with the MinGW-w64 cross compilers, checks the
# product radovl.dll (PE32, i386, exactly the fifty exports, only Windows
# system DLLs imported, MSVC import library and header), lays out the
# package, and runs the Windows programs under Wine (x86_64 ones by
# wine64, i686 ones by Wine's 32-bit loader; scripts/wine.sh):
#   - the host check against the real-driver DLLs (x86_64 and the i686
#     product, no driver here),
#   - the Win32 layer's own test,
#   - the host check against the simulated-board flavours (x86_64, i686),
#     and the GoogleTest suite (x86_64),
#   - the real-driver DLLs end to end with the software board driver, in
#     prefixes of their own (scripts/test-driver.sh: 64-bit and 32-bit
#     Windows, one and two monitors),
#   - radovl-sim.exe of the x86_64 and i686 simulated-board packages on the
#     bundled examples, and its SVG against the Linux tool's, byte for byte.
# The i686 and x86_64 simulated-board packages are checked for
# radovl-sim.exe, radovl.lib and radovl.def.
# Installs what is missing first (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
jobs=$(nproc)
out=build-windows

configure() {  # dir toolchain platform [targets...]
  local dir=$1 toolchain=$2 platform=$3
  shift 3
  cmake --no-warn-unused-cli -S . -B "$out/$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$toolchain.cmake" \
    -DRADOVL_PLATFORM="$platform" -DCMAKE_BUILD_TYPE=Release -DRADOVL_WERROR="$werror" >/dev/null
  cmake --build "$out/$dir" -j "$jobs" ${1:+--target "$@"}
}

echo "== Building: i686 product, x86_64 real driver, x86_64 and i686 simulated board, i686 board driver"
configure i686 mingw-i686 win32
configure x64 mingw-x86_64 win32
configure x64-sim mingw-x86_64 sim
configure i686-sim mingw-i686 sim
configure i686-drivers mingw-i686-posix win32 radovl_driver radovl_driver_install

fail() { echo "FAIL: $*" >&2; exit 1; }

# The export table: fifty plain cdecl names.
table=(
  KT_RDSP_Init KT_RDSP_OpenOverlay KT_RDSP_SetScreenProp KT_RDSP_SetPPIVideoCombined
  SetTVP2pMode SetRDP2pMode
  KT_RDSP_OpenPPI KT_RDSP_ClosePPI KT_RDSP_SetPPIXY KT_RDSP_SetPPIWH KT_RDSP_SetPPIMode
  KT_RDSP_SetPPICenter KT_RDSP_SetPPIShipDir KT_RDSP_SetPPIColor KT_RDSP_SetPPILineColor
  KT_RDSP_SetPPIScan KT_RDSP_FrostPPI KT_RDSP_SetPPIDist KT_RDSP_SetPPIGate KT_RDSP_SetPPITail
  KT_RDSP_SetPPISwitch KT_RDSP_SetPPILineTail KT_RDSP_SetPPIOnTop
  KT_RDSP_OpenMiniWin KT_RDSP_CloseMiniWin KT_RDSP_SetMiniWinXY KT_RDSP_SetMiniWinWH
  KT_RDSP_SetMiniWinMode KT_RDSP_SetMiniWinColor KT_RDSP_SetMiniWinDistDir KT_RDSP_SetMiniWinScale
  KT_RDSP_OpenAr KT_RDSP_CloseAr KT_RDSP_SetArXY KT_RDSP_SetArWH KT_RDSP_SetArGate KT_RDSP_SetArDist
  KT_RDSP_SetArColor KT_RDSP_SetArColorKey KT_RDSP_SetAROnTop
  KT_RDSP_OpenTV KT_RDSP_CloseTV KT_RDSP_SetTVXY KT_RDSP_SetTVWH KT_RDSP_FrostTV
  KT_RDSP_SetTVBright KT_RDSP_SetTVColor KT_RDSP_SetTVContrast KT_RDSP_SetTVOnTop KT_RDSP_SetTVColorKey
)
[ ${#table[@]} -eq 50 ] || fail "the table lists ${#table[@]} names"

dll=$out/i686/radovl.dll
. scripts/wine.sh
tmp=$wine_tmp

echo "== Checking $dll"
objdump -p "$dll" >"$tmp/pe.txt"
objdump -f "$dll" >"$tmp/header.txt"
grep -q "file format pei-i386" "$tmp/header.txt" || fail "not a pei-i386 file"
grep -q "architecture: i386" "$tmp/header.txt" || fail "machine is not i386"
grep -Eq "^Magic[[:space:]]+010b[[:space:]]+\(PE32\)" "$tmp/pe.txt" || fail "not PE32"
sed -n '/^Characteristics/,/^$/p' "$tmp/pe.txt" | grep -Eq '^[[:space:]]+DLL$' || fail "not a DLL"

sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' "$tmp/pe.txt" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort >"$tmp/exports"
sed -n '/^EXPORTS/,$p' packaging/windows/radovl.def | tail -n +2 | sed 's/;.*//; s/[[:space:]]//g' | grep -v '^$' | sort >"$tmp/def"
printf '%s\n' "${table[@]}" | sort >"$tmp/table"
diff -u "$tmp/def" "$tmp/exports" >&2 || fail "the DLL's exports differ from radovl.def"
diff -u "$tmp/table" "$tmp/exports" >&2 || fail "the DLL's exports differ from the fifty names of the table"
echo "exports: $(wc -l <"$tmp/exports") names, the same as radovl.def and the table"

# Only DLLs that come with Windows.
system_dlls="kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll"
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' "$tmp/pe.txt")
for name in $imports; do
  lower=$(echo "$name" | tr 'A-Z' 'a-z')
  case " $system_dlls " in *" $lower "*) ;; *) fail "imports $name, which is not a Windows system DLL" ;; esac
done
echo "imports: $(echo $imports)"

# Import libraries: MinGW's and MSVC's carry the fifty cdecl names (a
# leading underscore on i386).
for lib in libradovl.dll.a radovl.lib; do
  [ -f "$out/i686/$lib" ] || fail "$lib missing"
  llvm-nm "$out/i686/$lib" 2>/dev/null >"$tmp/nm.txt" || true
  for name in "${table[@]}"; do
    grep -q " __imp__$name\$" "$tmp/nm.txt" || fail "$lib has no __imp__$name"
  done
done
# A program built with MSVC conventions links against radovl.lib and imports
# the fifty undecorated names from radovl.dll.
{
  echo '#include "radovl/radovl.h"'
  echo 'int __stdcall entry(void* h, unsigned long r, void* p) {'
  echo '  void* volatile use;'
  echo '  (void)h; (void)r; (void)p;'
  printf '  use = (void*)&%s;\n' "${table[@]}"
  echo '  return use != 0;'
  echo '}'
} >"$tmp/msvc_user.c"
clang --target=i686-pc-windows-msvc -ffreestanding -fms-extensions -Wall -Wextra -Werror -Iinclude \
  -c "$tmp/msvc_user.c" -o "$tmp/msvc_user.obj"
lld-link /nologo /dll /nodefaultlib /entry:entry /out:"$tmp/msvc_user.dll" "$tmp/msvc_user.obj" "$out/i686/radovl.lib"
objdump -p "$tmp/msvc_user.dll" | sed -n '/DLL Name: radovl.dll/,/^$/p' | awk 'NF == 3 && $2 ~ /^[0-9]+$/ {print $3}' | sort >"$tmp/msvc_imports"
diff -u "$tmp/table" "$tmp/msvc_imports" >&2 || fail "a program linked against radovl.lib does not import the fifty names"
echo "radovl.lib: an MSVC-convention program imports the fifty names from radovl.dll"

# The public header, as C and as C++, with MSVC's conventions and MinGW's.
for lang in c c++; do
  clang --target=i686-pc-windows-msvc -ffreestanding -fms-extensions -x "$lang" -Wall -Wextra -Werror \
    -fsyntax-only include/radovl/radovl.h
done
i686-w64-mingw32-gcc -x c -std=c99 -Wall -Wextra -Wpedantic -Werror -fsyntax-only include/radovl/radovl.h
i686-w64-mingw32-g++ -x c++ -std=c++17 -Wall -Wextra -Wpedantic -Werror -fsyntax-only include/radovl/radovl.h
echo "radovl.h: compiles as C and C++ (MSVC and MinGW conventions)"

# The version resource carries the project's version.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/i686/CMakeCache.txt")
strings -el "$dll" >"$tmp/strings.txt"
grep -A1 -x FileVersion "$tmp/strings.txt" >"$tmp/version.txt" || true
grep -qx "$version" "$tmp/version.txt" || fail "no FileVersion $version in the version resource"
echo "version resource: FileVersion $version"

# The package.
package=$out/package/radovl-$version-win32
rm -rf "$package"
cmake --install "$out/i686" --prefix "$package" >/dev/null
(cd "$out/i686" && cpack -G ZIP -B "$root/$out/package" >/dev/null)
echo "package: $package ($(cd "$package" && find . -type f | sort | tr '\n' ' '))"
ls "$out/package"/*.zip
echo "radovl.dll: $(stat -c %s "$dll") bytes"

# The simulated-board packages: the tool, and import libraries and .def
# like the product's, for the fifty and the RadovlSim_* API.
for build in x64-sim i686-sim; do
  sim_package=$out/package/radovl-sim-$version-$build
  rm -rf "$sim_package"
  cmake --install "$out/$build" --prefix "$sim_package" >/dev/null
  for file in bin/radovl.dll bin/radovl-sim.exe lib/radovl.lib lib/libradovl.dll.a lib/radovl.def \
              include/radovl/radovl.h include/radovl/sim.h include/radovl/capture.h; do
    [ -f "$sim_package/$file" ] || fail "$sim_package has no $file"
  done
  objdump -p "$sim_package/bin/radovl.dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort >"$tmp/sim-exports"
  sed -n '/^EXPORTS/,$p' "$sim_package/lib/radovl.def" | tail -n +2 | sed 's/;.*//; s/[[:space:]]//g' | grep -v '^$' |
    sort >"$tmp/sim-def"
  diff -u "$tmp/sim-def" "$tmp/sim-exports" >&2 || fail "$build: the DLL's exports differ from its radovl.def"
  grep -q '^RadovlSim_Reset$' "$tmp/sim-def" || fail "$build: radovl.def lacks the RadovlSim_* API"
  echo "package: $sim_package: radovl-sim.exe, radovl.lib, radovl.def ($(wc -l <"$tmp/sim-def") exports)"
done

# Wine: a fresh 64-bit prefix, no display, every run bounded in time.
echo "== Wine: starting a prefix"
wine_prefix_start win64

# The host check of the processor's build on its real-driver and its
# simulated-board DLL: i686 programs run by Wine's 32-bit loader.
host_check() {  # processor
  echo "== Wine: host check, real-driver DLL ($1)"
  wine_run 120 "$out/$1" radovl_host_check.exe radovl.dll >"$tmp/host.txt" 2>&1 || { cat "$tmp/host.txt"; fail "host check ($1)"; }
  grep -v '^ok' "$tmp/host.txt"
  echo "== Wine: host check, simulated-board DLL ($1)"
  wine_run 120 "$out/$1-sim" radovl_host_check.exe radovl.dll --simulated-board >"$tmp/host-sim.txt" 2>&1 ||
    { cat "$tmp/host-sim.txt"; fail "host check (simulated board, $1)"; }
  grep -v '^ok' "$tmp/host-sim.txt"
}
host_check x64
host_check i686

echo "== Wine: Win32 layer test (x86_64)"
wine_run 300 "$out/x64" radovl_win32_test.exe >"$tmp/win32.txt" 2>&1 || { cat "$tmp/win32.txt"; fail "Win32 layer test"; }
grep -E '^\[  (PASSED|SKIPPED|FAILED) ' "$tmp/win32.txt"

echo "== Wine: test suite on the simulated board (x86_64)"
samples=$(cd "$root/.." && pwd)/shared/coff-samples
if [ -d "$samples" ]; then
  export RADOVL_COFF_SAMPLES="Z:$(echo "$samples" | tr '/' '\\')"
fi
wine_run 600 "$out/x64-sim/tests" radovl_tests.exe >"$tmp/suite.txt" 2>&1 || { cat "$tmp/suite.txt"; fail "test suite under Wine"; }
grep -E '^\[  (PASSED|SKIPPED|FAILED) |^\[==========\] [0-9]+ tests' "$tmp/suite.txt"

# The tool of each simulated-board package on the bundled examples; the
# i686 tool's traces must equal the x86_64 one's, and each tool's SVG the
# Linux tool's (scripts/test.sh builds that first).
linux_tool=$root/build/tools/radovl-sim/radovl-sim
[ -x "$linux_tool" ] || fail "no Linux radovl-sim to compare the SVG with: run scripts/build.sh first"
for build in x64-sim i686-sim; do
  echo "== Wine: radovl-sim.exe on the bundled examples ($build)"
  tool_dir=$out/package/radovl-sim-$version-$build/bin
  work=$tmp/examples/$build
  mkdir -p "$work"
  cp examples/console.scenario examples/fallback.scenario "$work/"
  for example in console fallback; do
    wine_run 300 "$work" "$root/$tool_dir/radovl-sim.exe" run "$example.scenario" --quiet \
      --render "$example.svg" --trace "$example-trace.txt" >"$tmp/tool.txt" 2>&1 ||
      { cat "$tmp/tool.txt"; fail "$build: radovl-sim.exe run $example.scenario"; }
    grep -q '</svg>' "$work/$example.svg" || fail "$build: $example.svg is not a whole SVG picture"
    grep -q '^# line [0-9]*: KT_RDSP_Init() = 1$' "$work/$example-trace.txt" || fail "$build: $example-trace.txt has no start-up"
    [ "$build" = x64-sim ] || diff -u "$tmp/examples/x64-sim/$example-trace.txt" "$work/$example-trace.txt" >"$tmp/trace.diff" ||
      { head -n 40 "$tmp/trace.diff"; fail "$build: $example-trace.txt differs from the x86_64 tool's"; }
    echo "$example.scenario: every expectation held; $(wc -l <"$work/$example-trace.txt") trace lines, SVG picture"
  done
  # The same SVG as the Linux tool's, byte for byte, for a scenario with
  # colour tables, a frozen TV window and two monitors.
  cp tools/radovl-sim/tests/svg-identity.scenario "$work/"
  wine_run 120 "$work" "$root/$tool_dir/radovl-sim.exe" run svg-identity.scenario --quiet --render windows.svg \
    >"$tmp/tool.txt" 2>&1 || { cat "$tmp/tool.txt"; fail "$build: radovl-sim.exe run svg-identity.scenario"; }
  (cd "$work" && "$linux_tool" run svg-identity.scenario --quiet --render linux.svg) ||
    fail "the Linux tool on svg-identity.scenario"
  cmp "$work/linux.svg" "$work/windows.svg" || fail "$build: the SVG differs from the Linux tool's"
  grep -q '>FROZEN</text>' "$work/windows.svg" || fail "$build: the SVG shows no FROZEN"
  echo "svg-identity.scenario: the same SVG as the Linux tool's, $(stat -c %s "$work/windows.svg") bytes"
  status=0
  wine_run 60 "$work" "$root/$tool_dir/radovl-sim.exe" run console.scenario --render console.png >"$tmp/tool.txt" 2>&1 ||
    status=$?
  [ "$status" -eq 2 ] && grep -q "FILE.svg only" "$tmp/tool.txt" || { cat "$tmp/tool.txt"; fail "$build: a PNG was not refused ($status)"; }
  echo "--render FILE.png: refused before the run, SVG only in this build"
  # Ctrl-C within a long start-up (Wine turns SIGINT into the console's
  # Ctrl-C event): the trace being written and the private work directory
  # under the prefix's temporary folder go, and the status is 130.
  printf 'make-programs 67108864\nKT_RDSP_Init = 1\n' >"$work/long.scenario"
  status=0
  (cd "$work" && timeout --preserve-status -s INT 3 "$(wine_loader "$root/$tool_dir/radovl-sim.exe")" \
    "$root/$tool_dir/radovl-sim.exe" run long.scenario --quiet --trace long.txt) >"$tmp/tool.txt" 2>&1 || status=$?
  [ "$status" -eq 130 ] || { cat "$tmp/tool.txt"; fail "$build: Ctrl-C ended the run with status $status, not 130"; }
  # Windows removes no open file: a detached copy of the tool removes them
  # once the interrupted one has ended.
  for _ in $(seq 40); do
    left=$(find "$work/long.txt" "$WINEPREFIX/drive_c/users" -maxdepth 5 \( -name long.txt -o -name 'radovl-sim-*' \) 2>/dev/null | head -n 1 || true)
    [ -z "$left" ] && break
    sleep 0.25
  done
  [ -z "$left" ] || fail "$build: Ctrl-C left $left"
  echo "Ctrl-C: status 130, no trace and no work directory left"
done
wine_prefix_stop

scripts/test-driver.sh "$out"

echo "Windows: all checks passed"
