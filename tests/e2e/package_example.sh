#!/usr/bin/env bash
# The packaged example (make example): both setups hold the five files, four shortcuts and a
# verified byte sum; the files come back byte for byte (programs of the matching build, texts
# as GBK with CR LF); building again gives the same bytes; and the shipped 32-bit stub, the
# example setups and the example programs import nothing but system DLLs.
set -uo pipefail
cd "$(dirname "$0")/../.."
: "${O:=out}"
fail=0
bad() { echo "FAIL: $*" >&2; fail=1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for f in "$O/pack-setup" "$O/setup-stub.exe" "$O/example-setup.exe" "$O/win64/example-setup.exe"; do
  [ -f "$f" ] || { echo "FAIL: $f is missing (make example)" >&2; exit 1; }
done

check_setup() {  # setup.exe build-folder objdump-format
  local setup=$1 build=$2 format=$3 out="$tmp/$(basename "$(dirname "$1")")-$(basename "$1")"
  echo "--- $setup"
  "$O/pack-setup" inspect "$setup" > "$out.txt" || bad "$setup: inspect reports a problem"
  grep -q '^OK: 5 files, 4 shortcuts, 0 registry values, byte sum verified$' "$out.txt" || bad "$setup: not 5 files / 4 shortcuts / verified sum"
  grep -q '^  byte sum \([0-9]*\), PackSum \1: match$' "$out.txt" || bad "$setup: byte sum line"
  # The five stored names in table order (GBK in the record, shown as UTF-8).
  local names
  names=$(sed -n '/^Files (5)$/,/^$/p' "$out.txt" | sed -n 's/^ *[0-9][0-9]* *[0-9][0-9]* *[0-9][0-9]*  //p' | tr '\n' ' ')
  [ "$names" = '"\ZENTA-KOV.exe" "\license.txt" "\readme.txt" "\Uninstall.exe" "\青岚护卫更新.url" ' ] ||
    bad "$setup: stored names are: $names"
  local links
  links=$(sed -n '/^Shortcuts (4)$/,/^$/p' "$out.txt" | sed -n 's/^ *[0-9] *\([a-z]*\) *\([0-9]\)  \(".*"\) -> .*/\1 \2 \3/p' | tr '\n' ';')
  [ "$links" = 'desktop 0 "ZENTA-KOV";group 0 "ZENTA-KOV";group 1 "License.txt";group 2 "Readme.txt";' ] ||
    bad "$setup: shortcuts are: $links"
  for field in 'product_name   "ZENTA-KOV"' 'folder_name    "ZENTA-KOV"' 'company        "ZENTA"' 'author         "ZENTA"' \
               'version        "V29.5"' 'release_date   "20240711"' 'date           "20040201"'; do
    grep -qF "  $field" "$out.txt" || bad "$setup: record lacks $field"
  done
  grep -q '^  RCDATA *PROTOCOL ' "$out.txt" || bad "$setup: no PROTOCOL resource"
  grep -q '^  MANIFEST *#1 ' "$out.txt" || bad "$setup: the stub's manifest resource is gone"

  # The files, back out of the payload.
  "$O/pack-setup" extract "$setup" "$out.files" > /dev/null || { bad "$setup: extract failed"; return; }
  cmp -s "$out.files/ZENTA-KOV.exe" "$build/ZENTA-KOV.exe" || bad "$setup: ZENTA-KOV.exe differs from $build"
  cmp -s "$out.files/Uninstall.exe" "$build/Uninstall.exe" || bad "$setup: Uninstall.exe differs from $build"
  cmp -s "$out.files/青岚护卫更新.url" "examples/zenta-kov/files/青岚护卫更新.url" || bad "$setup: the .url differs"
  grep -q '^URL=http' "$out.files/青岚护卫更新.url" || bad "$setup: the .url has no URL line"
  for doc in license.txt readme.txt; do
    grep -q $'\r$' "$out.files/$doc" || bad "$setup: $doc lacks CR LF line ends"
    iconv -f GBK -t UTF-8 "$out.files/$doc" | tr -d '\r' | cmp -s - "examples/zenta-kov/files/$doc" ||
      bad "$setup: $doc is not the GBK form of its source"
  done
  for prog in ZENTA-KOV.exe Uninstall.exe; do
    x86_64-w64-mingw32-objdump -f "$out.files/$prog" | grep -q "file format $format" || bad "$setup: $prog is not $format"
  done
}

check_setup "$O/example-setup.exe" "$O/build-win" pei-i386
check_setup "$O/win64/example-setup.exe" "$O/build-win64" pei-x86-64

echo "--- reproducible build"
O="$O" "$O/pack-setup" build examples/zenta-kov/manifest.toml --define BUILD="$O/build-win" \
  --stub "$O/setup-stub.exe" -o "$tmp/again.exe" > /dev/null || bad "rebuilding the example failed"
cmp -s "$tmp/again.exe" "$O/example-setup.exe" || bad "rebuilding the example gives other bytes"

echo "--- imports"
# System DLLs only: no MinGW runtime (libstdc++, libgcc, libwinpthread) or other DLL that a
# clean Windows lacks.
system='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|msvcrt|shlwapi|wininet|msimg32|uxtheme|version|winmm|ws2_32|crypt32|bcrypt|ntdll|imm32|rpcrt4|setupapi|userenv)\.dll$'
for exe in "$O/setup-stub.exe" "$O/example-setup.exe" "$O/win64/setup-stub.exe" "$O/win64/example-setup.exe" \
           "$O/build-win/ZENTA-KOV.exe" "$O/build-win/Uninstall.exe"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$dlls" ] || bad "$exe: no imports found"
  for d in $dlls; do
    [[ $d =~ $system ]] || bad "$exe imports $d"
  done
  echo "$exe: $(echo $dlls)"
done

[ $fail = 0 ] && echo "package_example: ok"
exit $fail
