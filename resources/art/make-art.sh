#!/bin/bash
# Regenerates every picture of the setup wizard (resources/wizard/) from the drawing
# commands below. Needs ImageMagick 6 (convert), python3 and the WenQuanYi Micro Hei and
# DejaVu fonts (Debian: imagemagick, fonts-wqy-microhei, fonts-dejavu-core).
#   resources/art/make-art.sh            regenerate resources/wizard/*
#   resources/art/make-art.sh --sheet F  also write a contact sheet of every picture to F
# Shapes are drawn four times too large and scaled down, so edges are smooth at every size.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
OUT=$HERE/../wizard
SHEET=
if [[ ${1:-} == --sheet ]]; then SHEET=$(realpath -m "$2"); fi

CJK=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
LATIN=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
LATIN_BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
for f in "$CJK" "$LATIN" "$LATIN_BOLD"; do
  [[ -f $f ]] || { echo "make-art: font missing: $f" >&2; exit 1; }
done

T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
mkdir -p "$OUT"

# Palette: the bottom panel's orange, a deeper orange for shading, cream for highlights,
# and the grays of the wizard's text.
ORANGE='#FF9900'
ORANGE_LIGHT='#FFB547'
ORANGE_DEEP='#EC7000'
CREAM='#FCEAC4'
CREAM_PALE='#FFF6E6'
INK='#4D4D4D'
GRAY='#808080'
GRAY_LIGHT='#B3B3B3'
LINE='#E3E3E3'

# JPEG output: baseline, full colour resolution (orange text edges stay clean), no metadata.
jpeg() { convert "$1" -strip -sampling-factor 1x1 -quality 90 -interlace none "JPEG:$2"; }

# The product's shield, in a 256-unit square (drawn at 1024 pixels: "scale 4,4").
SHIELD='M128,14 C158,30 194,38 226,40 L226,116 C226,178 188,220 128,244 C68,220 30,178 30,116 L30,40 C62,38 98,30 128,14 Z'
SHIELD_RIGHT='M128,14 C158,30 194,38 226,40 L226,116 C226,178 188,220 128,244 Z'
# Glyphs on the shield: the mountain with its mist (the product), a tick (done).
PEAKS="fill-opacity 0 stroke white stroke-width 17 stroke-linecap round stroke-linejoin round
       path 'M62,156 L106,102 L128,128 L158,90 L194,136'
       stroke-width 11 path 'M74,184 C96,172 112,172 128,180 C144,188 160,188 182,176'"
PEAK_SMALL="fill white stroke none path 'M58,178 L128,76 L198,178 Z'"
TICK="fill-opacity 0 stroke white stroke-width 26 stroke-linecap round stroke-linejoin round
      path 'M78,132 L114,168 L180,98'"

# emblem GLYPH SIZE OUT [RIM]: the orange shield with a glyph, transparent around, SIZE
# pixels; RIM 0 leaves out the inner rim (too fine for 16 pixels).
emblem() {
  local glyph=$1 size=$2 out=$3 rim=${4:-1}
  convert -size 1024x1024 xc:black -fill white -draw "scale 4,4 path '$SHIELD'" -alpha off "$T/mask.png"
  local rimdraw=
  if [[ $rim == 1 ]]; then
    rimdraw="scale 4,4 translate 128,130 scale 0.87,0.87 translate -128,-130
             fill-opacity 0 stroke rgba(255,255,255,0.55) stroke-width 5 path '$SHIELD'"
  fi
  convert -size 1024x1024 gradient:"$ORANGE_LIGHT"-"$ORANGE_DEEP" "$T/mask.png" \
      -compose CopyOpacity -composite -compose Over \
      -fill 'rgba(170,60,0,0.14)' -draw "scale 4,4 path '$SHIELD_RIGHT'" \
      -draw "push graphic-context $rimdraw pop graphic-context" \
      -draw "scale 4,4 $glyph" \
      "$T/mask.png" -compose CopyOpacity -composite \
      -filter Lanczos -resize "${size}x${size}" "PNG32:$out"
}

# shadowed SRC OUT: SRC with a soft drop shadow under it, same canvas size.
shadowed() {
  local w h
  read -r w h < <(identify -format '%w %h\n' "$1")
  convert "$1" \( +clone -background '#5A3000' -shadow 35x3+0+2 \) +swap -background none \
      -layers merge +repage -gravity center -extent "${w}x${h}" "PNG32:$2"
}

