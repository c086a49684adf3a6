#!/usr/bin/env bash
# End to end: Back through the pages, Agree shown until the user agreed once, and the folder
# page showing the folder last accepted rather than the text last typed.
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"
wz_clean

wz_start
wz_next
wz_expect_page 1 "Next"
[ "$(wz_button 同意)" = "1 1" ] || wz_fail "Agree hidden before agreeing"
wz_back
wz_expect_page 0 "Back on the licence page"
[ "$(wz_button 上一步 | cut -d' ' -f1)" = 0 ] || wz_fail "Back shown on the welcome page"
[ "$(wz_button 同意 | cut -d' ' -f1)" = 0 ] || wz_fail "Agree shown on the welcome page"
wz_shot back-welcome
wz_next
wz_agree
wz_expect_page 2 "Agree"
wz_back
wz_expect_page 1 "Back on the folder page"
# Agreed once: the licence page now shows Next, and Next goes on.
[ "$(wz_button 同意 | cut -d' ' -f1)" = 0 ] || wz_fail "Agree shown again after agreeing"
wz_shot back-licence-agreed
wz_next
wz_expect_page 2 "Next after agreeing"

wz_type 'C:\Apps\First'
wz_next
wz_expect_page 3 "Next with a folder"
wz_back
wz_expect_page 2 "Back on the ready page"
[ "$(wz_folder_text)" = 'C:\Apps\First' ] || wz_fail "folder page shows [$(wz_folder_text)]"
wz_type 'C:\Apps\Unconfirmed'
wz_back
wz_next
[ "$(wz_folder_text)" = 'C:\Apps\First' ] || wz_fail "unconfirmed text kept: [$(wz_folder_text)]"
[ -d "$WZ_DRIVE_C/Apps/Unconfirmed" ] && wz_fail "an unconfirmed folder was created"
wz_stop
rm -rf "$WZ_DRIVE_C/Apps"
echo "wizard back: ok"
