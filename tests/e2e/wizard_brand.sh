#!/usr/bin/env bash
# End to end: a second product, "AcmeNotes 极光笔记", packaged with every [brand] key (its own
# pictures, made here) and the built-in uninstaller, installed with real input, then removed
# with the uninstall entry's command line. No page, message box or file property shows the
# example's brand: the version resource is read back by Windows, every page's texts are read
# from the window, every box's title and text are checked, the brand's program is ended on
# Next, and a screenshot of each page is kept (brand-*.png).
source "$(dirname "$0")/wizard_lib.bash"
wz_init
wz_with_display "$@"

product='AcmeNotes 极光笔记'
WZ_TITLE="^${product}安装向导\$"
wz_dump() { wz_tool dump "${product}安装向导"; }
key='HKLM\Software\Acme Inc.\AcmeNotes'
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"
brand_clean() {
    zs_reg delete 'HKLM\Software\Acme Inc.' /f >/dev/null 2>&1
    zs_reg delete "$uninstall_key" /f >/dev/null 2>&1
    rm -rf "$WZ_DRIVE_C/Apps/AcmeNotes" "$WZ_DRIVE_C/AcmeNotes"
}
brand_clean

# The vendor's pictures, in the kinds and sizes the wizard shows.
src="$O/e2e-brand"
rm -rf "$src" && mkdir -p "$src/art"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
jpeg() { convert "${@:1:$#-1}" -strip -sampling-factor 1x1 -quality 90 -interlace none "${@: -1}"; }
jpeg -size 130x30 xc:'#1F5FBF' -fill white -font "$font" -pointsize 15 -gravity center -annotate +0+0 'AcmeNotes' \
    "JPEG:$src/art/logo.jpg"
jpeg -size 180x45 gradient:'#3F7FDF'-'#1F3F8F' -fill white -font "$font" -pointsize 20 -gravity center \
    -annotate +0+0 'AcmeNotes' "JPEG:$src/art/welcome.jpg"
for i in 1 2 3 4; do
    jpeg -size 631x20 gradient:'#1F5FBF'-'#9FC7FF' -rotate 90 -resize '631x20!' -fill white -font "$font" \
        -pointsize 12 -gravity west -annotate +8+0 "Step $i of 4" "JPEG:$src/art/banner$i.jpg"
done
jpeg -size 139x92 xc:'#DFEBFF' -fill '#1F5FBF' -draw 'roundrectangle 20,6 118,86 12,12' -fill white -font "$font" \
    -pointsize 48 -gravity center -annotate +0+0 'A' "JPEG:$src/art/ready.jpg"
convert -size 100x100 xc:'#DFEBFF' -fill '#1F5FBF' -draw 'roundrectangle 10,10 90,90 14,14' -fill white \
    -font "$font" -pointsize 40 -gravity center -annotate +0+0 'A' -type TrueColor "BMP3:$src/art/product.bmp"
convert -size 64x64 xc:none -fill '#1F9F5F' -draw 'circle 32,32 32,3' -fill white -font "$font" -pointsize 36 \
    -gravity center -annotate +0+0 'A' "$src/art/done.ico"
convert -size 256x256 xc:none -fill '#1F5FBF' -draw 'roundrectangle 8,8 248,248 40,40' -fill white -font "$font" \
    -pointsize 150 -gravity center -annotate +0+0 'A' -depth 8 -define icon:auto-resize=256,48,32,16 "$src/art/setup.ico"

printf 'AcmeNotes licence agreement.\n' > "$src/licence.txt"
printf 'AcmeNotes readme.\n' > "$src/readme.txt"
cat > "$src/manifest.toml" <<TOML
licence = "licence.txt"
uninstaller = "builtin"

[product]
author = "Acme"
company = "Acme Inc."
site = "https://notes.acme.example/"
rights_notice = "Copyright (C) 2026 Acme Inc."
version = "V3.2"
release_date = "20261201"
product_name = "$product"
folder_name = "AcmeNotes"
category = "笔记软件"
intro = "记下一切。"

