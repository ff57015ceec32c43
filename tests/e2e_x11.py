#!/usr/bin/python3
"""Helpers for the end-to-end test, on the display in $DISPLAY.

  e2e_x11.py dots SHOT.ppm X Y W H   the pink dots inside the window at X,Y of size W x H, as JSON
  e2e_x11.py shift A.json B.json     how far the dot cloud's centre moved between two shots
  e2e_x11.py ping WINDOW_ID SECONDS  waits until the program has handled every earlier event
  e2e_x11.py close WINDOW_ID         asks the window to close, as a window manager's close button does
  e2e_x11.py props WINDOW_ID         the window's class and the icons it carries, as JSON
  e2e_x11.py tick SHOT.ppm X Y SIM ESTIMATE SPREAD
                                     the tick whose picture by jellybox-sim SIM the canvas at X,Y
                                     shows, looked for from ESTIMATE outwards, SPREAD either way

Reads binary PPM (ImageMagick's `import -depth 8 ppm:FILE`); no imaging library is needed.
"""

import json
import sys

PINK = (255, 50, 100)


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    # Header: magic, width, height, maxval, each separated by whitespace, comments allowed.
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1  # the single whitespace byte before the raster
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise SystemExit(f"{path}: expected an 8-bit binary PPM, got {fields[0]!r} maxval {fields[3]!r}")
    width, height = int(fields[1]), int(fields[2])
    raster = data[pos:pos + 3 * width * height]
    if len(raster) != 3 * width * height:
        raise SystemExit(f"{path}: raster is short")
    return width, height, raster


def components(mask, width, height):
    """8-connected components of the set cells of mask, as lists of (x, y)."""
    seen = bytearray(width * height)
    found = []
    for start in range(width * height):
        if not mask[start] or seen[start]:
            continue
        seen[start] = 1
        stack = [start]
        cells = []
        while stack:
            i = stack.pop()
            x, y = i % width, i // width
            cells.append((x, y))
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    nx, ny = x + dx, y + dy
                    if 0 <= nx < width and 0 <= ny < height:
                        j = ny * width + nx
                        if mask[j] and not seen[j]:
                            seen[j] = 1
                            stack.append(j)
        found.append(cells)
    return found


def colour_box(raster, width, x0, y0, w, h, colour):
    """Bounding box (left, top, right, bottom; exclusive) of colour in the window, or None."""
    r, g, b = colour
    left = top = None
    right = bottom = -1
    for y in range(y0, y0 + h):
        row = raster[3 * (y * width + x0):3 * (y * width + x0 + w)]
        for x in range(w):
            if row[3 * x] == r and row[3 * x + 1] == g and row[3 * x + 2] == b:
                left = x if left is None else min(left, x)
                top = y - y0 if top is None else top
                right = max(right, x + 1)
                bottom = y - y0 + 1
    return None if left is None else [left, top, right, bottom]


def dots(path, x0, y0, w, h):
    """The window's pink dots (8-connected blobs; dots that touch make one), the canvas, and
    how many pink pixels lie beyond the canvas."""
    width, height, raster = read_ppm(path)
    if x0 < 0 or y0 < 0 or x0 + w > width or y0 + h > height:
        raise SystemExit(f"{path}: window {w}x{h}+{x0}+{y0} is not all on the screen")
    mask = bytearray(w * h)
    r, g, b = PINK
    for y in range(h):
        start = 3 * ((y0 + y) * width + x0)
        row = raster[start:start + 3 * w]
        for x in range(w):
            if row[3 * x] == r and row[3 * x + 1] == g and row[3 * x + 2] == b:
                mask[y * w + x] = 1
    blobs = components(mask, w, h)
    # The canvas is the window's commonest colour (the palette's base colour, whatever the
    # style): it covers all but a thin frame and strip.
    seen = {}
    for y in range(y0, y0 + h, 8):
        for x in range(x0, x0 + w, 8):
            i = 3 * (y * width + x)
            key = tuple(raster[i:i + 3])
            seen[key] = seen.get(key, 0) + 1
    base = max(seen, key=seen.get)
    canvas = colour_box(raster, width, x0, y0, w, h, base)
    pixels = [cell for cells in blobs for cell in cells]
    extents = [max(max(c[0] for c in cells) - min(c[0] for c in cells),
                   max(c[1] for c in cells) - min(c[1] for c in cells)) + 1 for cells in blobs]
    outside = len(pixels) if canvas is None else sum(
        1 for x, y in pixels if not (canvas[0] <= x < canvas[2] and canvas[1] <= y < canvas[3]))
    return {
        "canvas": canvas,  # left, top, right, bottom (exclusive), window coordinates
        "canvas_colour": list(base),
        "count": len(blobs),
        "widest": max(extents, default=0),  # the largest blob's width or height, in pixels
        "pink_pixels": len(pixels),
        "outside": outside,
        "centroid": [sum(p[0] for p in pixels) / len(pixels),
                     sum(p[1] for p in pixels) / len(pixels)] if pixels else None,
    }


def shift(a, b):
    """How far the centre of the pink pixels moved from shot a to shot b."""
    if a["centroid"] is None or b["centroid"] is None:
        raise SystemExit("a shot without dots")
    (ax, ay), (bx, by) = a["centroid"], b["centroid"]
    return ((ax - bx) ** 2 + (ay - by) ** 2) ** 0.5


