#!/usr/bin/env python3
"""Transcribes the format catalogue and the two preset tables into C++.

The program's format catalogue and preset tables are kept as two Markdown data
tables: FORMATS.md holds the format titles as "- N: "title"" lines under
"CategoryId N" headings, the chooser map and the format descriptions as tables;
PRESETS.md holds the job parameters and option rows as tables keyed by
PresetKey and the option lists as "- R01, 28 items, ..." lines. This script
reads them and writes app/CatalogueData.cpp (in the tree's clang-format style),
which is committed; the build never runs it.

    gen_catalogue.py --formats FORMATS.md --presets PRESETS.md \
        --captions tools/catalogue/captions.tsv --out app/CatalogueData.cpp

Every count and cross-reference the program relies on is checked here, so a
bad transcription fails loudly instead of producing a short table.
"""

import argparse
import re
import subprocess
import sys

CATEGORY_RE = re.compile(r'^CategoryId (\d+)\b(.*)PresetKeys (\d+) to (\d+):\s*$')
TITLE_RE = re.compile(r'^- (\d+): "(.*)"\s*$')
MAP_RE = re.compile(r'^\| (\d+) \| "([^"]+)" \| (\d+) \| (\d+) \|\s*$')
CAPTION_RE = re.compile(r'^\| (\d+) \| "(.*)" \| "(.*)" \|\s*$')
JOB_RE = re.compile(r'^\| (\d+) \| (\.[a-z0-9]+) \|(.*)\|\s*$')
OPTROW_RE = re.compile(r'^\| (\d+) \| ((?:R|VB|FR|AB|SR|ZM)\d+\[\d+\].*)\|\s*$')
LIST_RE = re.compile(r'^- ((?:R|VB|FR|AB|SR|ZM)\d+), (\d+) items?, (\d+) presets?: (.*)\.\s*$')
CELL_RE = re.compile(r'^((?:R|VB|FR|AB|SR|ZM)\d+)\[(\d+)\]( off)?$')

# Labels of the categories that the main window's chooser does not offer; they
# are never shown, the program only needs something to call them by.
HIDDEN_LABELS = {
    6: "3GP视频", 7: "APPLE视频", 8: "XboX视频", 19: "Android手机",
    20: "VOB视频", 25: "平板电脑", 26: "智能电视", 27: "网络机顶盒",
}

ROLE_OF_PREFIX = {"R": "FrameSize", "VB": "VideoBitrate", "FR": "FrameRate",
                  "AB": "AudioBitrate", "SR": "SampleRate", "ZM": "Zoom"}
# Column order of an option row: the order in which the six combos are filled.
ROW_ROLES = ["FrameSize", "VideoBitrate", "FrameRate", "AudioBitrate", "SampleRate", "Zoom"]


def fail(msg):
    sys.exit("gen_catalogue: " + msg)


def cstr(s):
    out = ['"']
    for ch in s:
        if ch in '"\\':
            out.append('\\' + ch)
        elif ch == '\n':
            out.append('\\n')
        else:
            out.append(ch)
    out.append('"')
    return ''.join(out)


def read_lines(path):
    with open(path, encoding='utf-8') as f:
        return f.read().splitlines()


def parse_formats(lines):
    categories = {}
    current = None
    chooser = []
    captions = {}
    table = None
    for line in lines:
        if line.startswith("| "):
            if line.startswith("| Visible item | Caption | ImageIndex | CategoryId"):
                table = "map"
            elif line.startswith("| PresetKey | Title | Caption"):
                table = "captions"
        elif not line.startswith("|"):
            table = None
        m = CATEGORY_RE.match(line)
        if m:
            cid, rest, first, last = int(m.group(1)), m.group(2), int(m.group(3)), int(m.group(4))
            lm = re.search(r'"([^"]+)"', rest)
            label = lm.group(1) if lm and "settings dialog" not in rest else HIDDEN_LABELS.get(cid)
            if label is None:
                fail("no label for category %d" % cid)
            if first != (cid + 1) * 100:
                fail("category %d starts at %d" % (cid, first))
            current = {"id": cid, "label": label, "first": first, "last": last, "titles": []}
            categories[cid] = current
            continue
        m = TITLE_RE.match(line)
        if m and current is not None:
            idx = int(m.group(1))
            if idx != len(current["titles"]):
                fail("category %d: format %d out of order" % (current["id"], idx))
            current["titles"].append(m.group(2))
            continue
        if current is not None and line.strip() and not line.startswith("- ") and not line.startswith("CategoryId"):
            current = None
        m = MAP_RE.match(line) if table == "map" else None
        if m:
            chooser.append((int(m.group(1)), m.group(2), int(m.group(3)), int(m.group(4))))
            continue
        m = CAPTION_RE.match(line) if table == "captions" else None
        if m:
            captions[int(m.group(1))] = (m.group(2), m.group(3))
    return categories, chooser, captions


