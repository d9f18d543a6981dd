#!/usr/bin/env python3
"""Builds the read-only resource volume: an MBR disk of 5120 sectors holding one
FAT12 partition, filled with mtools.

Usage: build_volume.py OUTPUT VOLUME_PATH=SOURCE_FILE...

A VOLUME_PATH whose name fits 8.3 is stored as an upper-case 8.3 name only; longer
names keep their lower-case long name beside the generated short alias. Directories
are stored as upper-case 8.3 names.
"""

import os
import struct
import subprocess
import sys
import tempfile

SECTOR = 512
TOTAL_SECTORS = 5120
PART_START = 1
PART_SECTORS = TOTAL_SECTORS - PART_START
HEADS = 8
SECTORS_PER_TRACK = 16
SERIAL = "20240101"
OEM_NAME = b"MSDOS5.0"
BLANK_LABEL = b" " * 11
BOOT = PART_START * SECTOR  # byte offset of the FAT boot sector


def chs(lba):
    cyl, rest = divmod(lba, HEADS * SECTORS_PER_TRACK)
    head, sect = divmod(rest, SECTORS_PER_TRACK)
    sect += 1
    return bytes([head, ((cyl >> 2) & 0xC0) | sect, cyl & 0xFF])


def master_boot_record():
    mbr = bytearray(SECTOR)
    entry = (bytes([0x00]) + chs(PART_START) + bytes([0x01]) + chs(TOTAL_SECTORS - 1)
             + struct.pack("<II", PART_START, PART_SECTORS))
    mbr[446:446 + 16] = entry
    mbr[510:512] = b"\x55\xAA"
    return mbr


def fits_8_3(name):
    base, dot, ext = name.rpartition(".")
    if not dot:
        base, ext = name, ""
    allowed = set("abcdefghijklmnopqrstuvwxyz0123456789_-~!#$%&'()@^`{}")
    return (0 < len(base) <= 8 and len(ext) <= 3
            and all(c in allowed for c in (base + ext).lower()))


def mtools(image, *args):
    env = dict(os.environ, MTOOLS_SKIP_CHECK="1", MTOOLS_NO_VFAT="0")
    subprocess.run([args[0], "-i", f"{image}@@{BOOT}", *args[1:]], check=True, env=env)


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    output, entries = argv[0], argv[1:]
    files = []
    for entry in entries:
        dest, sep, src = entry.partition("=")
        if not sep or not dest or not src:
            print(f"bad entry '{entry}'", file=sys.stderr)
            return 2
        files.append((dest.strip("/"), src))

    tmp_dir = os.path.dirname(os.path.abspath(output)) or "."
    with tempfile.NamedTemporaryFile(dir=tmp_dir, delete=False, suffix=".img") as tmp:
        image = tmp.name
    try:
        with open(image, "r+b") as f:
            f.truncate(TOTAL_SECTORS * SECTOR)
            f.write(master_boot_record())

        mtools(image, "mformat", "-T", str(PART_SECTORS), "-h", str(HEADS),
               "-s", str(SECTORS_PER_TRACK), "-H", str(PART_START), "-c", "2", "-R", "1",
               "-r", "32", "-d", "2", "-L", "8", "-m", "0xf8", "-N", SERIAL, "::")

        # mformat writes its own OEM name and "NO NAME" label; the volume carries the
        # classic OEM name and a blank label.
        with open(image, "r+b") as f:
            f.seek(BOOT + 3)
            f.write(OEM_NAME)
            f.seek(BOOT + 43)
            f.write(BLANK_LABEL)

        made = set()
        for dest, src in sorted(files):
            parts = dest.split("/")
            for depth in range(1, len(parts)):
                d = "/".join(p.upper() for p in parts[:depth])
                if d not in made:
                    mtools(image, "mmd", "::" + d)
                    made.add(d)
            folder = "/".join(p.upper() for p in parts[:-1])
            name = parts[-1].upper() if fits_8_3(parts[-1]) else parts[-1]
            mtools(image, "mcopy", "-o", src, "::" + (folder + "/" if folder else "") + name)

        size = os.path.getsize(image)
        if size != TOTAL_SECTORS * SECTOR:
            print(f"volume grew to {size} bytes", file=sys.stderr)
            return 1
        os.replace(image, output)
        image = None
    finally:
        if image and os.path.exists(image):
            os.unlink(image)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
