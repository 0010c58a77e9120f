#!/bin/bash
# Regenerates every picture the program ships with, from nothing but this script.
#
# Needs (Debian packages): imagemagick, fonts-wqy-microhei. Installs nothing itself.
#
# How to regenerate (from the repository root):
#     assets/generate-images.sh
# The outputs are committed; rerunning gives byte-identical files, so commit them together with any
# change here. After writing, the script checks sizes, bit depths, alpha channels, the seams of the skin
# strip and the toolbar's magenta rule, and fails if any of them is off. Pass a folder to also get
# enlarged previews (toolbar in all states at its real layout, skin panel over a busy desktop, icon):
#     assets/generate-images.sh /tmp/preview
#
# Outputs:
#   data/system/left.png mid.png right.png   skin panel strip behind the text (RGBA, not premultiplied)
#   toolbar/res/*.bmp                        toolbar strip and button pictures (24-bit, no alpha)
#   toolbar/res/120/ 144/ 168/ 192/          the same toolbar pictures drawn for those DPIs
#   toolbar/res/PICTURES.txt                 "Name WxH" of each toolbar picture, for the resource script
#   toolbar/ToolbarScaled.rch                the resource script of the larger scales' pictures
#   about/res/about.png, about.bmp           about picture, 518 x 330
#   app/res/plumwick.ico                     program icon, 16, 32 and 48 px
#
# The toolbar window is colour-keyed on magenta (255,0,255): only the strip's six rounded-corner pixels
# (their cells at the larger scales) may be magenta, and no pixel may be a blend of it, so every colour
# here keeps green well away from 0 and the checks below prove it.

set -euo pipefail

IM=/usr/bin/convert
IDENTIFY=/usr/bin/identify
COMPARE=/usr/bin/compare
FONT=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
"$IM" -version 2>/dev/null | grep -q ImageMagick || { echo "ImageMagick not found at $IM" >&2; exit 1; }
[ -r "$FONT" ] || { echo "font not found: $FONT (package fonts-wqy-microhei)" >&2; exit 1; }

ROOT=$(cd "$(dirname "$0")/.." && pwd)
PREVIEW=${1:-}
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

SKIN="$ROOT/data/system"
TB="$ROOT/toolbar/res"
ABOUT="$ROOT/about/res"
APP="$ROOT/app/res"
mkdir -p "$SKIN" "$TB" "$ABOUT" "$APP"

# Drawing is done at 8x and box-averaged down, which gives clean anti-aliasing on tiny pictures. The
# affine maps picture coordinates (pixel edges at whole numbers) onto the enlarged canvas.
# ImageMagick's MVG gets a second "fill-opacity" in one draw wrong, so translucent fills use rgba()
# colours or their own graphic context.
SS=8
AFF="affine $SS,0,0,$SS,-0.5,-0.5"

WritePng() { # source [operations...] output: RGBA PNG without time stamps or other metadata
    local out=${*: -1}
    "$IM" "${@:1:$#-1}" -strip -define png:exclude-chunks=date,time PNG32:"$out"
}
WriteBmp() { # source output: 24-bit BMP
    "$IM" "$1" -alpha off -type TrueColor BMP3:"$2"
}
Calc() { # awk expression: its value
    awk "BEGIN { print $1 }"
}

# ---------------------------------------------------------------------------------------------------
# Skin panel strip: a dark, translucent glass band with rounded caps, a faint light top edge and a soft
# lower fade. It is designed as one 88 px wide piece; the middle is cut from it as it is. The caps are
# drawn 2 px taller than their image while the middle is drawn at its own height, so the caps are stored
# squeezed: the design plus 2 transparent rows, scaled down to 110 rows. Stretched back on screen they
# meet the middle row for row.
SKW=88; SKH=110; CAP=40; MIDW=8; RAD=16
BIGSKIN=$((SKW * SS))x$((SKH * SS))

"$IM" \( -size 1x40 gradient:'#4A6484-#2C3E56' \) \( -size 1x22 gradient:'#2B3D54-#1E2B3D' \) \
      \( -size 1x48 gradient:'#1D2A3B-#111A27' \) -append -scale ${SKW}x${SKH}! "$TMP/skin-colour.png"
# Opacity down the strip: about 60 % at the top, 55 % lower down, fading out over the last rows.
"$IM" \( -size 1x98 gradient:'gray(62%)-gray(55%)' \) \( -size 1x12 gradient:'gray(55%)-gray(4%)' \) \
      -append -scale ${SKW}x${SKH}! "$TMP/skin-fade.png"
