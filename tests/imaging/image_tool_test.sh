#!/usr/bin/env bash
# zr-image's output and exit codes. Arguments: the tool, the test image folder, a scratch folder.
# One file per reader is enough here: what each reader makes of the suites is the reader tests'.
set -u
tool=$1 data=$2 scratch=$3
png=$data/png
failures=0

expect() { # expected-exit expected-stdout args...
    local wantCode=$1 wantOut=$2
    shift 2
    local out code
    out=$("$tool" "$@" 2>/dev/null)
    code=$?
    if [[ $code != "$wantCode" || ( -n $wantOut && $out != "$wantOut" ) ]]; then
        echo "FAIL: zr-image $* -> exit $code, output '$out' (wanted $wantCode, '$wantOut')"
        failures=$((failures + 1))
    fi
}

expect 0 "width=32 height=32 kind=10 alpha=1" info "$png/basn6a08.png"
expect 0 "width=32 height=32 kind=10 alpha=0" info "$png/basn0g04.png" --icon 16x16
expect 1 "empty" info "$png/xcsn0g01.png"
expect 0 "width=32 height=32 kind=10 alpha=0" info "$png/xcsn0g01.png" --no-zlib
expect 1 "empty" info "$png/no-such-file.png"

expect 0 "width=100 height=100 kind=9 alpha=1" info "$data/gif/peterdn/static_transparent.gif"
expect 0 "width=32 height=32 kind=8 alpha=1" info "$data/ico/pillow/python.ico"
expect 0 "width=16 height=16 kind=8 alpha=1" info "$data/ico/pillow/python.ico" --icon 16x16
expect 0 "width=32 height=32 kind=12 alpha=1" info "$data/ico/icojs/cursor.cur"
expect 0 "width=127 height=64 kind=1 alpha=0" info "$data/bmp/g/rgb32.bmp"
expect 1 "empty" info "$data/ico/pillow/no_cursors.cur"

# An empty surface says why on standard error.
reason() { # expected-reason args...
    local want=$1 got
    shift
    got=$("$tool" "$@" 2>&1 >/dev/null)
    if [[ $got != *"$want"* ]]; then
        echo "FAIL: zr-image $* said '$got', wanted '$want'"
        failures=$((failures + 1))
    fi
}
reason "CRC does not match" info "$png/xcsn0g01.png"
reason "not PNG, GIF, ICO/CUR or BMP" info "$data/MANIFEST.tsv"
reason "no such file" info "$png/no-such-file.png"
reason "not a regular file" info "$png"
reason "too small to be an image" info "$data/ico/pillow/no_cursors.cur"
reason "icon/cursor: no directory entry" info "$data/ico/mozilla/invalid-bpp.ico"
reason "BMP: the header or the pixel data" info "$data/bmp/b/badbitcount.bmp"

bmp=$scratch/zr-image-out.bmp
rm -f "$bmp"
expect 0 "" convert "$png/basn6a08.png" "$bmp"
size=$(stat -c %s "$bmp" 2>/dev/null || echo 0)
if [[ $size != $((32 * 32 * 4 + 54)) || $(head -c 2 "$bmp") != "BM" ]]; then
    echo "FAIL: converted BMP has $size bytes"
    failures=$((failures + 1))
fi
expect 1 "empty" convert "$png/xdtn0g01.png" "$bmp"
rm -f "$bmp"
expect 0 "" convert "$data/ico/pillow/python.ico" "$bmp" --icon 48x48
expect 0 "width=48 height=48 kind=7 alpha=1" info "$bmp"

expect 2 "" 
expect 2 "" info
expect 2 "" info a.png b.png
expect 2 "" convert "$png/basn6a08.png"
expect 2 "" frobnicate "$png/basn6a08.png"
expect 2 "" info "$png/basn6a08.png" --icon 16
expect 2 "" info "$png/basn6a08.png" --icon
expect 2 "" info "$png/basn6a08.png" --colour
if [[ -n $("$tool" 2>&1 >/dev/null) ]]; then :; else
    echo "FAIL: no usage message on stderr"
    failures=$((failures + 1))
fi

[[ $failures == 0 ]] && echo "image tool: all checks passed"
exit $((failures != 0))
