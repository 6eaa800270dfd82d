#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick. The results are committed;
# run this again only to change a picture.
set -euo pipefail
cd "$(dirname "$0")"
C=(convert -define png:exclude-chunks=date,time)

# Toolbar strip: seven 18 x 19 buttons (New, Open, Save, Read, Write, Print, About).
"${C[@]}" -size 18x19 xc:none \
  -fill white -stroke '#404040' -draw 'polygon 3,1 11,1 15,5 15,17 3,17 3,1' \
  -fill '#d0d0d0' -draw 'polygon 11,1 11,5 15,5' \
  -stroke '#808080' -draw 'line 5,8 13,8' -draw 'line 5,11 13,11' -draw 'line 5,14 11,14' new.png
"${C[@]}" -size 18x19 xc:none \
  -fill '#e8c040' -stroke '#805000' -draw 'polygon 1,5 6,5 8,7 15,7 15,16 1,16 1,5' \
  -fill '#f8e080' -draw 'polygon 3,9 17,9 15,16 1,16' open.png
"${C[@]}" -size 18x19 xc:none \
  -fill '#3050a0' -stroke '#102040' -draw 'rectangle 2,2 15,16' \
  -fill white -stroke none -draw 'rectangle 4,3 13,8' \
  -fill '#c0c0c0' -draw 'rectangle 5,11 12,16' -fill '#3050a0' -draw 'rectangle 10,12 11,15' save.png
"${C[@]}" -size 18x19 xc:none \
  -fill '#303030' -stroke none -draw 'rectangle 2,6 8,17' -draw 'rectangle 3,1 4,6' \
  -fill '#80c0ff' -draw 'rectangle 3,8 7,10' \
  -fill '#10a020' -draw 'polygon 10,6 14,6 14,10 17,10 12,16 7,10 10,10' read.png
"${C[@]}" -size 18x19 xc:none \
  -fill '#303030' -stroke none -draw 'rectangle 2,6 8,17' -draw 'rectangle 3,1 4,6' \
  -fill '#80c0ff' -draw 'rectangle 3,8 7,10' \
  -fill '#d02020' -draw 'polygon 12,6 17,12 14,12 14,16 10,16 10,12 7,12' write.png
"${C[@]}" -size 18x19 xc:none \
  -fill white -stroke '#404040' -draw 'rectangle 5,1 12,7' \
  -fill '#b0b0b0' -draw 'rectangle 1,7 16,13' \
  -fill white -draw 'rectangle 4,11 13,17' \
  -stroke '#808080' -draw 'line 6,14 11,14' -fill '#20c020' -stroke none -draw 'rectangle 13,9 14,10' print.png
"${C[@]}" -size 18x19 xc:none \
  -fill '#2060c0' -stroke '#103060' -draw 'circle 8,9 8,2' \
  -fill white -stroke none -draw 'rectangle 7,8 9,13' -draw 'rectangle 7,5 9,6' about.png
"${C[@]}" new.png open.png save.png read.png write.png print.png about.png +append toolbar.png
rm -f new.png open.png save.png read.png write.png print.png about.png

# Icon 128: a handheld radio. Icon 129: a data document.
"${C[@]}" -size 32x32 xc:none \
  -fill '#202428' -stroke none -draw 'rectangle 20,1 23,10' \
  -fill '#2a2f36' -stroke '#0c0e10' -draw 'roundrectangle 8,9 25,30 3,3' \
  -fill '#8fd0a0' -stroke '#0c0e10' -draw 'rectangle 11,12 22,18' \
  -fill '#606870' -stroke none -draw 'rectangle 11,21 22,22' -draw 'rectangle 11,24 22,25' -draw 'rectangle 11,27 22,28' \
  -fill '#e04020' -draw 'rectangle 12,5 15,8' program.png
"${C[@]}" -size 32x32 xc:none \
  -fill white -stroke '#404040' -draw 'polygon 6,2 20,2 26,8 26,30 6,30 6,2' \
  -fill '#d8d8d8' -draw 'polygon 20,2 20,8 26,8' \
  -fill none -stroke '#2060c0' -strokewidth 2 -draw 'arc 9,12 23,26 200,340' -draw 'arc 12,16 20,24 200,340' \
  -fill '#2060c0' -stroke none -draw 'circle 16,24 16,22' document.png

# Icon 131: the navigation bar's close button.
"${C[@]}" -size 16x16 xc:none -stroke black -strokewidth 1.6 \
  -draw 'line 4,4 11,11' -draw 'line 11,4 4,11' close.png

# Cursor 132: the resize cursor of the navigation bar's edge.
"${C[@]}" -size 32x32 xc:none \
  -fill black -stroke white -strokewidth 1 \
  -draw 'polygon 4,16 10,10 10,14 14,14 14,7 18,7 18,14 22,14 22,10 28,16 22,22 22,18 18,18 18,25 14,25 14,18 10,18 10,22' \
  resize.png

# Picture 137: the built-in workspace background, 238 x 157, 24 bits.
convert -size 238x157 gradient:'#5f7f9f'-'#3f5f7f' \
  -fill none -stroke '#7393b3' -strokewidth 1 \
  -draw 'arc 40,40 200,200 200,340' -draw 'arc 70,70 170,170 200,340' -draw 'arc 100,100 140,140 200,340' \
  -type TrueColor BMP3:workspace.bmp

# background.bmp beside the executable: a quiet 64 x 64 tile, 24 bits.
convert -size 64x64 xc:'#6b7f93' -fill '#71859a' -draw 'rectangle 0,0 31,31' -draw 'rectangle 32,32 63,63' \
  -type TrueColor BMP3:../background.bmp

# title.ico beside the executable: the program icon at 16, 32 and 48 pixels.
convert program.png -define icon:auto-resize=48,32,16 ../title.ico

# Desktop icon.
"${C[@]}" program.png -filter point -resize 128x128 ../../../packaging/radio-programmer.png