"$IM" -size $BIGSKIN xc:black -fill white -draw "$AFF roundrectangle 0,0 $SKW,$SKH $RAD,$RAD" \
      -scale ${SKW}x${SKH}! "$TMP/skin-shape.png"
"$IM" -size $BIGSKIN xc:black -fill white -draw "$AFF roundrectangle 0,1 $SKW,$((SKH + 1)) $RAD,$RAD" \
      -scale ${SKW}x${SKH}! "$TMP/skin-shape-lower.png"
"$IM" "$TMP/skin-shape.png" "$TMP/skin-fade.png" -compose Multiply -composite "$TMP/skin-alpha.png"
# The top edge line follows the rounded corners: the shape less the shape moved down one pixel.
"$IM" "$TMP/skin-shape.png" "$TMP/skin-shape-lower.png" -compose Minus_Src -composite \
      \( -size ${SKW}x$((SKH / 4)) gradient:'gray(55%)-black' \
         -size ${SKW}x$((SKH - SKH / 4)) xc:black -append \) \
      -compose Multiply -composite "$TMP/skin-edge-alpha.png"
"$IM" "$TMP/skin-colour.png" "$TMP/skin-alpha.png" -alpha off -compose CopyOpacity -composite \
      \( -size ${SKW}x${SKH} xc:'#E4EEF8' "$TMP/skin-edge-alpha.png" -alpha off \
         -compose CopyOpacity -composite \) \
      -compose Over -composite "$TMP/skin.png"
"$IM" "$TMP/skin.png" -background none -gravity north -extent ${SKW}x$((SKH + 2)) \
      -filter Triangle -resize ${SKW}x${SKH}! "$TMP/skin-caps.png"
WritePng "$TMP/skin-caps.png" -crop ${CAP}x${SKH}+0+0 +repage "$SKIN/left.png"
WritePng "$TMP/skin.png" -crop ${MIDW}x${SKH}+${CAP}+0 +repage "$SKIN/mid.png"
WritePng "$TMP/skin-caps.png" -crop ${CAP}x${SKH}+$((CAP + MIDW))+0 +repage "$SKIN/right.png"

# ---------------------------------------------------------------------------------------------------
# Toolbar strip, 389 x 30 at 96 DPI: light-blue glossy bar with a thin darker outline. The outline's top
# corners are cut by exactly six magenta pixels (row 0: x 0, 1, 387, 388; row 1: x 0, 388) so they turn
# see-through under the window's colour key.
#
# The whole set is drawn again for 120, 144, 168 and 192 DPI (toolbar/res/<dpi>/), at that size rather
# than enlarged: every length is the 96-DPI one times DPI/96 in whole pixels (halves to even, as the
# program rounds), symbols and text are drawn at the larger size, and the magenta corners are the cells of
# the six 96-DPI pixels, unblended, so the colour key stays exact.
OUTLINE='#4A82C0'
MAGENTA='#FF00FF'
KEYHOLE='#E6F2FD'

# Symbol colours: dark blue normally, lighter blue under the pointer, in between when pressed.
SymColour() { # Nor | Poi | Down
    case $1 in Nor) echo '#1C4F8F' ;; Poi) echo '#4E9BE6' ;; Down) echo '#2F6FBA' ;; esac
}

