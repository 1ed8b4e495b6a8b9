#!/usr/bin/env python3
"""Pixel checks on screenshots and skin images for the integration scenarios.

  pixels.py pixel IMAGE X Y
      prints the pixel as rrggbb
  pixels.py diff SHOT OX OY REF X Y W H [--mask MASK] [--exclude X,Y,W,H]... [--tolerance T]
      compares the rectangle (X, Y, W, H) of REF with SHOT at offset (OX, OY);
      with --mask only pixels the mask keeps (not white) count. Prints
      "MISMATCHES COMPARED".
  pixels.py count-colour SHOT X Y W H RRGGBB [--tolerance T]
      prints how many pixels of the rectangle have the colour.
  pixels.py blend SHOT OX OY REF ALPHA BENEATH TOLERANCE
      for the window at (OX, OY) showing REF at the opacity of the grey
      image ALPHA over the screenshot BENEATH (taken without the window),
      prints "A B C D E F": transparent pixels that show BENEATH exactly,
      all transparent pixels, opaque pixels that show REF exactly, all
      opaque pixels, translucent pixels within TOLERANCE of the blend, all
      translucent pixels.
  pixels.py shape SHOT OX OY MASK RRGGBB
      for the window at (OX, OY) cut by MASK, prints "A B C D": cut-away
      pixels that show the colour, all cut-away pixels, kept pixels that show
      the colour, all kept pixels.

Images of any format ImageMagick reads are accepted (converted to PPM).
"""
import subprocess
import sys


def load(path):
    """Returns (width, height, bytes) of an image as 8-bit RGB."""
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                          stdout=subprocess.PIPE).stdout
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise SystemExit(f"{path}: unexpected PPM header {fields}")
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[pos + 1:pos + 1 + w * h * 3]


def rgb(img, x, y):
    """The pixel at (x, y) as a tuple, or None outside the image."""
    w, h, px = img
    if not (0 <= x < w and 0 <= y < h):
        return None
    i = (y * w + x) * 3
    return px[i], px[i + 1], px[i + 2]


def close(a, b, tolerance):
    return a is not None and b is not None and all(abs(p - q) <= tolerance for p, q in zip(a, b))


def options(args):
    """Splits --mask/--exclude/--tolerance options off the positional arguments."""
    pos, opts = [], {"mask": None, "exclude": [], "tolerance": 0}
    it = iter(args)
    for a in it:
        if a == "--mask":
            opts["mask"] = load(next(it))
        elif a == "--exclude":
            opts["exclude"].append(tuple(int(v) for v in next(it).split(",")))
        elif a == "--tolerance":
            opts["tolerance"] = int(next(it))
        else:
            pos.append(a)
    return pos, opts


def main(argv):
    if len(argv) < 2:
        raise SystemExit(__doc__)
    cmd, args = argv[1], argv[2:]
    if cmd == "pixel":
        p = rgb(load(args[0]), int(args[1]), int(args[2]))
        print("%02x%02x%02x" % p if p else "outside")
    elif cmd == "diff":
        pos, opts = options(args)
        shot, ox, oy = load(pos[0]), int(pos[1]), int(pos[2])
        ref = load(pos[3])
        x0, y0, w, h = (int(v) for v in pos[4:8])
        bad = total = 0
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                if opts["mask"] and rgb(opts["mask"], x, y) == (255, 255, 255):
                    continue
                if any(ex <= x < ex + ew and ey <= y < ey + eh for ex, ey, ew, eh in opts["exclude"]):
                    continue
                total += 1
                if not close(rgb(shot, ox + x, oy + y), rgb(ref, x, y), opts["tolerance"]):
                    bad += 1
        print(bad, total)
    elif cmd == "count-colour":
        pos, opts = options(args)
        shot = load(pos[0])
        x0, y0, w, h = (int(v) for v in pos[1:5])
        want = tuple(int(pos[5][i:i + 2], 16) for i in (0, 2, 4))
        print(sum(close(rgb(shot, x, y), want, opts["tolerance"])
                  for y in range(y0, y0 + h) for x in range(x0, x0 + w)))
    elif cmd == "blend":
        shot, ox, oy = load(args[0]), int(args[1]), int(args[2])
        ref, alpha, beneath, tolerance = load(args[3]), load(args[4]), load(args[5]), int(args[6])
        counts = [0] * 6
        for y in range(alpha[1]):
            for x in range(alpha[0]):
                a = rgb(alpha, x, y)[0]
                seen, under = rgb(shot, ox + x, oy + y), rgb(beneath, ox + x, oy + y)
                if a == 0:
                    counts[0] += seen == under
                    counts[1] += 1
                elif a == 255:
                    counts[2] += seen == rgb(ref, x, y)
                    counts[3] += 1
                else:
                    want = tuple(round((c * a + u * (255 - a)) / 255) for c, u in zip(rgb(ref, x, y), under))
                    counts[4] += close(seen, want, tolerance)
                    counts[5] += 1
        print(*counts)
    elif cmd == "shape":
        shot, ox, oy, mask = load(args[0]), int(args[1]), int(args[2]), load(args[3])
        want = tuple(int(args[4][i:i + 2], 16) for i in (0, 2, 4))
        counts = [0, 0, 0, 0]
        for y in range(mask[1]):
            for x in range(mask[0]):
                kept = rgb(mask, x, y) != (255, 255, 255)
                counts[2 * kept + 1] += 1
                counts[2 * kept] += rgb(shot, ox + x, oy + y) == want
        print(*counts)
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
