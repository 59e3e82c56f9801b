#!/usr/bin/python3
"""subset_font.py SOURCE.ttf CHARACTERS.txt FAMILY OUTPUT.ttf

Keeps of a font only the glyphs of the characters listed (UTF-8 text), with their
outlines, hinting and metrics untouched, and names the result FAMILY: the page of the
browser build carries the four Japanese faces in 1 % of their size. The faces' licence
requires a derived font to carry a name and file name of its own.
"""
import sys

from fontTools import subset


def renamed(font, family):
    postscript = family.replace(" ", "")
    new_names = {1: family, 3: family + " Regular", 4: family, 6: postscript}
    for record in font["name"].names:
        if record.nameID in new_names:
            record.string = new_names[record.nameID]
    font["name"].names = [r for r in font["name"].names if r.nameID not in (16, 17)]


def main(argv):
    if len(argv) != 5:
        sys.exit("usage: subset_font.py SOURCE.ttf CHARACTERS.txt FAMILY OUTPUT.ttf")
    source, characters, family, output = argv[1:]
    options = subset.Options()
    options.hinting = True
    options.layout_features = ["*"]
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.legacy_kern = True
    try:
        with open(characters, encoding="utf-8") as f:
            text = f.read()
        font = subset.load_font(source, options)
    except OSError as e:
        sys.exit(f"subset_font.py: {e}")
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=text)
    subsetter.subset(font)
    renamed(font, family)
    subset.save_font(font, output, options)


if __name__ == "__main__":
    main(sys.argv)