# The set being drawn: its scale S (DPI / 96), the affine from 96-DPI picture coordinates onto the 8x
# canvas, and its folder TBO.
S=1; AFFT=$AFF; TBO=$TB
Px() { # a 96-DPI length in the set's whole pixels, halves to even
    awk -v v="$1" -v s="$S" 'BEGIN { x = v * s; f = int(x); d = x - f
        if (d > 0.5 || (d == 0.5 && f % 2 == 1)) f++; print f }'
}
Cells() { # colour "x,y ...": MVG filling exactly the set's pixels of these 96-DPI pixels
    local p x y out="fill $1"
    for p in $2; do
        x=${p%,*}; y=${p#*,}
        out+=" rectangle $(Px "$x"),$(Px "$y") $(($(Px $((x + 1))) - 1)),$(($(Px $((y + 1))) - 1))"
    done
    echo "$out"
}

# Each picture sits at a fixed place on the strip and is drawn over the strip's own pixels there, so
# its background continues the strip's gradient exactly.
StripCrop() { # x y w h output: the strip's pixels under a picture (96-DPI place and size)
    "$IM" "$TMP/Pic.png" -crop "$(Px "$3")x$(Px "$4")+$(Px "$1")+$(Px "$2")" +repage "$5"
}
Picture() { # name x y w h mvg: draws mvg (picture coordinates) at 8x over the strip; writes name.bmp
    local name=$1 w h
    w=$(Px "$4"); h=$(Px "$5")
    StripCrop "$2" "$3" "$4" "$5" "$TMP/$name.png"
    "$IM" "$TMP/$name.png" -scale $((100 * SS))% -draw "$AFFT $6" -scale "${w}x${h}!" "$TMP/$name.png"
    WriteBmp "$TMP/$name.png" "$TBO/$name.bmp"
}

# Previous and next: arrowhead and bar, pointing outwards from each other.
ArrowPrev() {
    echo "fill $1 stroke $1 stroke-width 0.5 stroke-linejoin round
          polygon 1.4,5.5 6.6,1.4 6.6,9.6  roundrectangle 8.2,1.4 10.6,9.6 0.4,0.4"
}
ArrowNext() {
    echo "fill $1 stroke $1 stroke-width 0.5 stroke-linejoin round
          roundrectangle 1.4,1.4 3.8,9.6 0.4,0.4  polygon 5.4,1.4 10.6,5.5 5.4,9.6"
}

# Colour swatches: a glossy disc; hover puts it inside a blue ring (2 px larger), pressed darkens it.
RING='#2F7FD8'
Disc() { # cx cy r fill rim glossOpacity
    awk -v cx="$1" -v cy="$2" -v r="$3" -v f="$4" -v m="$5" -v g="$6" 'BEGIN {
        printf "stroke none fill %s circle %g,%g %g,%g ", m, cx, cy, cx, cy - r
        printf "fill %s circle %g,%g %g,%g ", f, cx, cy, cx, cy - r + 0.95
        printf "fill rgba(255,255,255,%g) ellipse %g,%g %g,%g 0,360 ",
               g * 0.45, cx, cy - r * 0.38, r * 0.66, r * 0.42
        printf "fill rgba(255,255,255,%g) ellipse %g,%g %g,%g 0,360 ",
               g * 0.6, cx, cy - r * 0.48, r * 0.42, r * 0.24
    }'
}
# The disc of the scheme in use carries a white centre dot ringed in its rim colour, like a chosen radio
# button, in its normal and pressed pictures; its hover picture is the common ring.
ChosenDot() { # rim
    echo "stroke $1 stroke-width 0.8 fill white circle 7,7 7,4.9"
}
Swatch() { # role x fill rim pressedFill pressedRim
    local role=$1 x=$2
    Picture "${role}Nor" "$x" 8 14 14 "$(Disc 7 7 6.3 "$3" "$4" 0.55)"
    Picture "${role}Poi" "$x" 8 16 16 \
            "fill none stroke $RING stroke-width 1.2 circle 8,8 8,0.9 $(Disc 8 8 5.5 "$3" "$4" 0.55)"
    Picture "${role}Down" "$x" 8 14 14 "$(Disc 7 7 6.3 "$5" "$6" 0.22)"
    Picture "${role}Sel" "$x" 8 14 14 "$(Disc 7 7 6.3 "$3" "$4" 0.55) $(ChosenDot "$4")"
    Picture "${role}SelDown" "$x" 8 14 14 "$(Disc 7 7 6.3 "$5" "$6" 0.22) $(ChosenDot "$6")"
}

# Text buttons: the characters on a soft face; hover frames the face lightly, pressed makes it darker
# and frames it firmly. The text is drawn at its real size so the font's hinting keeps it crisp.
TextButton() { # name x y w h state text
    local name=$1 x=$2 y=$3 w=$4 h=$5 st=$6 text=$7 face x1 y1
    x1=$(Calc "$w - 0.5"); y1=$(Calc "$h - 0.5")
    case $st in
        Nor)  face="stroke none fill rgba(255,255,255,0.35) roundrectangle 0.5,0.5 $x1,$y1 3,3" ;;
        Poi)  face="fill rgba(255,255,255,0.7) stroke '#86B6E8' stroke-width 1
                    roundrectangle 0.5,0.5 $x1,$y1 3,3" ;;
        Down) face="fill '#AFD0F1' stroke '#3F78B8' stroke-width 1 roundrectangle 0.5,0.5 $x1,$y1 3,3
                    fill none stroke '#8FB5DE' stroke-width 1 line 2.5,1.5 $(Calc "$w - 2.5"),1.5" ;;
    esac
    StripCrop "$x" "$y" "$w" "$h" "$TMP/$name.png"
    "$IM" "$TMP/$name.png" -scale $((100 * SS))% -draw "$AFFT $face" -scale "$(Px "$w")x$(Px "$h")!" \
          -font "$FONT" -pointsize "$(Calc "12 * $S")" -fill "$(SymColour "$st")" -gravity center \
          -annotate +0+0 "$text" "$TMP/$name.png"
    WriteBmp "$TMP/$name.png" "$TBO/$name.bmp"
}

