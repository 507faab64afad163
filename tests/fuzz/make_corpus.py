#!/usr/bin/python3
"""Writes the seed corpus and the replayed findings of the fuzz targets.

Run from anywhere; the files land in corpus/TARGET and findings/TARGET beside
this script. The outputs are committed, so this only needs running again to
change them.
"""
import io
import os
import struct

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))


def put(kind, target, name, data):
    folder = os.path.join(HERE, kind, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def fletcher_check(data):
    s1 = s2 = 0
    for b in data:
        s1 = (s1 + b) % 255
        s2 = (s2 + s1) % 255
    c1 = 255 - ((s1 + s2) % 255)
    c2 = 255 - ((s1 + c1) % 255)
    return bytes([c1, c2])


def encoded(size, fmt, mode="RGBA"):
    img = Image.new(mode, size)
    for y in range(size[1]):
        for x in range(size[0]):
            v = (x * 37 + y * 91) % 256
            img.putpixel((x, y), (v, 255 - v, (v * 3) % 256, 255)[: len(mode)])
    out = io.BytesIO()
    img.save(out, fmt)
    return out.getvalue()


def bmp_header_only(width, height, bits, tail=b"", palette=0, info=40):
    """A BMP that declares width x height but carries no pixel data."""
    offset = 14 + info + 4 * palette
    header = struct.pack("<2sIHHI", b"BM", offset + len(tail), 0, 0, offset)
    dib = struct.pack("<IiiHHIIiiII", info, width, height, 1, bits, 0, 0, 2835, 2835, palette, 0)
    dib += b"\0" * (info - 40)
    return header + dib + b"\x80" * (4 * palette) + tail


def s(text):
    raw = text.encode()
    return struct.pack("<I", len(raw)) + raw


HANDLES = [
    (1, "BACKGROUNDS", 480, 272, False, 7),
    (2, "LOGOS", 125, 85, True, 6),
    (3, "INFO_SCREENS", 480, 272, False, 7),
    (4, "BG_THUMBNAILS", 90, 51, False, 7),
    (5, "LOGO_THUMBNAILS", 90, 61, True, 6),
]


def project(cells=None, sizes=None):
    """A version-4 project; cells maps handle position to [(name, picture)]."""
    cells = cells or {}
    sizes = sizes or {}
    out = struct.pack("<III", 1, 0, 2) + b"\0" * 1343 + struct.pack("<II", 4, 5)
    for pos, (hid, name, w, h, compress, fmt) in enumerate(HANDLES):
        w, h = sizes.get(pos, (w, h))
        out += struct.pack("<i", hid) + s(name) + struct.pack("<ii", w, h)
        out += bytes([compress, not compress]) + struct.pack("<iii", fmt, 0, 0)
        out += bytes([1]) + struct.pack("<iI", 0, 0)
        mine = cells.get(pos, [])
        out += struct.pack("<I", len(mine))
        for cname, picture in mine:
            out += s(cname) + s("") + struct.pack("<diiii", 0.8, 2, hid, len(picture), 0)
            out += bytes([1]) + struct.pack("<I", len(picture)) + picture
    return out


# Seeds: small valid inputs of every kind.
put("corpus", "project", "new.cvp", project())
put("corpus", "project", "one-logo.cvp", project({1: [("SUN", encoded((125, 85), "PNG"))], 4: [("SUN", encoded((90, 61), "PNG"))]}))
put("corpus", "picture", "tiny.png", encoded((5, 3), "PNG"))
put("corpus", "picture", "tiny.bmp", encoded((5, 3), "BMP", "RGB"))
put("corpus", "picture", "tiny.gif", encoded((5, 3), "GIF", "RGB"))
put("corpus", "picture", "tiny.jpg", encoded((9, 7), "JPEG", "RGB"))
put("corpus", "picture", "logo.png", encoded((125, 85), "PNG"))
frame = bytes([1, 10, 0x93, 0x7B, 0x1C, 0x5A, 0, 8])
frame += fletcher_check(frame)
body = bytes([0x16, 0xB5, 0, 201, 0x16, 0xBB, 0, 105])
put("corpus", "reply", "ack", b"\x06")
put("corpus", "reply", "nak", b"\x15")
put("corpus", "reply", "identify-reply", b"\x02" + frame + body + fletcher_check(body))
record = bytearray(1408)
record[0:2] = struct.pack("<H", 2)
put("corpus", "configuration", "v2-fresh-check", bytes(record) + b"\x01")
record[0:2] = struct.pack("<H", 1)
put("corpus", "configuration", "v1-fresh-check", bytes(record) + b"\x01")

# Requests as the virtual controller receives them.
def request(command, address, data=b"", trailing=b""):
    head = bytes([0x01, command]) + struct.pack("<I", address) + struct.pack(">H", len(data))
    head += fletcher_check(head)
    body = data + fletcher_check(data) if data else trailing
    return head + body


put("corpus", "frames", "identify", b"\x00" + request(10, 0, trailing=b"\0\0"))
put("corpus", "frames", "read-then-write", b"\x07" + request(204, 0x80000, trailing=b"\0\x40")
    + request(200, 0x80000, bytes(range(32))))
put("corpus", "frames", "bad-header-then-reset", b"\x03" + b"\x01\x0c\0\0\0\0\0\0\x12\x34" + b"\x55" * 5 + b"\xff"
    + request(12, 0))
put("corpus", "frames", "cut-short", b"\x02" + request(200, 0x80000, bytes(16))[:20] + b"\xff")

# Commissioning log lines as the recorder writes them.
line = (b'{"adapter_serial":"FT1234","config_checksum":[63,156],"firmware":"2.01",'
        b'"image_block_bytes":2807698,"image_block_sha256":"ab","message":"","outcome":"ok",'
        b'"part_number":5813,"port":"/dev/ttyUSB0","project":"/home/site.cvp","project_sha256":"cd",'
        b'"seconds":41.3,"sent":["config","images"],"time":"2026-12-10T09:15:02.125Z","verify":"passed"}\n')
failed = (b'{"adapter_serial":null,"config_checksum":null,"firmware":null,"image_block_bytes":null,'
          b'"image_block_sha256":null,"message":"No controller answered.","outcome":"failed","part_number":null,'
          b'"port":"/dev/ttyUSB1","project":"site.cvp","project_sha256":"cd","seconds":2,"sent":[],'
          b'"time":"2026-12-10T09:16:00.000Z","verify":"not run","watch_index":2,'
          b'"watch_session":"2026-12-10T09:00:00Z"}\n')
put("corpus", "commissioning-log", "two-records", line + failed)
put("corpus", "commissioning-log", "one-record-and-a-torn-line", line + line[:40])
# commission --firmware: an upgrade that went through, and one that did not.
upgraded = line.replace(b'"verify":"passed"}', b'"verify":"passed","upgrade":{"backup":"/home/corvane-backup-'
                        b'20261210-091448.cvp","from":"1.04","outcome":"ok","to":"2.01"}}')
refused = failed.replace(b'"watch_index":2', b'"upgrade":{"backup":null,"from":"1.00","outcome":"failed","to":7},'
                         b'"watch_index":2')
put("corpus", "commissioning-log", "upgraded-and-failed-upgrade", upgraded + refused)
site = line.replace(b'"verify":"passed"}', b'"verify":"passed","site_sheet":"rooms.csv","site_sheet_sha256":"ef",'
                    b'"site_row":"FT1234","site_values":{"controller_type":0,"service_info_text":"Room 104"}}')
put("corpus", "commissioning-log", "record-with-a-site-row-and-one-without", site + line)

# Site sheets as spreadsheets save them: comma and semicolon, a byte order
# mark and CR LF, quoted cells over several lines, every kind of field.
put("corpus", "site-sheet", "serials-comma.csv",
    b'adapter_serial,room,service_info_text,controller_type\n'
    b'FT4XK1A,Room 104,"Room 104\nCall 0161 555 0100",0\nFT4XK1B,Room 105,Room 105,1\n')
put("corpus", "site-sheet", "ports-semicolon-bom-crlf.csv",
    b'\xef\xbb\xbfport;name;theme_colour;show_setpoint_dp;show_setpoint_value\r\n'
    b'/dev/ttyUSB0;"Unit ""A""; west";#00FF80;0;1\r\n/dev/ttyUSB1;;0x10;;\r\n;;;;\r\n')
put("corpus", "site-sheet", "order-every-field.csv",
    b'order,theme_colour,unoccupied_min_temp,unoccupied_max_temp,occupied_setpoint,controller_type,'
    b'show_setpoint_dp,show_setpoint_value,theme_background_index,theme_logo_index,language,rc_ctrl_enable,'
    b'md_ctrl_enable,fs_ctrl_enable,ad_ctrl_enable,occupancy_strategy_enable,occupied_settings_enable,'
    b'occupied_run,occupied_mode,occupied_fanspeed,occupied_airdir,theme_background_enabled,'
    b'theme_logo_enabled,service_info_text,info_screen_time_to_show,info_screen_display_time,'
    b'scheduler_enabled,frost_protection_enabled,info_scr_slideshow_enabled,'
    b'info_scr_slideshow_display_rate,info_scr_slideshow_visible_time,info_scr_slideshow_start_min,'
    b'info_scr_slideshow_stop_min\n'
    b'1,16777215,100,290,210,1,1,1,0,0,0,1 1 1 1,"[1,1,1,1,1]",1 1 1 1,1 1 1 1 1 1 1,3,1 1 1 1 1,1,5,5,1,1,1,'
    b'"Caf\xc3\xa9 1\nLine 2\nLine 3",20,20,1,1,1,10,60,07:30,1439\n'
    b'2,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\n')

# Findings: each must end fast with a clear refusal.
big = bmp_header_only(32784, 272, 24, b"\0" * 52)
assert len(big) == 106
put("findings", "picture", "bmp-32784x272-106-bytes.bmp", big)
put("findings", "picture", "bmp-6000x5000-55-bytes.bmp", bmp_header_only(6000, 5000, 24, b"\0"))
put("findings", "picture", "bmp-5800x5000-palette-363-bytes.bmp", bmp_header_only(5800, 5000, 8, b"\0" * 245, palette=16))
put("findings", "picture", "bmp-5000x-6600-top-down.bmp", bmp_header_only(5000, -6600, 32, b"\0" * 8))
put("findings", "project", "bmp-32784x272-in-logos.cvp", project({1: [("HUGE", big)]}))
put("findings", "project", "width-overflows-row-bytes.cvp", project(sizes={1: (0x40000001, 85)}))
put("findings", "project", "negative-height.cvp", project(sizes={3: (90, -51)}))
put("findings", "commissioning-log", "seconds-and-bytes-beyond-range.jsonl",
    line.replace(b'"seconds":41.3', b'"seconds":1e300')
    + line.replace(b'"image_block_bytes":2807698', b'"image_block_bytes":-1e300'))