def parse_presets(lines):
    jobs = {}
    rows = {}
    lists = {}
    for line in lines:
        m = JOB_RE.match(line)
        if m:
            key = int(m.group(1))
            cells = [c.strip() for c in m.group(3).split('|')]
            if len(cells) != 14:
                fail("job row %d has %d cells" % (key, len(cells) + 1))
            if key in jobs:
                fail("job row %d twice" % key)
            jobs[key] = [m.group(2)] + cells
            continue
        m = OPTROW_RE.match(line)
        if m:
            key = int(m.group(1))
            cells = [c.strip() for c in m.group(2).split('|')]
            if len(cells) != 6:
                fail("option row %d has %d cells" % (key, len(cells)))
            parsed = []
            for c in cells:
                cm = CELL_RE.match(c)
                if not cm:
                    fail("option row %d: bad cell %r" % (key, c))
                parsed.append((cm.group(1), int(cm.group(2)), cm.group(3) is not None))
            if key in rows:
                fail("option row %d twice" % key)
            rows[key] = parsed
            continue
        m = LIST_RE.match(line)
        if m:
            lid, count, uses = m.group(1), int(m.group(2)), int(m.group(3))
            items = re.findall(r'"([^"]*)"', m.group(4))
            if len(items) != count:
                fail("list %s: %d items, %d stated" % (lid, len(items), count))
            lists[lid] = {"items": items, "uses": uses}
    return jobs, rows, lists


def ext_from_title(title):
    four = title[-5:-1]
    special = {"lac)": ".alac", "flac": ".flac", "aiff": ".aiff", "mpeg": ".mpeg", "*.rm": ".rm", "*.ra": ".ra"}
    return special.get(four, four)


def read_captions(path):
    out = {}
    for n, line in enumerate(read_lines(path), 1):
        if not line.strip() or line.startswith('#'):
            continue
        parts = line.split('\t')
        if len(parts) != 2:
            fail("%s:%d: expected key<TAB>caption" % (path, n))
        out[int(parts[0])] = parts[1]
    return out