# Pause/resume: a closed padlock while the rotation is paused, an open one (the shackle raised and free
# on the right) while it runs. Close: cross.
PadlockBody() {
    echo "stroke none fill $1 roundrectangle 1.5,6.3 10.5,13.2 1.3,1.3
          fill $KEYHOLE circle 6,9.1 6,8.15 rectangle 5.55,9.2 6.45,11.3"
}
Padlock() {
    echo "fill none stroke $1 stroke-width 1.5 path 'M 3.7,7 L 3.7,4.5 A 2.3,2.3 0 0 1 8.3,4.5 L 8.3,7'
          $(PadlockBody "$1")"
}
OpenPadlock() {
    echo "fill none stroke $1 stroke-width 1.5 path 'M 3.7,7 L 3.7,3.0 A 2.3,2.3 0 0 1 8.3,3.0 L 8.3,3.5'
          $(PadlockBody "$1")"
}
Cross() {
    echo "fill none stroke $1 stroke-width 1.8 stroke-linecap round
          line 2.4,2.4 8.6,8.6 line 8.6,2.4 2.4,8.6"
}

ToolbarSet() { # the whole set at scale S into TBO
    local w h o r1 r2 r3 st sw sh sf dark
    w=$(Px 389); h=$(Px 30); o=$(Px 1)
    r1=$(($(Px 2) - o)); r2=$(($(Px 15) - o - r1)); r3=$((h - 2 * o - r1 - r2))
    "$IM" \( -size $((w - 2 * o))x$r1 xc:'#FFFFFF' \) \( -size $((w - 2 * o))x$r2 gradient:'#F3FAFF-#DCEEFC' \) \
          \( -size $((w - 2 * o))x$r3 gradient:'#C6E1F8-#DAEEFC' \) -append -bordercolor "$OUTLINE" -border $o \
          +antialias -draw "$(Cells "$OUTLINE" "1,1 387,1")" \
          -draw "$(Cells "$MAGENTA" "0,0 1,0 387,0 388,0 0,1 388,1")" \
          -alpha off "$TMP/Pic.png"
    WriteBmp "$TMP/Pic.png" "$TBO/Pic.bmp"

    for st in Nor Poi Down; do
        Picture "Delay2$st" 40 10 12 11 "$(ArrowPrev "$(SymColour $st)")"
        Picture "Delay1$st" 56 10 12 11 "$(ArrowNext "$(SymColour $st)")"
    done
    Swatch Blue   94  '#3C8CE8' '#2262B4' '#2A70C6' '#174784'
    Swatch Green  114 '#50BF5B' '#2F8A39' '#3A9E45' '#22692A'
    Swatch Red    134 '#F47CA7' '#C9507D' '#DA5F8D' '#A13A62'
    Swatch White  150 '#E4E7EC' '#8E98A6' '#C4C9D1' '#6D7785'
    Swatch Yellow 166 '#F9A23E' '#CC731A' '#E0841F' '#A55A10'
    for st in Nor Poi Down; do
        setHeight=22; [ $st = Down ] && setHeight=21
        TextButton "Set$st" 208 4 41 $setHeight $st '设置'
        TextButton "Sel$st" 256 4 59 21 $st '控制面板'
    done
    # The content button's first picture: the normal look with the text where SelNor has it, on a larger
    # piece of strip, so the first refresh swaps it for SelNor without a visible jump.
    StripCrop 256 4 67 23 "$TMP/SelFirst.png"
    "$IM" "$TMP/SelFirst.png" "$TMP/SelNor.png" -geometry +0+0 -compose Over -composite "$TMP/SelFirst.png"
    WriteBmp "$TMP/SelFirst.png" "$TBO/SelFirst.bmp"
    for st in Nor Poi Down; do
        Picture "Lock$st" 350 8 12 14 "$(Padlock "$(SymColour $st)")"
        Picture "Unlock$st" 350 8 12 14 "$(OpenPadlock "$(SymColour $st)")"
        Picture "End$st" 366 10 11 11 "$(Cross "$(SymColour $st)")"
    done

    # Hint icon for the double-click copy: a clipboard with a pointer.
    Picture Hint 8 2 26 27 "
        stroke '#1C4F8F' stroke-width 0.9 fill '#3F7DC4' roundrectangle 3.5,3.8 20.5,25.2 2,2
        stroke none fill white roundrectangle 6,6.8 18,22.8 0.8,0.8
        fill none stroke '#8DB5E3' stroke-width 1 line 8,10.5 16,10.5 line 8,13.5 15,13.5 line 8,16.5 13,16.5
        stroke '#1C4F8F' stroke-width 0.8 fill '#2A64A8' roundrectangle 8.4,1.8 15.6,6.6 1.2,1.2
        stroke none fill '#DDEEFC' circle 12,3.4 12,2.7
        stroke '#163F73' stroke-width 0.9 stroke-linejoin round fill white
        polygon 15.5,13.5 15.5,24.4 18,22.1 19.7,25.8 21.5,25 19.9,21.3 23.2,21.3"

    # Separators: an etched pair of lines that fades out at both ends. One picture serves all three
    # (x 78, 198 and 334): the strip does not change along its length.
    sw=$(Px 2); sh=$(Px 24); sf=$(Px 6); dark=$((sw / 2))
    "$IM" \( -size ${dark}x$sh xc:'#6E9CD0' \) \( -size $((sw - dark))x$sh xc:'#FFFFFF' \) +append \
          \( \( -size ${sw}x$sf gradient:black-white \) \( -size ${sw}x$((sh - 2 * sf)) xc:white \) \
             \( -size ${sw}x$sf gradient:white-black \) -append \) \
          -alpha off -compose CopyOpacity -composite "$TMP/sep.png"
    StripCrop 78 2 2 24 "$TMP/Separator.png"
    "$IM" "$TMP/Separator.png" "$TMP/sep.png" -compose Over -composite "$TMP/Separator.png"
    WriteBmp "$TMP/Separator.png" "$TBO/Separator.bmp"
}

