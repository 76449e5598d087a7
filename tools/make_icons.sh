#!/bin/sh
# Draws the two tray icons, a small router with two antennas, and writes them
# as 16/20/24/32/48 px, 32-bit .ico files:
#   src/win32/res/program.ico    idle: grey-blue router, status light off
#   src/win32/res/connected.ico  connected: green router, light lit, signal waves
# Needs ImageMagick 6 (convert). Run from anywhere: sh tools/make_icons.sh
# The .ico files are committed; the build does not run this script.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/src/win32/res"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Signal waves for the small sizes, one character per pixel.
waves8='
.######.
#......#
..####..
.#....#.
...##...'
waves10='
..######..
.#......#.
#..####..#
..#....#..
....##....
....##....'

# Each size is laid out on its own pixel grid and drawn without antialiasing,
# so edges stay sharp at 16 px; only the larger waves are smooth. Integer
# coordinates name pixels, and rectangles include both corners.
draw() { # size style file
    s=$1 style=$2 file=$3
    # top/bot: body edges, r: corner step, w: outline, aw/ax/at: antenna
    # width, x and tip, ls/lx: status light side and x, pw/gap: port slots.
    #          top bot r w aw ax at ls lx pw gap
    case $s in
    16) set -- 7  14  1 1 2  1  1  2  3  1  1 ;;
    20) set -- 9  18  1 1 2  2  1  3  4  1  1 ;;
    24) set -- 10 22  2 1 3  2  1  4  4  2  1 ;;
    32) set -- 14 29  2 1 3  3  2  4  5  2  2 ;;
    48) set -- 21 44  3 2 5  5  3  6  8  3  3 ;;
    esac
    top=$1 bot=$2 r=$3 w=$4 aw=$5 ax=$6 at=$7 ls=$8 lx=$9 pw=${10} gap=${11}
    # Smooth waves: centre height, dot radius, stroke and two 100 degree arcs.
    case $s in
    32) cy=11 dr=1.6 sw=2
        arcs='M -3.8,-3.25 A 5,5 0 0,1 3.8,-3.25 M -6.84,-5.85 A 9,9 0 0,1 6.84,-5.85' ;;
    48) cy=17 dr=2.5 sw=3
        arcs='M -5.7,-4.87 A 7.5,7.5 0 0,1 5.7,-4.87 M -10.26,-8.77 A 13.5,13.5 0 0,1 10.26,-8.77' ;;
    16) arcs='' art=$waves8 ;;
    *)  arcs='' art=$waves10 ;;
    esac
    case $style in
    idle)
        line='#1b2530' face='#8496ab' light='#b9c7d6' shade='#5d6e82'
        rod='#a3b1c1' led='#1d242c' ;;
    connected)
        line='#0b3213' face='#27b345' light='#8ff09c' shade='#168a30'
        rod='#6ee07f' led='#fff35a' wave='#2bd24f' ;;
    esac

    u=$(( s >= 32 ? s / 16 : 1 ))  # height of the highlight and shade bands
    right=$((s - 1))
    ly=$(( (top + bot + 1 - ls) / 2 ))  # status light row, centred on the face

    set -- -size "${s}x${s}" xc:none +antialias
    # Antennas: dark outline around a light rod.
    for x in $ax $((s - ax - aw)); do
        set -- "$@" \
            -fill "$line" -draw "rectangle $x,$at $((x + aw - 1)),$top" \
            -fill "$rod" -draw \
            "rectangle $((x + 1)),$((at + 1)) $((x + aw - 1 - aw / 3)),$((top - 1))"
    done
    # Body: outline and face with stepped corners, highlight and shade bands.
    i=0
    while [ $i -le "$r" ]; do
        set -- "$@" -fill "$line" -draw \
            "rectangle $((r - i)),$((top + i)) $((right - r + i)),$((bot - i))"
        i=$((i + 1))
    done
    fr=$(( r > w ? r - w : 0 ))
    i=0
    while [ $i -le $fr ]; do
        set -- "$@" -fill "$face" -draw \
            "rectangle $((w + fr - i)),$((top + w + i)) $((right - w - fr + i)),$((bot - w - i))"
        i=$((i + 1))
    done
    set -- "$@" \
        -fill "$light" -draw "rectangle $((w + fr)),$((top + w)) $((right - w - fr)),$((top + w + u - 1))" \
        -fill "$shade" -draw "rectangle $((w + fr)),$((bot - w - u + 1)) $((right - w - fr)),$((bot - w))"
    # Status light on the left, three port slots on the right.
    set -- "$@" -fill "$led" \
        -draw "rectangle $lx,$ly $((lx + ls - 1)),$((ly + ls - 1))"
    x=$((right - w - 2 * u - pw + 1))
    for _ in 1 2 3; do
        set -- "$@" -fill "$line" \
            -draw "rectangle $x,$ly $((x + pw - 1)),$((ly + ls - 1))"
        x=$((x - pw - gap))
    done
    # Waves between the antennas while connected.
    if [ "$style" = connected ] && [ -n "$arcs" ]; then
        centre="translate $(( (s - 1) / 2 )).5,$cy"
        set -- "$@" -antialias \
            -fill "$wave" -draw "$centre circle 0,0 0,$dr" \
            -fill none -stroke "$wave" -strokewidth "$sw" \
            -draw "$centre stroke-linecap round path '$arcs'"
    elif [ "$style" = connected ]; then
        cols=$(printf %s "$art" | awk 'END { print length }')
        rows=$(printf %s "$art" | awk 'END { print NR - 1 }')
        wx=$(( (s - cols) / 2 )) y=$(( (top - rows) / 2 ))
        for row in $art; do
            c=0
            while [ $c -lt "$cols" ]; do
                if [ "$(printf %s "$row" | cut -c $((c + 1)))" = '#' ]; then
                    set -- "$@" -fill "$wave" -draw "point $((wx + c)),$y"
                fi
                c=$((c + 1))
            done
            y=$((y + 1))
        done
    fi
    convert "$@" "PNG32:$file"
}

for style in idle connected; do
    for s in 16 20 24 32 48; do
        draw "$s" "$style" "$work/$style-$s.png"
    done
done

pack() { # style ico
    convert "$work/$1-16.png" "$work/$1-20.png" "$work/$1-24.png" \
        "$work/$1-32.png" "$work/$1-48.png" "$2"
}
pack idle "$out/program.ico"
pack connected "$out/connected.ico"
