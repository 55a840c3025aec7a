#!/usr/bin/env python3
"""Packs friso's UTF-8 dictionary into the form the program carries inside itself.

friso (https://github.com/lionsoul2014/friso) and its dictionary are Copyright
2010-2021 lionsoul <chenxin619315@gmail.com>, under the Apache License 2.0; the packed
dictionary keeps that notice in its first line, and the program folder carries the
licence (friso-LICENSE.txt).

The packed form is UTF-8 text with LF line ends. A line "#type N" starts the words of
friso lexicon type N (friso_lex_t); other lines longer than "#" that start with it are
notes; every other line is one word, optionally followed by a TAB and its frequency. Synonyms are left out (the
program does not append them), and so are the lexicons of Chinese names (name
recognition is off) and of English synonyms. Words longer than the segmenter's longest
match can never be matched and are left out too, as friso's own loader does.
"""
import argparse
import os
import sys

# friso_lex_t numbers and the lexicon files of friso.lex.ini that the program uses.
LEXICONS = [
    (0, ["lex-main.lex", "lex-admin.lex", "lex-chars.lex", "lex-cn-mz.lex",
         "lex-cn-place.lex", "lex-company.lex", "lex-festival.lex", "lex-flname.lex",
         "lex-food.lex", "lex-lang.lex", "lex-nation.lex", "lex-net.lex", "lex-org.lex",
         "lex-touris.lex"]),
    (1, ["lex-units.lex"]),
    (2, ["lex-ecmixed.lex"]),
    (3, ["lex-cemixed.lex"]),
    (9, ["lex-stopword.lex"]),
    (10, ["lex-en-pun.lex"]),
]
# The longest match in characters (friso.max_len); keep in step with word_segmenter.cpp.
MAX_LENGTH = 5
NOTICE = ("# friso dictionary, https://github.com/lionsoul2014/friso, Copyright 2010-2021 "
          "lionsoul <chenxin619315@gmail.com>, Apache License 2.0; packed from Debian's "
          "friso-dict by pack_friso_dictionary.py")


def pack_lexicon(kind, text, out):
    for line in text.split("\n"):
        line = line.rstrip("\r")
        # A lone "#" is a stop word; elsewhere it only separates, and longer lines
        # starting with it are notes.
        if not line or (line.startswith("#") and (len(line) > 1 or kind != 9)):
            continue
        if kind == 9:
            # Stop words are whole lines; long Chinese ones are left out as friso does.
            if ord(line[0]) > 127 and len(line.encode("utf-8")) > MAX_LENGTH * 3:
                continue
            out.append(line)
            continue
        parts = line.split("/")
        word = parts[0]
        if not word or "\t" in word:
            continue
        if kind not in (2, 3) and len(word.encode("utf-8")) > MAX_LENGTH * 3:
            continue
        frequency = parts[2].strip() if len(parts) > 2 else ""
        out.append(word + ("\t" + frequency if frequency.isdigit() else ""))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("dictionary", help="friso's UTF-8 dictionary folder")
    parser.add_argument("output")
    args = parser.parse_args()
    out = [NOTICE]
    for kind, files in LEXICONS:
        out.append("#type %d" % kind)
        for name in files:
            path = os.path.join(args.dictionary, name)
            try:
                with open(path, encoding="utf-8") as f:
                    text = f.read()
            except OSError as error:
                print("pack_friso_dictionary.py: %s" % error, file=sys.stderr)
                return 1
            pack_lexicon(kind, text, out)
    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