SCALED_DPIS="120 144 168 192"
for dpi in $SCALED_DPIS 96; do # 96 last: the previews below use its intermediate files
    S=$(Calc "$dpi / 96"); AFFT="affine $(Calc "$SS * $S"),0,0,$(Calc "$SS * $S"),-0.5,-0.5"
    TBO=$TB; [ $dpi = 96 ] || TBO=$TB/$dpi
    mkdir -p "$TBO"
    ToolbarSet
done
S=1

# ---------------------------------------------------------------------------------------------------
# Plum blossom used by the icon and the about picture: five round petals around a small heart.
Blossom() { # cx cy size rotationDeg petalColour heartColour opacity
    awk -v cx="$1" -v cy="$2" -v s="$3" -v rot="$4" -v pc="$5" -v hc="$6" -v op="$7" 'BEGIN {
        pi = atan2(0, -1)
        printf "push graphic-context stroke none fill %s fill-opacity %g ", pc, op
        for (k = 0; k < 5; k++) {
            a = (rot - 90 + 72 * k) * pi / 180
            px = cx + cos(a) * s * 0.52; py = cy + sin(a) * s * 0.52
            printf "circle %.3f,%.3f %.3f,%.3f ", px, py, px, py - s * 0.42
        }
        printf "fill %s circle %.3f,%.3f %.3f,%.3f pop graphic-context\n", hc, cx, cy, cx, cy - s * 0.2
    }'
}

# Icon: blue rounded square with a gloss and a white blossom.
for n in 16 32 48; do
    big=$((n * SS))
    radius=$(Calc "$n * 0.22")
    inset=$(Calc "($n >= 32) ? 1 : 0.5")
    far=$(Calc "$n - $inset")
    gloss=$(Calc "$n / 2 \",\" $n * 0.12 \" \" $n * 0.62 \",\" $n * 0.36")
    flower=$(Blossom "$(Calc "$n / 2")" "$(Calc "$n / 2 + $n * 0.02")" "$(Calc "$n * 0.36")" \
                     0 white '#F49AB9' 1)
    "$IM" -size ${big}x${big} xc:black -fill white \
          -draw "$AFF roundrectangle $inset,$inset $far,$far $radius,$radius" "$TMP/icon-mask.png"
    "$IM" \( -size ${big}x${big} gradient:'#4FA2F0-#17498A' \
             -draw "$AFF stroke none fill rgba(255,255,255,0.16) ellipse $gloss 0,360" \
             -draw "$AFF $flower" \) \
          "$TMP/icon-mask.png" -alpha off -compose CopyOpacity -composite -scale ${n}x${n}! "$TMP/icon-$n.png"
done
"$IM" "$TMP/icon-16.png" "$TMP/icon-32.png" "$TMP/icon-48.png" -strip ICO:"$APP/plumwick.ico"

