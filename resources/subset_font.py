#!/usr/bin/env python3
"""The UI font recipe.

  subset_font.py chars OUTPUT SOURCE...
      Writes every non-ASCII character found in the UTF-8 SOURCE files to OUTPUT,
      leaving OUTPUT untouched when the set has not changed (so editing a source
      without new characters does not rebuild the font).
  subset_font.py subset FONT OUTPUT CHARS_FILE
      Cuts FONT (a .ttf, or the first face of a .ttc) down to printable ASCII,
      Latin-1, every character of GB2312 (the common simplified Chinese set, about
      6,800 characters) and the characters listed in CHARS_FILE, and saves it as a
      TrueType file.
"""

import os
import sys


def collect(output, sources):
    found = set()
    for path in sources:
        with open(path, encoding="utf-8", errors="replace") as f:
            found.update(c for c in f.read() if ord(c) > 0x7E and c != "\ufffd")
    text = "".join(sorted(found)) + "\n"
    if os.path.exists(output):
        with open(output, encoding="utf-8") as f:
            if f.read() == text:
                return 0
    with open(output, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


def gb2312_characters():
    chars = set()
    for hi in range(0xA1, 0xF8):
        for lo in range(0xA1, 0xFF):
            try:
                chars.add(ord(bytes([hi, lo]).decode("gb2312")))
            except UnicodeDecodeError:
                pass
    return chars


def subset(font_file, output, chars_file):
    from fontTools import subset as ft_subset
    from fontTools.ttLib import TTCollection, TTFont

    if font_file.lower().endswith(".ttc"):
        font = TTCollection(font_file).fonts[0]
    else:
        font = TTFont(font_file)

    wanted = set(range(0x20, 0x7F)) | set(range(0xA0, 0x100)) | gb2312_characters()
    with open(chars_file, encoding="utf-8") as f:
        wanted.update(ord(c) for c in f.read() if ord(c) >= 0x20)

    options = ft_subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.layout_features = ["*"]
    options.drop_tables += ["FFTM"]
    subsetter = ft_subset.Subsetter(options)
    subsetter.populate(unicodes=wanted)
    subsetter.subset(font)
    font.save(output)

    missing = sorted(c for c in wanted if c > 0x7F and c not in font.getBestCmap()
                     and chr(c).isprintable() and c >= 0x2E80)
    if missing:
        print("font lacks: " + "".join(chr(c) for c in missing[:40]), file=sys.stderr)
    return 0


def main(argv):
    if len(argv) >= 2 and argv[0] == "chars":
        return collect(argv[1], argv[2:])
    if len(argv) == 4 and argv[0] == "subset":
        return subset(argv[1], argv[2], argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