[brand]
name = "极光"
box_title = "AcmeNotes"
site = "https://notes.acme.example/"
licence_url = "https://notes.acme.example/eula.html"
end_programs = ["AcmeSync.exe"]
logo = "art/logo.jpg"
welcome_logo = "art/welcome.jpg"
banners = ["art/banner1.jpg", "art/banner2.jpg", "art/banner3.jpg", "art/banner4.jpg"]
ready_picture = "art/ready.jpg"
picture = "art/product.bmp"
finish_icon = "art/done.ico"
icon = "art/setup.ico"

[[file]]
source = "\${BUILD}/install_marker.exe"
name = '\AcmeNotes.exe'

[[file]]
source = "readme.txt"
name = '\readme.txt'
text = true

[[shortcut]]
link = "AcmeNotes"
file = '\AcmeNotes.exe'
place = "group"
TOML
setup="$src/acme-setup.exe"
"$O/pack-setup" build "$src/manifest.toml" --define BUILD="$WZ_PROGRAMS" --stub "$WZ_STUB" \
    --uninstaller "$ZS_WIN_OUT/uninstaller.exe" -o "$setup" >/dev/null ||
    wz_fail "cannot package the second product"
inspect=$("$O/pack-setup" inspect "$setup") || wz_fail "inspect found problems: $inspect"
grep -q '^Brand (SETUPBRAND)' <<<"$inspect" || wz_fail "inspect shows no brand"
grep -q '^  box_title *"AcmeNotes"$' <<<"$inspect" || wz_fail "inspect: box title"
grep -q '^  end_programs *"AcmeSync.exe"$' <<<"$inspect" || wz_fail "inspect: end programs"

# The example's brand, wherever it could show.
no_example_brand() {  # what text
    grep -qiE '青岚|护卫|ZENTA|KOV' <<<"$2" && wz_fail "$1 shows the example's brand: $(grep -iE '青岚|护卫|ZENTA|KOV' <<<"$2" | head -3)"
    return 0
}

# File properties as Windows reads them.
version=$(wz_tool version "$(winepath -w "$setup" 2>/dev/null)") || wz_fail "no version resource Windows can read"
expect_version() {
    grep -qxF "$1	$2" <<<"$version" || wz_fail "version resource: $1 is not [$2]: $(grep "^$1" <<<"$version")"
}
expect_version fixed 3.2.0.0
expect_version CompanyName 'Acme Inc.'
expect_version ProductName "$product"
expect_version ProductVersion V3.2
expect_version FileDescription "$product 安装程序"
expect_version LegalCopyright 'Copyright (C) 2026 Acme Inc.'
no_example_brand "the version resource" "$version"
wz_log "version resource: $(tr '\n' ' ' <<<"$version")"

# An earlier installation and a running copy of the brand's program.
mkdir -p "$WZ_DRIVE_C/Apps/AcmeNotes"
zs_reg add "$key" /v Setup /t REG_DWORD /d 1 /f >/dev/null 2>&1
zs_reg add "$key" /v Folder /t REG_SZ /d 'C:\Apps\AcmeNotes' /f >/dev/null 2>&1
cp "$WZ_TOOL" "$src/AcmeSync.exe"
printf 'x' > "$src/held.txt"
WINEDEBUG=-all wine "$src/AcmeSync.exe" hold "$(winepath -w "$src/held.txt" 2>/dev/null)" 120 >/dev/null 2>&1 &
sync_pid=$!
for _ in $(seq 50); do wz_tool procs | grep -q $'\tAcmeSync.exe$' && break; sleep 0.2; done
wz_tool procs | grep -q $'\tAcmeSync.exe$' || wz_fail "the brand's program did not start"

wz_launch "$setup"
wz_expect_box 'AcmeNotes' '   极光提示：极光软件已经安装,覆盖原来以前的吗？        ' y
wz_attach "no wizard after the overwrite question"