def list_sort_key(lid):
    prefix = re.match(r'[A-Z]+', lid).group(0)
    order = ["R", "VB", "FR", "AB", "SR", "ZM"]
    return (order.index(prefix), int(lid[len(prefix):]))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--formats", required=True)
    ap.add_argument("--presets", required=True)
    ap.add_argument("--captions", required=True)
    ap.add_argument("--out", required=True)
    a = ap.parse_args()

    categories, chooser, known_captions = parse_formats(read_lines(a.formats))
    jobs, rows, lists = parse_presets(read_lines(a.presets))
    authored = read_captions(a.captions)

    # --- checks -------------------------------------------------------------
    if sorted(categories) != list(range(28)):
        fail("expected categories 0..27, got %s" % sorted(categories))
    total = 0
    for cid, c in categories.items():
        n = len(c["titles"])
        if c["last"] - c["first"] + 1 != n:
            fail("category %d: %d titles for keys %d..%d" % (cid, n, c["first"], c["last"]))
        total += n
    if total != 288:
        fail("expected 288 formats, got %d" % total)
    if [c[0] for c in chooser] != list(range(20)):
        fail("chooser map must list items 0..19")
    reachable_ids = [c[3] for c in chooser]
    if len(set(reachable_ids)) != 20:
        fail("chooser map leads twice to one category")
    reachable = sorted(categories[cid]["first"] + i
                       for cid in reachable_ids for i in range(len(categories[cid]["titles"])))
    if len(reachable) != 203 or sorted(jobs) != reachable or sorted(rows) != reachable:
        fail("job rows (%d) and option rows (%d) must cover exactly the %d reachable keys"
             % (len(jobs), len(rows), len(reachable)))
    if len(lists) != 58:
        fail("expected 58 option lists, got %d" % len(lists))
    uses = {lid: 0 for lid in lists}
    for key, cells in rows.items():
        for role, (lid, idx, off) in zip(ROW_ROLES, cells):
            if lid not in lists:
                fail("row %d names unknown list %s" % (key, lid))
            if ROLE_OF_PREFIX[re.match(r'[A-Z]+', lid).group(0)] != role:
                fail("row %d puts list %s in the %s combo" % (key, lid, role))
            if not 0 <= idx < len(lists[lid]["items"]):
                fail("row %d: default %d outside %s" % (key, idx, lid))
            uses[lid] += 1
    for lid, l in lists.items():
        if uses[lid] != l["uses"]:
            fail("list %s used by %d rows, %d stated" % (lid, uses[lid], l["uses"]))
    titles = {}
    for c in categories.values():
        for i, t in enumerate(c["titles"]):
            titles[c["first"] + i] = t
    for key, job in jobs.items():
        if ext_from_title(titles[key]) != job[0]:
            fail("key %d: title gives %s, row has %s" % (key, ext_from_title(titles[key]), job[0]))
    captions = {}
    for key, (title, caption) in known_captions.items():
        if titles.get(key) != title:
            fail("caption row %d names title %r" % (key, title))
        captions[key] = caption
    for key, caption in authored.items():
        if key in captions:
            fail("caption %d is already given; do not author it" % key)
        if key not in titles:
            fail("caption for unknown key %d" % key)
        captions[key] = caption
    missing = sorted(set(titles) - set(captions))
    if missing:
        fail("%d formats have no caption, first %s" % (len(missing), missing[:5]))

    # --- output -------------------------------------------------------------
    o = []
    w = o.append
    w("// Generated by tools/catalogue/gen_catalogue.py. Do not edit by hand;")
    w("// edit the generator or tools/catalogue/captions.tsv and run it again.")
    w('#include "app/CatalogueData.h"')
    w("")
    w("namespace catalogue {")
    w("")
    w("const FormatDef kFormats[kFormatCount] = {")
    for cid in range(28):
        c = categories[cid]
        for i, t in enumerate(c["titles"]):
            key = c["first"] + i
            w("    {%d, %s, %s}," % (key, cstr(t), cstr(captions[key])))
    w("};")
    w("")
    w("const CategoryDef kCategories[kCategoryCount] = {")
    first = 0
    for cid in range(28):
        c = categories[cid]
        w("    {%d, %s, %d, %d}," % (cid, cstr(c["label"]), first, len(c["titles"])))
        first += len(c["titles"])
    w("};")
    w("")
    w("const ChooserItem kCategoryChooser[kChooserItemCount] = {")
    for item, caption, image, cid in chooser:
        w("    {%s, %d, %d}," % (cstr(caption), image, cid))
    w("};")
    w("")
    lid_order = sorted(lists, key=list_sort_key)
    for n, lid in enumerate(lid_order):
        w("static const char* const kItems%s[] = {%s};" % (lid, ", ".join(cstr(s) for s in lists[lid]["items"])))
    w("")
    w("const OptionList kOptionLists[kOptionListCount] = {")
    for lid in lid_order:
        role = ROLE_OF_PREFIX[re.match(r'[A-Z]+', lid).group(0)]
        w("    {%s, ComboRole::%s, %d, kItems%s}," % (cstr(lid), role, len(lists[lid]["items"]), lid))
    w("};")
    w("")
    index_of = {lid: n for n, lid in enumerate(lid_order)}

    def num(s):
        return "-1" if s == "-" else str(int(s))

    def text(s):
        return '""' if s == "-" else cstr(s)

    w("// Key, Ext, FileExt, VCodec, Tag, Size, Rate, VBit, ACodec, Ch, ARate, ABit, Aspect, Target, Norm, NoVideo")
    w("const JobRow kJobRows[kPresetCount] = {")
    for key in sorted(jobs):
        j = jobs[key]
        ext, fileext, vcodec, tag, size, rate, vbit, acodec, ch, arate, abit, aspect, target, norm, novideo = j
        if novideo not in ("yes", "no"):
            fail("row %d: NoVideo %r" % (key, novideo))
        w("    {%d, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s}," % (
            key, cstr(ext), text(fileext), text(vcodec), text(tag), text(size), text(rate), num(vbit),
            text(acodec), text(ch), text(arate), num(abit), text(aspect), text(target), text(norm),
            "true" if novideo == "yes" else "false"))
    w("};")
    w("")
    w("// Key, then per combo in fill order {list, default index, disabled}")
    w("const OptionRow kOptionRows[kPresetCount] = {")
    for key in sorted(rows):
        cells = ", ".join("{%d, %d, %s}" % (index_of[lid], idx, "true" if off else "false")
                          for lid, idx, off in rows[key])
        w("    {%d, {%s}}," % (key, cells))
    w("};")
    w("")
    w("}  // namespace catalogue")
    with open(a.out, "w", encoding="utf-8") as f:
        f.write("\n".join(o) + "\n")
    subprocess.run(["clang-format", "-i", "--style=file", a.out], check=True)
    print("wrote %s: %d formats, %d presets, %d lists, %d authored captions"
          % (a.out, total, len(jobs), len(lists), len(authored)))


if __name__ == "__main__":
    main()