# ---------------------------------------------------------------------------------------------------
# About picture, 518 x 330: deep blue gradient, a blossoming plum branch, soft creek waves, the name,
# a line about what it does, the version, and a quiet close mark where the close spot is (x 472..496,
# y 0..19).
AW=518; AH=330; AS=4
PETAL='#F6B3CB'; HEART='#FCE38A'
{
    echo "affine $AS,0,0,$AS,0,0"
    # creek: three soft waves along the bottom
    echo "stroke none fill rgba(255,255,255,0.05)"
    echo "path 'M 0,262 C 120,236 220,292 340,262 C 420,242 470,250 518,240 L 518,330 L 0,330 Z'"
    echo "fill rgba(255,255,255,0.05)"
    echo "path 'M 0,288 C 140,262 250,312 380,284 C 440,272 490,278 518,270 L 518,330 L 0,330 Z'"
    echo "fill rgba(255,255,255,0.06)"
    echo "path 'M 0,312 C 160,292 280,330 420,306 C 470,298 500,302 518,298 L 518,330 L 0,330 Z'"
    # branch
    echo "fill none stroke rgba(24,14,30,0.5) stroke-width 3 stroke-linecap round"
    echo "path 'M 518,34 C 470,46 440,70 410,112 C 396,132 384,150 360,162'"
    echo "stroke-width 2 path 'M 452,60 C 440,40 446,28 456,18'"
    echo "stroke-width 1.6 path 'M 408,118 C 420,130 440,136 456,134'"
    Blossom 450 58 22 10 "$PETAL" "$HEART" 0.55
    Blossom 412 108 28 -12 "$PETAL" "$HEART" 0.6
    Blossom 456 18 14 30 "$PETAL" "$HEART" 0.45
    Blossom 458 134 16 20 "$PETAL" "$HEART" 0.45
    Blossom 364 160 18 -30 "$PETAL" "$HEART" 0.5
    Blossom 492 40 10 0 "$PETAL" "$HEART" 0.4
    Blossom 384 148 8 0 "$PETAL" "$PETAL" 0.5
    # divider under the name
    echo "stroke none fill rgba(255,255,255,0.22) rectangle 40,180 300,181"
    # close mark
    echo "fill none stroke rgba(255,255,255,0.55) stroke-width 1.4 stroke-linecap round"
    echo "line 480,5.5 488,13.5 line 488,5.5 480,13.5"
} > "$TMP/about.mvg"
"$IM" -size $((AW * AS))x$((AH * AS)) -define gradient:angle=135 gradient:'#1F5D99-#0E2746' \
      -draw "$(cat "$TMP/about.mvg")" -scale ${AW}x${AH}! \
      "$TMP/icon-48.png" -geometry +40+72 -compose Over -composite \
      -font "$FONT" -fill white -pointsize 40 -annotate +100+112 'Plumwick' \
      -fill '#F7C6D8' -pointsize 26 -annotate +102+156 '梅溪信息屏' \
      -fill '#C9DCF0' -pointsize 15 -annotate +40+212 '柜台与前台信息显示 · Counter & reception text display' \
      -fill '#8FB1D6' -pointsize 13 -annotate +40+242 'Version 1.0.0' \
      -alpha off "$TMP/about.png"
"$IM" "$TMP/about.png" -strip -define png:exclude-chunks=date,time PNG24:"$ABOUT/about.png"
WriteBmp "$TMP/about.png" "$ABOUT/about.bmp"

