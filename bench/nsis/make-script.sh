#!/usr/bin/env bash
# Writes the NSIS script that installs a benchmark payload (bench_payload's files.tsv) the way
# our setup does: the same files in the same order under the chosen folder, the product's
# folder value and uninstall entry in HKLM, one start-menu shortcut. zlib, not solid (each
# file its own stream, as NSIS does by default), for the stub of TARGET (x86-unicode for a
# 32-bit prefix, amd64-unicode for 64-bit Wine). Pages: licence, folder, progress; /S installs
# silently into /D=FOLDER.
#
#   make-script.sh PAYLOAD-DIR NAME OUT.nsi SETUP.exe [TARGET]   (default amd64-unicode)
set -euo pipefail
dir=$(cd "$1" && pwd) name=$2 nsi=$3 target=${5:-amd64-unicode}
out=$(cd "$(dirname "$4")" && pwd)/$(basename "$4")
{
  cat <<NSI
Unicode true
Target $target
SetCompressor zlib
Name "$name"
Caption "$name Setup"
OutFile "$out"
InstallDir "C:\\$name"
RequestExecutionLevel admin
LicenseData "$dir/licence.txt"
Page license
Page directory
Page instfiles
Section
NSI
  last="?"
  while IFS=$'\t' read -r stored rel size; do
    sub=${stored%\\*}  # "\bin\x.dll" -> "\bin", "\x.exe" -> ""
    if [ "$sub" != "$last" ]; then
      echo "  SetOutPath \"\$INSTDIR$sub\""
      last=$sub
    fi
    echo "  File \"$dir/files/$rel\""
  done <"$dir/files.tsv"
  cat <<NSI
  WriteRegStr HKLM "Software\\$name" "Folder" "\$INSTDIR"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name" "DisplayName" "$name"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name" "UninstallString" '"\$INSTDIR\\uninstall.exe"'
  CreateDirectory "\$SMPROGRAMS\\$name"
  CreateShortCut "\$SMPROGRAMS\\$name\\Uninstall $name.lnk" "\$INSTDIR\\uninstall.exe"
SectionEnd
NSI
} >"$nsi"
