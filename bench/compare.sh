#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times our whole-picture operations beside Pillow, libvips and ImageMagick (and djpeg for
# decoding) on one 6000 x 4000 photo, every program held to one thread, and prints one line per
# operation:
#     name ours_ms best_peer peer_ms ratio        (ratio = ours / best peer)
# A peer without the operation is left out of its line. Times are medians of RUNS runs. The
# programs' own start-up and the loading of their input are measured separately and taken off,
# so each peer is timed for the operation itself. Then the peak memory of opening the photo.
#
#   bench/compare.sh                 builds lumikon_bench (release) in build-bench and runs
#   LUMIKON_BUILD=dir RUNS=7 bench/compare.sh
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${LUMIKON_BUILD:-$ROOT/build-bench}
RUNS=${RUNS:-5}

if [[ ! -x $BUILD/bench/lumikon_bench ]]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD" --target lumikon_bench -j2 >/dev/null
fi
BENCH=$BUILD/bench/lumikon_bench

# Outputs go to memory where possible, so no peer is timed for a disk.
BASE=/tmp
[[ -w /dev/shm ]] && BASE=/dev/shm
WORK=$(mktemp -d "$BASE/lumikon-compare.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

export OMP_NUM_THREADS=1 VIPS_CONCURRENCY=1 MAGICK_THREAD_LIMIT=1 QT_QPA_PLATFORM=offscreen

# The test photo: a smooth colour field with blotches and grain, JPEG quality 92.
JPG=$WORK/photo.jpg
convert -size 6000x4000 -seed 7 gradient:'#2a4f7a-#e8c890' \
  \( -size 300x200 xc: +noise Random -blur 0x1.5 -resize '6000x4000!' \) \
  -compose overlay -composite -attenuate 0.25 +noise Gaussian -quality 92 "$JPG"
# Inputs each peer loads fastest, so that its load is small beside the operation.
vips copy "$JPG" "$WORK/photo.v"
convert "$JPG" "$WORK/photo.mpc"
vips black "$WORK/tiny.v" 8 8
convert -size 8x8 xc:gray "$WORK/tiny.ppm"
# 3 x 3 kernels (vips matrix files: width height scale offset, then the rows) of our sharpening at
# strength 2 and smoothing at level 1.
printf '3 3 5 0\n0 -1 0\n-1 9 -1\n0 -1 0\n' >"$WORK/sharpen.mat"
printf '3 3 14 0\n1 1 1\n1 6 1\n1 1 1\n' >"$WORK/smooth.mat"

# One line per operation, fields separated by |:
#   name | our benchmark | vips baseline | Pillow statement | vips arguments | ImageMagick arguments | other tool
# Placeholders of the command lines: {JPG} the photo as JPEG, {IN} the photo in the peer's own
# fast format, {OUT} an output file name, {WORK} the folder of the inputs; Pillow statements see
# the photo as im and the names JPG and OUT. "-" means the program has no such operation.
# The vips baseline is what is taken off its time: "start" (its start-up) or "copy" (start-up,
# loading {IN} and writing a picture of the same size: for results as large as the photo, which
# vips must write while the others keep them in memory). ImageMagick's baseline is its start-up
# with the loading of its input ({IN}, or a tiny file when it decodes the JPEG itself).
# ImageMagick has no 12000 x 8000 line: its resource policy on this system (1 GiB pixel cache)
# refuses a result that large.
OPS='
decode_jpeg|BM_DecodeJpeg|start|Image.open(JPG).load()|avg {JPG}|{JPG} null:|djpeg -dct fast -nosmooth -outfile /dev/null {JPG}
encode_jpeg_q90|BM_EncodeJpeg90|start|im.save(OUT + ".jpg", quality=90)|copy {IN} {OUT}.jpg[Q=90]|{IN} -quality 90 {OUT}.jpg|-
write_png|BM_WritePng|start|im.save(OUT + ".png")|copy {IN} {OUT}.png|{IN} {OUT}.png|-
resize_bicubic_3000x2000|BM_ResizeBicubic3000x2000|start|im.resize((3000, 2000), Image.Resampling.BICUBIC)|resize {IN} {OUT}.v 0.5 --kernel cubic|{IN} -filter Catrom -resize 3000x2000! null:|-
resize_bicubic_105x78|BM_ResizeBicubic105x78|start|im.resize((105, 78), Image.Resampling.BICUBIC)|resize {IN} {OUT}.v 0.0175 --vscale 0.0195 --kernel cubic|{IN} -filter Catrom -resize 105x78! null:|-
scaledcopy_240x270|BM_ScaledCopy240x270|start|im.resize((240, 160), Image.Resampling.BOX)|shrink {IN} {OUT}.v 25 25|{IN} -scale 240x160! null:|-
memcpy_32bit|BM_Memcpy32|start|im.copy()|copy {IN} {OUT}.v|-|-
rotateflip_0|BM_RotateFlip/0|copy|im.transpose(Image.Transpose.ROTATE_270)|rot {IN} {OUT}.v d90|{IN} -rotate 90 null:|-
rotateflip_1|BM_RotateFlip/1|copy|im.transpose(Image.Transpose.ROTATE_90)|rot {IN} {OUT}.v d270|{IN} -rotate 270 null:|-
rotateflip_2|BM_RotateFlip/2|copy|im.transpose(Image.Transpose.FLIP_LEFT_RIGHT)|flip {IN} {OUT}.v horizontal|{IN} -flop null:|-
rotateflip_3|BM_RotateFlip/3|copy|im.transpose(Image.Transpose.FLIP_TOP_BOTTOM)|flip {IN} {OUT}.v vertical|{IN} -flip null:|-
grayscale|BM_Grayscale|copy|im.convert("L")|colourspace {IN} {OUT}.v b-w|{IN} -colorspace Gray null:|-
sepia|BM_Sepia|copy|Image.merge("RGB", [im.convert("L").point(lambda v: min(v + a, 255)) for a in (27, 10, 0)])|-|{IN} -sepia-tone 80% null:|-
invert|BM_InvertColors|copy|im.point(lambda v: 255 - v)|invert {IN} {OUT}.v|{IN} -negate null:|-
colorize|BM_Colorize|copy|im.point([v * t // 255 for t in (255, 128, 0) for v in range(256)])|-|{IN} -channel G -evaluate multiply 0.502 -channel B -evaluate set 0 +channel null:|-
autolevels|BM_AutoLevels|copy|ImageOps.autocontrast(im)|-|{IN} -channel RGB -separate -auto-level -combine null:|-
autoadjust|BM_AutoAdjust|copy|im.point(lambda v: min(max(int((v - 154) * 1.07 + 128), 0), 255))|-|{IN} -brightness-contrast -20x10 null:|-
rotate3|BM_RotateBitmap3|copy|im.rotate(3, Image.Resampling.BILINEAR, expand=True, fillcolor="white")|rotate {IN} {OUT}.v 3|{IN} -background white -rotate 3 null:|-
sharpen2|BM_Sharpen2|copy|im.filter(ImageFilter.SHARPEN)|conv {IN} {OUT}.v {WORK}/sharpen.mat --precision integer|{IN} -define convolve:scale=! -morphology Convolve 3x3:0,-1,0,-1,9,-1,0,-1,0 null:|-
smooth1|BM_Smooth1|copy|im.filter(ImageFilter.SMOOTH)|conv {IN} {OUT}.v {WORK}/smooth.mat --precision integer|{IN} -define convolve:scale=! -morphology Convolve 3x3:1,1,1,1,6,1,1,1,1 null:|-
saturate200|BM_Saturate200|copy|ImageEnhance.Color(im).enhance(2.0)|-|{IN} -modulate 100,200 null:|-
resize_bicubic_12000x8000|BM_ResizeBicubic12000x8000|copy|im.resize((12000, 8000), Image.Resampling.BICUBIC)|resize {IN} {OUT}.v 2 --kernel cubic|-|-
'

# Our side: all benchmarks of the table in one run of lumikon_bench.
FILTER=$(awk -F'|' 'NF > 1 { printf "%s%s", sep, $2; sep = "|" }' <<<"$OPS")
LUMIKON_BENCH_PHOTO=$JPG "$BENCH" --benchmark_filter="^($FILTER)\$" --benchmark_repetitions="$RUNS" \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$WORK/ours.json" 2>/dev/null

/usr/bin/python3 - "$WORK" "$RUNS" "$OPS" <<'PY'
import json, os, statistics, subprocess, sys, time

work, runs, ops = sys.argv[1], int(sys.argv[2]), sys.argv[3]
JPG, IN_V, IN_MPC, OUT = f"{work}/photo.jpg", f"{work}/photo.v", f"{work}/photo.mpc", f"{work}/out"

ours = {}
for b in json.load(open(f"{work}/ours.json"))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        ours[b["run_name"]] = b["real_time"]  # milliseconds

def fill(text, source):
    return text.replace("{JPG}", JPG).replace("{IN}", source).replace("{OUT}", OUT).replace("{WORK}", work)

def wall_ms(argv):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(argv, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)

def vips(args):
    return wall_ms(["vips"] + fill(args, IN_V).split())

def magick(args):
    return wall_ms(["convert", "-limit", "thread", "1"] + fill(args, IN_MPC).split())

baseline_cache = {}
def baseline(kind, tool):
    key = (kind, tool)
    if key not in baseline_cache:
        if tool == "vips":
            baseline_cache[key] = vips({"start": f"avg {work}/tiny.v", "copy": "copy {IN} {OUT}.v"}[kind])
        else:
            baseline_cache[key] = magick(f"{work}/tiny.ppm null:" if kind == "decode" else "{IN} null:")
    return baseline_cache[key]

from PIL import Image, ImageEnhance, ImageFilter, ImageOps
photo = Image.open(JPG)
photo.load()
def pillow(statement):
    code = compile(statement, "<op>", "eval")
    scope = {"Image": Image, "ImageEnhance": ImageEnhance, "ImageFilter": ImageFilter, "ImageOps": ImageOps, "im": photo, "JPG": JPG, "OUT": OUT}
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        eval(code, scope)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)

print(f"{'name':26} {'ours_ms':>9} {'best_peer':>10} {'peer_ms':>9} {'ratio':>6}")
for line in ops.strip().splitlines():
    name, bench, kind, pil, vip, mag, other = line.split("|")
    peers = {}
    if pil != "-":
        peers["pillow"] = pillow(pil)
    if vip != "-":
        peers["vips"] = max(vips(vip) - baseline(kind, "vips"), 0.1)
    if mag != "-":
        peers["magick"] = max(magick(mag) - baseline("decode" if "{JPG}" in mag else "input", "magick"), 0.1)
    if other != "-":
        peers[other.split()[0]] = wall_ms(fill(other, JPG).split())
    mine = ours.get(bench)
    if mine is None:
        print(f"{name:26} {'-':>9} (benchmark {bench} did not run)")
        continue
    best = min(peers, key=peers.get)
    print(f"{name:26} {mine:9.1f} {best:>10} {peers[best]:9.1f} {mine / peers[best]:6.2f}")
PY

# Peak memory of opening the photo (decoding it and making the 32-bit picture).
read -r W H BYTES < <("$BENCH" --open "$JPG")
PEAK_KB=$(/usr/bin/time -v "$BENCH" --open "$JPG" 2>&1 >/dev/null | awk -F: '/Maximum resident/ { gsub(/ /, "", $2); print $2 }')
awk -v kb="$PEAK_KB" -v bytes="$BYTES" -v w="$W" -v h="$H" 'BEGIN {
  printf "open_jpeg_peak_memory %dx%d: %.1f MiB = %.2f x the 32-bit picture (%.1f MiB)\n",
         w, h, kb / 1024, kb * 1024 / bytes, bytes / 1048576 }'