# folder BACK FRONT EDGE SIZE OUT: a folder glyph drawn in a 64-unit square.
folder() {
  local back=$1 front=$2 edge=$3 size=$4 out=$5
  convert -size 256x256 xc:none \
      -fill "$back" -stroke "$edge" -strokewidth 8 \
      -draw "scale 4,4 path 'M6,16 L6,54 L58,54 L58,20 L30,20 L25,13 L9,13 Z'" \
      -fill "$front" -stroke "$edge" -strokewidth 8 \
      -draw "scale 4,4 path 'M6,54 L13,27 L62,27 L56,54 Z'" \
      -filter Lanczos -resize "${size}x${size}" "PNG32:$out"
}

# document SIZE OUT: a sheet with a folded corner and text lines, 64-unit square.
document() {
  local size=$1 out=$2
  convert -size 256x256 xc:none \
      -fill white -stroke "$ORANGE" -strokewidth 8 \
      -draw "scale 4,4 path 'M12,4 L40,4 L54,18 L54,60 L12,60 Z'" \
      -fill "$CREAM" -draw "scale 4,4 path 'M40,4 L40,18 L54,18 Z'" \
      -stroke "$ORANGE" -strokewidth 12 \
      -draw "scale 4,4 line 20,28 46,28 line 20,38 46,38 line 20,48 38,48" \
      -filter Lanczos -resize "${size}x${size}" "PNG32:$out"
}

# text IMAGE FONT SIZE COLOUR X Y TEXT: writes TEXT with its baseline at Y, in place.
text() {
  mogrify -font "$2" -pointsize "$3" -fill "$4" -annotate "+$5+$6" "$7" "$1"
}

# ---- Emblems used below ----------------------------------------------------------------
emblem "$PEAKS" 256 "$T/main-256.png"
emblem "$PEAKS" 48 "$T/main-48.png"
emblem "$PEAKS" 32 "$T/main-32.png"
emblem "$PEAK_SMALL" 16 "$T/main-16.png" 0
emblem "$PEAKS" 84 "$T/e84.png"
emblem "$PEAKS" 40 "$T/e40.png"
emblem "$PEAKS" 36 "$T/e36.png"
emblem "$PEAKS" 34 "$T/e34.png"
emblem "$PEAKS" 28 "$T/e28.png"
emblem "$TICK" 58 "$T/tick58.png"

# ---- PRODUCT (Image5): 100 x 100, 24-bit bitmap on the page colour -----------------------
shadowed "$T/e84.png" "$T/e84s.png"
convert -size 100x100 xc:white \
    -fill "$CREAM_PALE" -stroke '#FBE3BA' -strokewidth 1 -draw 'circle 50,50 50,3' \
    "$T/e84s.png" -gravity center -geometry +0+1 -composite \
    -alpha off -type TrueColor "BMP3:$OUT/product.bmp"
# The program carries it packed: the bitmap resource's bytes (the file without its 14-byte
# header) as a 32-bit little-endian length and a zlib stream (wizard.rc).
python3 - "$OUT/product.bmp" "$OUT/product.pdib" <<'PY'
import struct, sys, zlib
dib = open(sys.argv[1], "rb").read()[14:]
open(sys.argv[2], "wb").write(struct.pack("<I", len(dib)) + zlib.compress(dib, 9))
PY

# ---- JPG_LOGO (gImage10): 130 x 30; the control shows only 121 x 30 of it ------------------
convert -size 130x30 xc:white "$T/e28.png" -geometry +1+1 -composite "$T/logo.png"
text "$T/logo.png" "$CJK" 15 "$INK" 33 15 '青岚护卫'
mogrify -font "$LATIN_BOLD" -pointsize 8 -kerning 2.2 -fill "$ORANGE" -annotate +34+27 'ZENTA' "$T/logo.png"
jpeg "$T/logo.png" "$OUT/logo.jpg"