# ---------------------------------------------------------------------------------------------------
# List of toolbar pictures for the resource script, and the resource script of the sets for the larger
# scales ("TB_BLUENOR_144" for 144 DPI's BlueNor).
for f in "$TB"/*.bmp; do
    "$IDENTIFY" -format "%t %wx%h\n" "$f"
done | LC_ALL=C sort > "$TB/PICTURES.txt"
{
    echo "// Written by assets/generate-images.sh: the toolbar's pictures drawn for the larger scales."
    for dpi in $SCALED_DPIS; do
        for name in $(cd "$TB/$dpi" && ls -- *.bmp | LC_ALL=C sort); do
            name=${name%.bmp}
            echo "TB_$(echo "$name" | tr '[:lower:]' '[:upper:]')_$dpi BITMAP \"toolbar/res/$dpi/$name.bmp\""
        done
    done
} > "$ROOT/toolbar/ToolbarScaled.rch"

# ---------------------------------------------------------------------------------------------------
# Checks.
fail=0
Fail() { echo "check failed: $*" >&2; fail=1; }
ExpectSize() { # file WxH
    local got; got=$("$IDENTIFY" -format "%wx%h" "$1")
    [ "$got" = "$2" ] || Fail "$1 is $got, expected $2"
}
expected="Pic 389x30 Hint 26x27 Separator 2x24 SelFirst 67x23"
for st in Nor Poi Down; do
    expected+=" Delay1$st 12x11 Delay2$st 12x11 Lock$st 12x14 Unlock$st 12x14 End$st 11x11 Sel$st 59x21"
    for role in Blue Green Red White Yellow; do
        if [ $st = Poi ]; then expected+=" $role$st 16x16"; else expected+=" $role$st 14x14"; fi
    done
done
for role in Blue Green Red White Yellow; do expected+=" ${role}Sel 14x14 ${role}SelDown 14x14"; done
expected+=" SetNor 41x22 SetPoi 41x22 SetDown 41x21"
# Every exact magenta pixel of a picture as "x,y ", and the pixels of a colour near magenta that are not
# exactly it (a key colour blended into its neighbours would show as a pink fringe).
MagentaSpots() {
    "$IM" "$1" txt:- | awk -F'[,: ]+' '/#FF00FF/ { printf "%s,%s ", $1, $2 }'
}
NearMagenta() {
    "$IM" "$1" txt:- | awk '/^[0-9]/ { v = $2; gsub(/[()]/, "", v); split(v, c, ",")
        if (c[1] >= 160 && c[3] >= 160 && c[2] <= 110 && !(c[1] == 255 && c[2] == 0 && c[3] == 255)) n++ }
        END { print n + 0 }'
}
for dpi in 96 $SCALED_DPIS; do
    S=$(Calc "$dpi / 96"); TBO=$TB; [ $dpi = 96 ] || TBO=$TB/$dpi
    count=0
    while read -r name size; do
        ExpectSize "$TBO/$name.bmp" "$(Px "${size%x*}")x$(Px "${size#*x}")"; count=$((count + 1))
    done < <(echo "$expected" | xargs -n 2)
    [ "$(ls "$TBO"/*.bmp | wc -l)" = $count ] || Fail "$TBO holds other bitmaps than the $count expected"
    # The strip's key pixels: the cells of the six 96-DPI corner pixels, exactly.
    keys=""
    for p in 0,0 1,0 387,0 388,0 0,1 388,1; do
        x=${p%,*}; y=${p#*,}
        for ((yy = $(Px "$y"); yy < $(Px $((y + 1))); yy++)); do
            for ((xx = $(Px "$x"); xx < $(Px $((x + 1))); xx++)); do keys+="$xx,$yy "; done
        done
    done
    keys=$(echo $keys | tr ' ' '\n' | sort -t, -k2,2n -k1,1n | tr '\n' ' ')
    for f in "$TBO"/*.bmp; do
        # Bits per pixel sit at offset 28 of a BMP file.
        [ "$(od -An -tu2 -j28 -N2 "$f" | tr -d ' ')" = 24 ] || Fail "$f is not a 24-bit bitmap"
        spots=$(MagentaSpots "$f")
        if [ "$(basename "$f")" = Pic.bmp ]; then
            [ "$spots" = "$keys" ] || Fail "$f magenta pixels: $spots"
        else
            [ -z "$spots" ] || Fail "$f has magenta pixels: $spots"
        fi
        [ "$(NearMagenta "$f")" = 0 ] || Fail "$f has $(NearMagenta "$f") pixels of a blended key colour"
    done
done
S=1
[ "$(od -An -tu2 -j28 -N2 "$ABOUT/about.bmp" | tr -d ' ')" = 24 ] || Fail "$ABOUT/about.bmp is not a 24-bit bitmap"
ExpectSize "$SKIN/left.png" ${CAP}x${SKH}
ExpectSize "$SKIN/mid.png" ${MIDW}x${SKH}
ExpectSize "$SKIN/right.png" ${CAP}x${SKH}
ExpectSize "$ABOUT/about.png" ${AW}x${AH}
ExpectSize "$ABOUT/about.bmp" ${AW}x${AH}
for f in "$SKIN/left.png" "$SKIN/mid.png" "$SKIN/right.png"; do
    [ "$("$IDENTIFY" -format '%[channels]' "$f")" = srgba ] || Fail "$f has no alpha channel"
done
# The seams as the panel draws them: a cap stretched 2 px taller must match the middle's rows.
Seam() { # cap capColumn midColumn: largest channel difference, 0..255
    "$IM" "$1" -filter Triangle -resize ${CAP}x$((SKH + 2))! -crop 1x${SKH}+"$2"+0 +repage "$TMP/seam-cap.png"
    "$IM" "$SKIN/mid.png" -crop 1x${SKH}+"$3"+0 +repage "$TMP/seam-mid.png"
    "$COMPARE" -metric PAE "$TMP/seam-cap.png" "$TMP/seam-mid.png" null: 2>&1 |
        awk -F'[()]' '{ print int($2 * 255 + 0.5) }' || true
}
[ "$(Seam "$SKIN/left.png" $((CAP - 1)) 0)" -le 3 ] || Fail "left cap does not meet the middle"
[ "$(Seam "$SKIN/right.png" 0 $((MIDW - 1)))" -le 3 ] || Fail "middle does not meet the right cap"
[ "$("$IDENTIFY" -format '%wx%h ' "$APP/plumwick.ico")" = "16x16 32x32 48x48 " ] || Fail "icon sizes"
[ $fail = 0 ] || exit 1

# ---------------------------------------------------------------------------------------------------
# Optional previews: the toolbar with every picture of one state at its place (magenta shown
# see-through), the skin panel as the program composes it over a busy desktop, and the icon.
if [ -n "$PREVIEW" ]; then
    mkdir -p "$PREVIEW"
    Place() { # state: composes every button in the given state at its place on the strip
        local st=$1 sel=Sel$1 args=() disc sx
        [ "$st" = First ] && { st=Nor; sel=SelFirst; }
        args+=("$TB/Hint.bmp" -geometry +8+2 -composite)
        args+=("$TB/Delay2$st.bmp" -geometry +40+10 -composite)
        args+=("$TB/Delay1$st.bmp" -geometry +56+10 -composite)
        for sx in 78 198 334; do args+=("$TB/Separator.bmp" -geometry "+$sx+2" -composite); done
        for disc in Blue:94 Green:114 Red:134 White:150 Yellow:166; do
            args+=("$TB/${disc%%:*}$st.bmp" -geometry "+${disc##*:}+8" -composite)
        done
        args+=("$TB/Set$st.bmp" -geometry +208+4 -composite "$TB/$sel.bmp" -geometry +256+4 -composite)
        args+=("$TB/Lock$st.bmp" -geometry +350+8 -composite "$TB/End$st.bmp" -geometry +366+10 -composite)
        "$IM" "$TB/Pic.bmp" "${args[@]}" -transparent "$MAGENTA" "$TMP/bar-$1.png"
    }
    for st in Nor Poi Down First; do Place $st; done
    # The running rotation and scheme 2 in use, as the strip shows them then.
    "$IM" "$TMP/bar-Nor.png" "$TB/GreenSel.bmp" -geometry +114+8 -composite \
          "$TB/UnlockNor.bmp" -geometry +350+8 -composite "$TMP/bar-State.png"
    "$IM" -size 392x36 xc:'#7A8A5A' "$TMP/bar-Nor.png" -composite -scale 400% "$PREVIEW/toolbar-x4.png"
    "$IM" "$TMP/bar-Nor.png" "$TMP/bar-Poi.png" "$TMP/bar-Down.png" "$TMP/bar-First.png" "$TMP/bar-State.png" \
          -background '#7A8A5A' -splice 0x4 -append -scale 300% "$PREVIEW/toolbar-states-x3.png"
    W=900
    "$IM" -size ${W}x200 -seed 7 plasma:'#4a7a3a-#c8a060' -blur 0x6 -compose Over \
          \( "$SKIN/left.png" -filter Triangle -resize ${CAP}x$((SKH + 2))! \) -geometry +0+40 -composite \
          \( "$SKIN/mid.png" -filter Triangle -resize $((W - 2 * CAP))x${SKH}! \) -geometry +${CAP}+40 \
          -composite \
          \( "$SKIN/right.png" -filter Triangle -resize ${CAP}x$((SKH + 2))! \) -geometry +$((W - CAP))+40 \
          -composite \
          "$TMP/bar-Nor.png" -geometry +$(((W - 392) / 2))+22 -composite \
          -font "$FONT" -pointsize 44 -fill '#2080FF' -stroke white -strokewidth 1 \
          -annotate +60+120 '欢迎光临 Welcome' -fill '#FFE040' -stroke none -annotate +480+120 '今日特价' \
          -fill white -annotate +680+120 '白色' "$PREVIEW/skin-desktop.png"
    "$IM" \( "$TMP/icon-48.png" -scale 400% \) \( "$TMP/icon-32.png" -scale 400% \) \
          \( "$TMP/icon-16.png" -scale 400% \) -background '#F0F0F0' -gravity north +append \
          "$PREVIEW/icon-x4.png"
    "$IM" "$ABOUT/about.png" "$PREVIEW/about.png"
    echo "previews in $PREVIEW"
fi