def close(window_id):
    from Xlib import X, display, protocol

    d = display.Display()
    window = d.create_resource_object("window", window_id)
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event, event_mask=X.NoEventMask)
    d.sync()
    d.close()


def props(window_id):
    """WM_CLASS (instance, class), and each icon of _NET_WM_ICON as [width, height, pixels of
    the dots' pink hue, near-white pixels of its ground] (width, height, then the ARGB pixels,
    icon after icon). Its words read in the wrong byte order show no ground at all."""
    from Xlib import Xatom, display

    d = display.Display()
    window = d.create_resource_object("window", window_id)
    wm_class = window.get_wm_class()
    prop = window.get_full_property(d.intern_atom("_NET_WM_ICON"), Xatom.CARDINAL)
    d.close()
    values = list(prop.value) if prop else []
    icons = []
    while len(values) >= 2:
        w, h = values[0], values[1]
        pixels = values[2:2 + w * h]
        if w * h == 0 or len(pixels) != w * h:
            raise SystemExit(f"_NET_WM_ICON: a {w} x {h} icon with {len(pixels)} pixels")
        opaque = [p for p in pixels if (p >> 24) & 255 > 128]
        pink = sum(1 for p in opaque if (p >> 16) & 255 > ((p >> 8) & 255) + 64)
        ground = sum(1 for p in opaque if all((p >> shift) & 255 >= 0xE0 for shift in (16, 8, 0)))
        icons.append([w, h, pink, ground])
        values = values[2 + w * h:]
    return {"wm_class": list(wm_class) if wm_class else None, "icons": icons}


def ping(window_id, seconds):
    """Waits until the program has handled every event sent to it before: a window manager's
    "are you alive" ping, answered from the program's event loop in turn with its input."""
    import time
    from Xlib import X, display, protocol

    d = display.Display()
    root = d.screen().root
    window = d.create_resource_object("window", window_id)
    protocols = d.intern_atom("WM_PROTOCOLS")
    ping_atom = d.intern_atom("_NET_WM_PING")
    # The answer goes to the root window, to whoever listens for structure changes there.
    root.change_attributes(event_mask=X.StructureNotifyMask)
    stamp = int(time.monotonic() * 1000) & 0x7FFFFFFF
    event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                         data=(32, [ping_atom, stamp, window_id, 0, 0]))
    window.send_event(event, event_mask=X.NoEventMask)
    d.flush()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while d.pending_events():
            e = d.next_event()
            if (e.type == X.ClientMessage and e.client_type == protocols
                    and e.data[1][0] == ping_atom and e.data[1][1] == stamp):
                d.close()
                return
        time.sleep(0.02)
    raise SystemExit(f"no answer to a ping in {seconds} s: the program's event loop is stuck")


def tick_of(path, x0, y0, sim, estimate, spread):
    """The tick N, nearest estimate first, at which `sim --ticks N --png` is, pixel for pixel,
    the canvas whose top-left lies at x0, y0 of the shot; None if none within spread."""
    import os
    import subprocess
    import tempfile

    width, height, raster = read_ppm(path)
    with tempfile.TemporaryDirectory() as tmp:
        png, ppm = os.path.join(tmp, "tick.png"), os.path.join(tmp, "tick.ppm")
        for step in range(2 * spread + 1):
            n = estimate + (step + 1) // 2 * (1 if step % 2 else -1)
            if n < 0:
                continue
            subprocess.run([sim, "--ticks", str(n), "--png", png], check=True, stdout=subprocess.DEVNULL)
            subprocess.run(["convert", png, "-depth", "8", f"ppm:{ppm}"], check=True)
            w, h, picture = read_ppm(ppm)
            if x0 + w > width or y0 + h > height:
                raise SystemExit(f"{path}: no room for a {w} x {h} canvas at {x0},{y0}")
            if all(raster[3 * ((y0 + y) * width + x0):3 * ((y0 + y) * width + x0 + w)]
                   == picture[3 * y * w:3 * (y + 1) * w] for y in range(h)):
                return n
    return None


def main(argv):
    if len(argv) == 7 and argv[1] == "dots":
        json.dump(dots(argv[2], *map(int, argv[3:7])), sys.stdout)
        print()
    elif len(argv) == 4 and argv[1] == "shift":
        with open(argv[2]) as fa, open(argv[3]) as fb:
            print(f"{shift(json.load(fa), json.load(fb)):.1f}")
    elif len(argv) == 4 and argv[1] == "ping":
        ping(int(argv[2], 0), float(argv[3]))
    elif len(argv) == 3 and argv[1] == "close":
        close(int(argv[2], 0))
    elif len(argv) == 3 and argv[1] == "props":
        json.dump(props(int(argv[2], 0)), sys.stdout)
        print()
    elif len(argv) == 8 and argv[1] == "tick":
        n = tick_of(argv[2], int(argv[3]), int(argv[4]), argv[5], int(argv[6]), int(argv[7]))
        if n is None:
            raise SystemExit(f"no tick within {argv[7]} of {argv[6]} shows this picture")
        print(n)
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