# ---- JPG_WELCOME (Image2): 180 x 45, the brand line under the welcome text ----------------
convert -size 180x45 xc:white "$T/e40.png" -geometry +2+2 -composite "$T/welcome.png"
text "$T/welcome.png" "$CJK" 19 "$INK" 48 22 '青岚护卫'
mogrify -font "$LATIN_BOLD" -pointsize 9 -kerning 1.5 -fill "$ORANGE" -annotate +130+21 'ZENTA' "$T/welcome.png"
text "$T/welcome.png" "$CJK" 11 "$GRAY" 49 38 '主动防御 · 实时守护'
jpeg "$T/welcome.png" "$OUT/welcome.jpg"

# ---- JPG_HEADER1..4 (Image4, 6, 7, 8): 631 x 20 strips, one per page ----------------------
header() {
  local n=$1 title=$2 sub=$3 out=$4 i x
  local bars=
  for ((i = 1; i <= 4; i++)); do
    x=$((631 - 12 - (5 - i) * 26))
    if ((i <= n)); then bars+=" fill $ORANGE"; else bars+=" fill #DEDEDE"; fi
    bars+=" roundrectangle $x,9 $((x + 22)),11 1,1"
  done
  convert -size 631x19 gradient:white-'#F2F2F2' -size 631x1 xc:"$LINE" -append \
      -fill "$ORANGE" -draw "polygon 0,0 50,0 43,19 0,19" \
      -fill "$ORANGE_DEEP" -draw "polygon 43,19 50,0 52,0 45,19" \
      -draw "$bars" "$T/h.png"
  mogrify -font "$LATIN_BOLD" -pointsize 10 -fill white -annotate +13+14 "$(printf '%02d' "$n")" "$T/h.png"
  text "$T/h.png" "$CJK" 12 "$INK" 62 15 "$title"
  text "$T/h.png" "$LATIN" 8 "$GRAY_LIGHT" 118 14 "$sub"
  text "$T/h.png" "$CJK" 10 "$GRAY" 460 14 "步骤 $n/4"
  jpeg "$T/h.png" "$out"
}
header 1 '许可协议' 'LICENSE AGREEMENT' "$OUT/header1.jpg"
header 2 '选择目录' 'DESTINATION FOLDER' "$OUT/header2.jpg"
header 3 '开始安装' 'READY TO INSTALL' "$OUT/header3.jpg"
header 4 '复制文件' 'INSTALLING FILES' "$OUT/header4.jpg"

# ---- JPG_LICENCE_SIDE (Image11), JPG_FOLDER_SIDE (Image10): 96 x 25 section tags ----------
tag() {
  local icon=$1 label=$2 out=$3
  convert -size 96x25 xc:white \
      -fill "$CREAM_PALE" -stroke '#F7D9A4' -strokewidth 1 -draw 'roundrectangle 1.5,2.5 93.5,22.5 10,10' \
      "$icon" -geometry +9+5 -composite "$T/tag.png"
  text "$T/tag.png" "$CJK" 12 "$INK" 30 17 "$label"
  jpeg "$T/tag.png" "$out"
}
document 15 "$T/doc15.png"
folder "#FFD27A" "$ORANGE_LIGHT" "$ORANGE_DEEP" 15 "$T/folder15.png"
tag "$T/doc15.png" '阅读协议' "$OUT/licence-side.jpg"
tag "$T/folder15.png" '安装位置' "$OUT/folder-side.jpg"

# ---- JPG_READY_SIDE (Image9): 139 x 92, a screen with the shield and a start badge -------
convert -size 556x368 xc:white -draw "scale 4,4
      fill #F3F3F3 stroke #CFCFCF stroke-width 1.5 roundrectangle 12,5 126,73 6,6
      fill $CREAM_PALE stroke #E6E6E6 stroke-width 1 rectangle 18,11 120,66
      fill #DADADA stroke none polygon 61,73.8 77,73.8 80,82 58,82
      fill #E2E2E2 stroke #CFCFCF stroke-width 1 roundrectangle 44,82 94,86 2,2
      fill $LINE stroke none roundrectangle 40,56 98,58.5 1,1
      fill $ORANGE roundrectangle 40,56 62,58.5 1,1
      fill white stroke white stroke-width 2 circle 116,66 116,50
      fill $ORANGE stroke none circle 116,66 116,52
      fill white polygon 112,59 112,73 123,66" \
    -filter Lanczos -resize 139x92 "$T/ready.png"