# Every page: the window's texts (hidden ones too) name the vendor's brand, never the example's.
page_check() {  # page name
    wz_expect_page "$1" "$2"
    local dump
    dump=$(wz_dump)
    no_example_brand "page $1" "$dump"
    wz_shot "brand-page$1-$2"
}
page_check 0 welcome
# The labels draw their texts themselves (the controller's tests check them); the pictures
# are checked here by colour: the vendor's blue and green, where the example has orange.
vendor_colour() {  # shot x y blue|green what
    local rgb r g b
    rgb=$(wz_pixel "$WZ_SHOTS/$1.png" "$2" "$3" | tr -dc '0-9,')
    IFS=, read -r r g b <<<"$rgb"
    if [ "$4" = blue ]; then ((b > r + 80)); else ((g > r + 60 && g > b)); fi ||
        wz_fail "$5 is not the vendor's: colour ($rgb) at $2,$3"
}
vendor_colour brand-page0-welcome 40 380 blue "the welcome page's brand line"
vendor_colour brand-page0-welcome 85 100 blue "the product picture"
wz_next
page_check 1 licence
vendor_colour brand-page1-licence 400 75 blue "the licence page's banner"
vendor_colour brand-page1-licence 510 25 blue "the logo"
wz_tool procs | grep -q $'\tAcmeSync.exe$' && wz_fail "Next did not end AcmeSync.exe"
wait "$sync_pid" 2>/dev/null

# Cancel's question under the brand's title; No stays.
wz_cancel
wz_expect_box 'AcmeNotes' "$WZ_QUIT_TEXT" n
wz_agree
page_check 2 folder
[ "$(wz_folder_text)" = 'C:\Apps\AcmeNotes' ] || wz_fail "folder [$(wz_folder_text)], expected the registered one"
wz_next
page_check 3 ready
vendor_colour brand-page3-ready 40 110 blue "the ready page's picture"
wz_next
page_check 5 finished
vendor_colour brand-page5-finished 117 197 green "the finished page's icon"
# The site link names the vendor's site.
wz_dump | grep -q $'^child\tTsuiURLLabel\t.*\t[0-9]* 68 622 84\t' || wz_fail "the site link is not where the layout keeps it"
[ -f "$WZ_DRIVE_C/Apps/AcmeNotes/AcmeNotes.exe" ] || wz_fail "AcmeNotes.exe not installed"
wz_tool regget "$uninstall_key" DisplayName | grep -qF "$product" || wz_fail "no uninstall entry"

# Neither the tutorial nor the program: 完成 opens the folder and ends.
wz_click 216 256
wz_click 216 284
wz_cancel
wz_wait_exit 20 || wz_fail "完成 did not end the program"
wz_stop

# The uninstall entry's command line: the uninstaller's boxes carry the vendor's title too,
# and it removes what the setup wrote.
command=$(wz_tool regget "$uninstall_key" UninstallString | cut -f3 | sed 's/\\\\/\\/g')
[ "$command" = '"C:\Apps\AcmeNotes\uninstall.exe"' ] || wz_fail "UninstallString [$command]"
printf '@%s\r\n' "$command" > "$src/uninstall.bat"
WINEDEBUG=-all wine cmd /c "$(winepath -w "$src/uninstall.bat")" >/dev/null 2>&1 &
WZ_PID=$!
wz_expect_box 'AcmeNotes' "确实要从您的计算机中完全删除 $product 及其所有组件吗？" y
# The closing box has the same title: wait until the answered question has made way for it.
done_text="$product 已从您的计算机中删除。"
for _ in $(seq 100); do [ "$(wz_box_text AcmeNotes)" = "$done_text" ] && break; sleep 0.2; done
wz_expect_box 'AcmeNotes' "$done_text" Return
for _ in $(seq 50); do wz_tool procs | grep -qi 'uninstall\.exe' || break; sleep 0.2; done
[ -e "$WZ_DRIVE_C/Apps/AcmeNotes" ] && wz_fail "left behind: $(ls -A "$WZ_DRIVE_C/Apps/AcmeNotes" | tr '\n' ' ')"
wz_tool regget "$uninstall_key" DisplayName >/dev/null 2>&1 && wz_fail "the uninstall entry is still there"
zs_reg query 'HKLM\Software\Acme Inc.' >/dev/null 2>&1 && wz_fail "HKLM\Software\Acme Inc. is still there"
wz_stop
brand_clean
echo "wizard brand: ok"
