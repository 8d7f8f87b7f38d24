#!/usr/bin/env python3
"""Brings localization/Localization.txt in line with the program's own English.

    scripts/loc_sync.py GENERATED [TSV ...]

GENERATED is the file the program writes for its English group, e.g.
    NORVALE_WRITE_ENGLISH_GROUP=/tmp/en.txt build/native/tests/localization/... \
        --gtest_filter='ShippedFileTest.TheEnglish*'
Each TSV line is KEY<TAB>de<TAB>es<TAB>fr<TAB>it<TAB>ru<TAB>ja (the languages in
the order of the file's groups after English; blank lines and lines starting
with # are skipped). The English group becomes GENERATED's; every other group
gets the English keys in the English order, its text from a TSV where one
names the key, else the text it had. A key the English group no longer has is
kept at the end of its group, so nothing translated is lost while windows are
being changed; a key no group can translate is reported and nothing is written.
"""
import fcntl
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FILE = os.path.join(ROOT, "localization", "Localization.txt")
ITEM = re.compile(r"^\t\t<([A-Z0-9_]+)>(.*)</\1>$")


def groups(text):
    """[(lang, head_lines, items{key: text}, order[keys], tail_lines)] and the file head."""
    lines = text.split("\r\n")
    head, out, cur = [], [], None
    for line in lines:
        m = re.match(r'^<LANGUAGE_GROUP xml:lang="([^"]+)">$', line)
        if m:
            cur = [m.group(1), [line], {}, [], [], "head"]
            out.append(cur)
            continue
        if cur is None:
            if not out:
                head.append(line)
            continue
        if cur[5] == "head":
            cur[1].append(line)
            if line == "\t<TRANSLATION_ITEMS>":
                cur[5] = "items"
        elif cur[5] == "items":
            if line == "\t</TRANSLATION_ITEMS>":
                cur[4].append(line)
                cur[5] = "tail"
                continue
            im = ITEM.match(line)
            if not im:
                sys.exit("unreadable item line in group %s: %r" % (cur[0], line))
            cur[2][im.group(1)] = im.group(2)
            cur[3].append(im.group(1))
        else:
            cur[4].append(line)
            if line == "</LANGUAGE_GROUP>":
                cur = None
    return head, out


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    generated = open(sys.argv[1], encoding="utf-8", newline="").read()
    _, gen_groups = groups(generated)
    if not gen_groups or gen_groups[0][0] != "en":
        sys.exit("%s holds no English group" % sys.argv[1])
    en = gen_groups[0]
    with open(FILE, "r+", encoding="utf-8", newline="") as f:
        fcntl.flock(f, fcntl.LOCK_EX)
        head, file_groups = groups(f.read())
        others = [g for g in file_groups if g[0] != "en"]
        given = {g[0]: {} for g in others}
        for tsv in sys.argv[2:]:
            for n, line in enumerate(open(tsv, encoding="utf-8"), 1):
                line = line.rstrip("\r\n")
                if not line or line.startswith("#"):
                    continue
                cells = line.split("\t")
                if len(cells) != len(others) + 1:
                    sys.exit("%s:%d: %d cells, want %d" % (tsv, n, len(cells), len(others) + 1))
                for g, cell in zip(others, cells[1:]):
                    given[g[0]][cells[0]] = cell
        missing = []
        parts = list(head)
        parts += en[1] + ["\t\t<%s>%s</%s>" % (k, en[2][k], k) for k in en[3]] + en[4]
        for g in others:
            lang, ghead, items, order, tail, _ = g
            items = dict(items)
            items.update(given[lang])
            lines = []
            for k in en[3]:
                if k in items:
                    lines.append("\t\t<%s>%s</%s>" % (k, items[k], k))
                elif en[2][k] == "":
                    lines.append("\t\t<%s></%s>" % (k, k))
                else:
                    missing.append("%s %s" % (lang, k))
            extra = [k for k in order if k not in en[2]] + \
                    [k for k in given[lang] if k not in en[2] and k not in order]
            lines += ["\t\t<%s>%s</%s>" % (k, items[k], k) for k in extra]
            parts += ghead + lines + tail
        if missing:
            sys.exit("no translation for:\n  " + "\n  ".join(missing))
        parts.append("</XML_DIZ_INFO>")
        text = "\r\n".join(parts) + "\r\n"
        f.seek(0)
        f.write(text)
        f.truncate()
    print("Localization.txt: %d English items, %d other groups" % (len(en[3]), len(others)))


if __name__ == "__main__":
    main()