convert "$T/ready.png" "$T/e36.png" -geometry +51+15 -composite "$T/ready.png"
jpeg "$T/ready.png" "$OUT/ready-side.jpg"

# ---- JPG_LICENCE (Image1): 202 x 114, progressive: the agreement sheet and its seal -------
convert -size 808x456 xc:none -draw "scale 4,4
      fill white stroke #D4D4D4 stroke-width 1 path 'M16,8 L68,8 L84,24 L84,104 L16,104 Z'
      fill #EFEFEF path 'M68,8 L68,24 L84,24 Z'
      stroke none fill $ORANGE roundrectangle 25,20 52,23.5 1.5,1.5
      fill #E4E4E4 roundrectangle 25,33 75,35 1,1 roundrectangle 25,41 75,43 1,1
      roundrectangle 25,49 75,51 1,1 roundrectangle 25,57 66,59 1,1
      roundrectangle 25,69 75,71 1,1 roundrectangle 25,77 58,79 1,1" \
    -filter Lanczos -resize 202x114 "$T/sheet.png"
shadowed "$T/sheet.png" "$T/sheet-s.png"
convert -size 808x456 xc:none -draw "scale 4,4
      fill white circle 76,88 76,67
      fill $ORANGE circle 76,88 76,70
      fill-opacity 0 stroke rgba(255,255,255,0.6) stroke-width 1.2 circle 76,88 76,73
      stroke white stroke-width 3.6 stroke-linecap round stroke-linejoin round
      path 'M68,88 L74,94 L85,82'" \
    -filter Lanczos -resize 202x114 "$T/seal.png"
convert -size 202x114 xc:white "$T/sheet-s.png" -composite "$T/seal.png" -composite "$T/licence.png"
text "$T/licence.png" "$CJK" 15 "$INK" 102 48 '软件许可协议'
text "$T/licence.png" "$LATIN" 7 "$GRAY_LIGHT" 103 61 'LICENSE AGREEMENT'
convert "$T/licence.png" -fill "$ORANGE" -draw 'rectangle 103,70 116,71' "$T/licence.png"
text "$T/licence.png" "$CJK" 11 "$GRAY" 102 88 '请仔细阅读协议条款'
convert "$T/licence.png" -strip -sampling-factor 1x1 -quality 90 -interlace JPEG "JPEG:$OUT/licence.jpg"

# ---- FINISH (Image3): icon, one 64 x 64 image with alpha ---------------------------------
# Stored PNG-compressed (the icon format of Windows Vista and later): a third of the bytes of
# the same 32-bit image as a bitmap with its mask.
convert "$T/tick58.png" -background none -gravity north -extent 64x64 "$T/tick64.png"
shadowed "$T/tick64.png" "$T/finish.png"
convert "$T/finish.png" -depth 8 -define png:exclude-chunks=date,time -define png:compression-level=9 \
    -define png:compression-filter=5 -define png:compression-strategy=1 "PNG32:$T/finish-64.png"
