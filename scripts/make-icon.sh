#!/usr/bin/env bash
# Make the program's icon from its own picture (docs/screenshot.png, which
# scripts/screenshot.sh renders): a square around the torus and the tank with
# rounded corners. Writes, all from the one 256-pixel picture:
#   packaging/quorvale.png             256x256, the icon installed for Linux desktops
#   packaging/icons/quorvale.ico       16 to 64 and 256 pixels, the Windows icon: the
#                                      small and large sizes of 100 to 200 % scale
#   packaging/icons/quorvale-NxN.rgba  48 and 32 pixels, raw 8-bit R,G,B,A rows from
#                                      the top: the X11 window's icons, built into the
#                                      program by CMake
# Installs ImageMagick and icoutils when missing.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"
command -v convert >/dev/null || quorvale_install_missing imagemagick
command -v icotool >/dev/null || quorvale_install_missing icoutils

SOURCE=$QUORVALE_ROOT/docs/screenshot.png
ICON=$QUORVALE_ROOT/packaging/quorvale.png
ICON_DIR=$QUORVALE_ROOT/packaging/icons
CROP=460x460+410+90      # pixels of the 1280x720 picture: the torus with the tank under it
SIZE=256                 # pixels, the installed icon
CORNER=36                # pixels, radius of the rounded corners at SIZE
# Pixels, the Windows icon's smaller pictures (256 is the PNG itself): each
# scale of 100, 125, 150, 175 and 200 % has its own small icon (16 to 32) and
# large icon (32 to 64), which Windows would otherwise stretch from another.
ICO_SIZES=(16 20 24 28 32 40 48 56 64)
RAW_SIZES=(48 32)        # pixels, the X11 window's icons

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$ICON_DIR"

convert "$SOURCE" -crop "$CROP" +repage -resize "${SIZE}x${SIZE}" "$work/square.png"
convert -size "${SIZE}x${SIZE}" xc:none -fill white \
  -draw "roundrectangle 0,0,$((SIZE - 1)),$((SIZE - 1)),$CORNER,$CORNER" "$work/mask.png"
convert "$work/square.png" "$work/mask.png" -alpha off -compose CopyOpacity -composite \
  -strip -define png:color-type=6 "$ICON"

# Every smaller picture is the 256-pixel one scaled down, so that the Windows
# and the X11 icons of one size hold the same pixels. Fully transparent pixels
# are made black, as icotool stores them.
ico_pictures=()
for size in "${ICO_SIZES[@]}"; do
  convert "$ICON" -resize "${size}x${size}" -background black -alpha background \
    -strip -define png:color-type=6 "$work/$size.png"
  ico_pictures+=("$work/$size.png")
done
# Vista and later read the 256-pixel picture as PNG inside the .ico (-r).
icotool -c -o "$ICON_DIR/quorvale.ico" "${ico_pictures[@]}" -r "$ICON"
for size in "${RAW_SIZES[@]}"; do
  convert "$work/$size.png" -depth 8 "rgba:$ICON_DIR/quorvale-${size}x${size}.rgba"
done
echo "Wrote $ICON and $ICON_DIR"
