#!/usr/bin/env bash
# The installation run on a disk that fills up: a 256 KiB tmpfs is mounted and mapped as a
# Wine drive, and the Windows test WinInstall.FullDiskReportsTheFileThatDoesNotFit installs a
# package with a 1 MiB file onto it (one message for that file, the small ones installed, no
# truncated file left). Skipped, with the reason, only where mounting is refused.
set -euo pipefail
cd "$(dirname "$0")/../.."
: "${O:=out}"
export O
source scripts/wine-env.sh
exe="$ZS_WIN_BUILD/wine_tests.exe"
[ -f "$exe" ] || { echo "missing $exe: run make win first" >&2; exit 1; }
zs_wine_init

mnt="$(mktemp -d /tmp/zs-full-disk.XXXXXX)"
if ! mount -t tmpfs -o size=256k,mode=0755 tmpfs "$mnt" 2>/dev/null; then
  rmdir "$mnt"
  echo "SKIP: this machine refuses to mount a tmpfs (no CAP_SYS_ADMIN); the full-disk test did not run"
  exit 0
fi

letter=""
for l in t u v w x y; do
  [ -e "$WINEPREFIX/dosdevices/$l:" ] || [ -L "$WINEPREFIX/dosdevices/$l:" ] || { letter=$l; break; }
done
cleanup() {
  [ -n "$letter" ] && rm -f "$WINEPREFIX/dosdevices/$letter:"
  umount "$mnt" 2>/dev/null || umount -l "$mnt" 2>/dev/null || true
  rmdir "$mnt" 2>/dev/null || true
}
trap cleanup EXIT
[ -n "$letter" ] || { echo "no free drive letter in $WINEPREFIX/dosdevices" >&2; exit 1; }
ln -s "$mnt" "$WINEPREFIX/dosdevices/$letter:"

log="$(mktemp)"
status=0
ZS_FULL_DRIVE="${letter^^}:" zs_with_display wine "$exe" \
  --gtest_filter=WinInstall.FullDiskReportsTheFileThatDoesNotFit >"$log" 2>&1 || status=$?
cat "$log"
if [ "$status" -ne 0 ] || ! grep -q '^\[  PASSED  \] 1 test' "$log" || grep -q SKIPPED "$log"; then
  rm -f "$log"
  echo "full-disk installation test failed" >&2
  exit 1
fi
rm -f "$log"
echo "full-disk installation test passed on drive ${letter^^}: ($(df -k --output=size "$mnt" | tail -1 | tr -d ' ') KiB)"