python3 - "$T/finish-64.png" "$OUT/finish.ico" <<'PY'
import struct, sys
png = open(sys.argv[1], "rb").read()
assert png[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", png[16:24]) == (64, 64), "finish: not a 64 x 64 PNG"
entry = struct.pack("<BBBBHHII", 64, 64, 0, 0, 1, 32, len(png), 6 + 16)
open(sys.argv[2], "wb").write(struct.pack("<HHH", 0, 1, 1) + entry + png)
PY

# ---- BROWSE, BROWSE_HOT: 24 x 21 bitmaps; the top-left pixel is the transparent colour ----
folder "$CREAM_PALE" '#FFE7B8' "$ORANGE_DEEP" 18 "$T/f-normal.png"
folder '#FFC861' "$ORANGE_LIGHT" "$ORANGE_DEEP" 18 "$T/f-hot.png"
convert -size 24x21 xc:white "$T/f-normal.png" -gravity center -geometry +0+0 -composite \
    -fill white -draw 'point 0,0' -alpha off -type TrueColor "BMP3:$OUT/browse.bmp"
convert -size 24x21 xc:white -fill "$CREAM" -stroke "$ORANGE_LIGHT" -strokewidth 1 \
    -draw 'roundrectangle 0.5,0.5 23.5,20.5 4,4' "$T/f-hot.png" -gravity center -composite \
    -fill white -draw 'point 0,0' -alpha off -type TrueColor "BMP3:$OUT/browse-hot.bmp"

# ---- MAINICON: the setup's own icon, 16, 32, 48 and 256 pixels, each PNG-packed ----------
convert "$T/main-16.png" "$T/main-32.png" "$T/main-48.png" "$T/main-256.png" \
    -depth 8 -define png:exclude-chunks=date,time "$OUT/main.ico"

# Explorer shows the first icon group of the resource directory, and named groups sort
# alphabetically, so "FINISH" would come before "MAINICON". wizard.rc therefore stores the
# main icon's images once, as RT_ICON resources 1001-1004 (main-N.icoimg), and points two
# groups at them: "APPICON" (first in the directory: Explorer's icon) and "MAINICON" (the
# name the program loads). main.icogrp is that group directory. ImageMagick writes the small
# images as bitmaps with their mask; each is stored as a PNG of the same pixels instead (the
# icon format of Windows Vista and later, as FINISH; the mask is where alpha is 0 in both):
# half the bytes.
python3 - "$OUT" <<'PY'
import struct, sys, zlib
out = sys.argv[1]

def png_of(image):  # an icon image as PNG, with the PNG filter that packs its rows smallest
    if image[:8] == b"\x89PNG\r\n\x1a\n":
        return image
    header, w, h2, planes, bits = struct.unpack_from("<IiiHH", image, 0)
    assert bits == 32 and h2 == 2 * w, "main.ico: not a square 32-bit image"
    stride = 4 * w
    rows = []
    for y in range(w):  # bottom-up BGRA to top-down RGBA
        src = image[header + (w - 1 - y) * stride:header + (w - y) * stride]
        rows.append(bytes(v for x in range(w) for v in (src[4 * x + 2], src[4 * x + 1], src[4 * x], src[4 * x + 3])))

    def filtered(kind):
        raw, prev = bytearray(), bytes(stride)
        for r in rows:
            raw.append(kind)
            for i in range(stride):
                a, b, c = (r[i - 4] if i >= 4 else 0), prev[i], (prev[i - 4] if i >= 4 else 0)
                if kind == 4:
                    e = a + b - c
                    p = a if abs(e - a) <= min(abs(e - b), abs(e - c)) else (b if abs(e - b) <= abs(e - c) else c)
                else:
                    p = (0, a, b, (a + b) >> 1)[kind]
                raw.append((r[i] - p) & 0xFF)
            prev = r
        return zlib.compress(bytes(raw), 9)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, w, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", min((filtered(k) for k in range(5)), key=len)) + chunk(b"IEND", b""))

ico = open(f"{out}/main.ico", "rb").read()
reserved, kind, count = struct.unpack_from("<HHH", ico, 0)
assert reserved == 0 and kind == 1 and count == 4, "main.ico: unexpected header"
group = struct.pack("<HHH", 0, 1, count)
for i in range(count):
    w, h, colours, res, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
    assert bits == 32, f"main.ico: image {i} has {bits} bits per pixel"
    image = png_of(ico[offset:offset + size])
    open(f"{out}/main-{w or 256}.icoimg", "wb").write(image)
    group += struct.pack("<BBBBHHIH", w, h, colours, res, planes, bits, len(image), 1001 + i)
open(f"{out}/main.icogrp", "wb").write(group)
PY

# ---- Contact sheet (not part of the program) -----------------------------------------------
if [[ -n $SHEET ]]; then
  cd "$OUT"
  convert -background '#F0F0F0' \
      \( header1.jpg header2.jpg header3.jpg header4.jpg -background white -splice 0x6 -append \) \
      \( -background white product.bmp welcome.jpg logo.jpg licence-side.jpg folder-side.jpg \
         ready-side.jpg licence.jpg 'finish.ico' browse.bmp browse-hot.bmp \
         -bordercolor white -border 6 +append \) \
      \( 'main.ico[3]' 'main.ico[2]' 'main.ico[1]' 'main.ico[0]' -background white -gravity center +append \) \
      -gravity northwest -append "$T/sheet.png"
  convert "$T/sheet.png" -scale 200% "$SHEET"
  echo "contact sheet: $SHEET"
fi
