#!/usr/bin/env python3
"""Writes the chip databases in data/ from the device fact tables.

Usage: python3 tools/gen_chip_db.py [TABLE_DIR] [--out DIR]

TABLE_DIR holds pic-devices.csv, pic-config-options.csv and serial-eeproms.csv
(default: ../shared/data beside the repository). The output (default: the
repository's data/ folder) is the same bytes for the same tables, so the
committed files can be checked by running the tool and diffing. The report of
left-out chips and adjusted data goes to standard output.

docs/chip-database.md explains the rules; docs/board-bytes.md the set-up bytes.
"""

import argparse
import csv
import re
import sys
from pathlib import Path

sys.dont_write_bytecode = True  # keep tools/ free of __pycache__
from chip_db_text import caption_for, option_texts  # noqa: E402

REPO = Path(__file__).resolve().parent.parent
MODELS = (1, 2, 3, 4)
EEPROM_MODELS = (2, 3)  # models 1 and 4 have no serial-EEPROM support
MAX_LINES = 46  # LIST1 ... LIST46
MAX_OPTIONS = 31  # option slots of one fuse-editor row

FAMILY_DEFAULTS = {
    "chip12bit": "10F200",
    "chip14bit": "12F629",
    "chip16bit": "18F452",
    "eeprom": "24xx01",
    "chip": "16F877A",
}

# Definition file index per kind of chip (N-chip0.ini ... N-chip5.ini).
FILE_12BIT, FILE_MIDRANGE, FILE_ENHANCED, FILE_PIC18, FILE_PIC18_LARGE, FILE_EEPROM = range(6)
FILE_TITLES = (
    "PIC 12-bit core (10F, 12F5xx, 16F5xx)",
    "PIC 14-bit mid-range core",
    "PIC 14-bit enhanced mid-range core (12F1xxx, 16F1xxx)",
    "PIC18 with up to 44 pins",
    "PIC18 with 64 or more pins",
    "serial EEPROMs (I2C, Microwire, SPI)",
)

# Microchip programming documents (DS numbers, "algo" column) of mid-range parts that write
# program memory through a multi-word latch (CoreType 03); the others write word by word (02).
LATCH_ALGORITHMS = {
    "DS39025",  # 16F87x
    "DS39589",  # 16F87xA
    "DS39603",  # 16F818/819
    "DS39607",  # 16F87/88
    "DS30324",  # 16F7x
    "DS39588",  # 16F72
    "DS30492",  # 16F737/747/767/777
    "DS41287",  # 16F88x
}

# Parts whose DIP pinout does not put VPP, VDD, VSS, PGC and PGD where the socket position
# of their pin count expects them, or that have no DIP package at all.
NOT_IN_SOCKET = {
    "16F57": "16C5x-style 28-pin pinout (MCLR on pin 28, VDD on pin 2)",
    "16F59": "16C5x-style 40-pin pinout",
    "16F639": "20-pin SSOP only, no DIP package",
}

SOCKET_PINS = (8, 14, 18, 20, 28, 40)

# Write-cycle time per CoreType in units of 0.5 ms: the longest write of each kind
# (configuration words on PIC18 and enhanced parts) with margin.
PROGRAM_DELAY = {"01": "04", "02": "0A", "03": "10", "04": "0A", "05": "0A",
                 "06": "0A", "07": "0C", "08": "0A"}

EEPROM_BUSES = {"I2C": ("06", 816), "MICROWIRE": ("07", 821), "SPI": ("08", 836)}


class Report:
    def __init__(self):
        self.left_out = []
        self.notes = {}

    def leave_out(self, name, reason):
        self.left_out.append((name, reason))

    def note(self, topic, name):
        self.notes.setdefault(topic, []).append(name)

    def print(self, out):
        out.write("Left out (%d):\n" % len(self.left_out))
        for name, reason in sorted(self.left_out, key=lambda x: natural_key(x[0])):
            out.write("  %-12s %s\n" % (name, reason))
        for topic in sorted(self.notes):
            names = self.notes[topic]
            out.write("%s (%d):\n" % (topic, len(names)))
            for i in range(0, len(names), 8):
                out.write("  " + " ".join(names[i:i + 8]) + "\n")


def natural_key(name):
    return [(0, int(t), "") if t.isdigit() else (1, 0, t)
            for t in re.findall(r"\d+|\D+", name)]


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def is_j_series(dev):
    return dev["algo"].endswith("J-series")


def incomplete_reason(dev):
    if not dev["config_blank"]:
        return "no configuration default (no processor database entry)"
    if not dev["pins"]:
        return "pin count unknown"
    if dev["osccal"] == "":
        return "OSCCAL word not confirmed"
    if not dev["devid"] and dev["core"] != "12" and dev["name"] not in ("16F83", "16F84"):
        return "device ID unknown"
    return None


def left_out_reason(dev):
    if is_j_series(dev):
        return "PIC18 J-series: configuration words stored in program flash"
    if dev["config_words"] not in ("1", "2", "7"):
        return "%s configuration words (1, 2 or 7 supported)" % dev["config_words"]
    return incomplete_reason(dev)


def chip_id(dev):
    # The check ANDs the ID as sent (low byte first) with E03F, which clears the five
    # revision bits and the two top bits of the high byte: store what a real chip gives.
    if not dev["devid"]:
        return "FFFF"
    devid = int(dev["devid"], 16)
    swapped = ((devid & 0xFF) << 8) | (devid >> 8)
    return "%04X" % (swapped & 0xE03F)


def core_type(dev):
    if dev["core"] == "12":
        return "01"
    if dev["core"] == "14e":
        return "04"
    if dev["core"] == "16":
        return "05"
    return "03" if dev["algo"] in LATCH_ALGORITHMS else "02"


def socket_of(dev, report):
    """Returns (ICSPonly, SocketImage)."""
    pins = int(dev["pins"])
    image = pins if pins in SOCKET_PINS else 40
    if dev["name"].startswith("10F") and pins == 8:
        image = 811  # 10F DIP-8: VDD on pin 2, VPP on pin 8
    if dev["name"] in NOT_IN_SOCKET:
        report.note("ICSP only: pinout or package (see docs)", dev["name"])
        return True, image
    if dev["dip"] == "N" or pins > 40:
        return True, image
    if dev["dip"] == "":
        report.note("DIP package assumed (dip column empty, <= 40 pins)", dev["name"])
    return False, image


def blank_words(dev, options, width, report):
    """The AND mask of each configuration word: the table's default value plus every bit
    that an option of that word can clear. On PIC18 the default leaves some implemented
    bits 0 (FCMEN, IESO, XINST ...); masking a word taken from a file with the default
    would silently clear them, and the fuse editor could never set them."""
    words = [int(w, 16) for w in dev["config_blank"].split()]
    for row in options:
        n = int(row["word"]) - 1
        words[n] |= ~int(row["mask"], 16) & width
    if words != [int(w, 16) for w in dev["config_blank"].split()]:
        report.note("FUSEblank widened to every implemented bit (default value has 0s)",
                    dev["name"])
    return words


def fuse_fields(name, options, blanks, report):
    """Groups the option rows of one chip into fields, in table order, each with
    (word, field, [(text, mask)]). Masks get every bit outside the word's blank value set,
    so an option never clears a bit that the blank value does not hold."""
    fields = {}
    for row in options:
        fields.setdefault((int(row["word"]), row["field"]), []).append(row)
    result = []
    for (word, field), rows in fields.items():
        blank = blanks[word - 1]
        seen, opts = set(), []
        for row in rows:
            mask = (int(row["mask"], 16) | ~blank) & 0xFFFF
            if mask not in seen:
                seen.add(mask)
                opts.append((row, mask))
        opts = drop_erased_twins(name, field, opts, report)
        if all(m == 0xFFFF for _, m in opts):
            report.note("Settings without effect on the blank value, left out",
                        "%s:%s" % (name, field))
            continue
        if len(opts) > MAX_OPTIONS:
            report.note("Settings cut to 31 options", "%s:%s" % (name, field))
            opts = opts[:MAX_OPTIONS]
        texts = option_texts(field, [r for r, _ in opts])
        result.append((word, field, list(zip(texts, [m for _, m in opts]))))
    result.sort(key=lambda f: f[0])  # stable: table order within a word
    return dedupe_captions(result)


def drop_erased_twins(name, field, opts, report):
    """An option described exactly as the field's erased setting (the one that clears no
    bit) is that setting again on this chip, not one of its own: 16F627's code protection
    "50" would cover 0400h-07FFh, which the 1K-word part does not have. A two-way switch
    whose positions the table describes alike has a wrong description instead (18F2331
    EBTRB): both stay, and the report names it."""
    erased = [row["comment"].strip().lower() for row, mask in opts if mask == 0xFFFF]
    twins = [(row, mask) for row, mask in opts
             if mask != 0xFFFF and erased and erased[0]
             and row["comment"].strip().lower() == erased[0]]
    if not twins:
        return opts
    if len(opts) == 2:
        report.note("Switches whose two positions the table describes alike, both kept",
                    "%s:%s" % (name, field))
        return opts
    for row, _ in twins:
        report.note("Options the chip does not have (described as the erased setting), left out",
                    "%s:%s=%s" % (name, field, row["option"]))
    return [o for o in opts if o not in twins]


def dedupe_captions(fields):
    counts = {}
    for _, field, _ in fields:
        c = caption_for(field)
        counts[c] = counts.get(c, 0) + 1
    out = []
    for word, field, opts in fields:
        c = caption_for(field)
        out.append((word, c if counts[c] == 1 else "%s %s" % (c, field), field, opts))
    return out


def drop_rank(field):
    """Lower ranks are given up first when a chip has more settings than rows."""
    if re.match(r"^EB[TR][TR]", field):
        return 0  # table-read protection per block
    if re.match(r"^WRT[0-9BCD]$", field):
        return 1  # write protection per block
    return 2


def placeholder_words(fields, pic18):
    """Words that need a marker line so that the fuse editor's grouping stays right:
    on PIC18 each of the words 2, 4, 5 and 6 ends the group before it, so an empty one
    with settings in a later word would hand those settings to the wrong word."""
    if not pic18 or not fields:
        return []
    used = {f[0] for f in fields}
    last = max(used)
    return [w for w in range(2, last) if w not in used and w != 3]


def fit_lines(name, fields, pic18, report):
    fields = list(fields)
    while len(fields) + len(placeholder_words(fields, pic18)) > MAX_LINES:
        victim = min(range(len(fields)),
                     key=lambda i: (drop_rank(fields[i][2]), -fields[i][0], -i))
        report.note("Settings left out of the fuse editor (more than 46 rows)",
                    "%s:%s" % (name, fields[victim][2]))
        del fields[victim]
    for w in placeholder_words(fields, pic18):
        report.note("Marker rows for words without settings", "%s:%d" % (name, w))
        fields.append((w, "Word %d" % w, "", [("-", 0xFFFF)]))
    fields.sort(key=lambda f: f[0])
    return fields


def fuse_line(word, caption, opts):
    prefix = "" if word == 1 else "FUSE%d" % word
    body = "".join(',"%s"=%04X' % (text, mask) for text, mask in opts)
    return '%s"%s"%s' % (prefix, caption, body)


def pic_params(dev, options, report):
    name, core = dev["name"], dev["core"]
    width = {"12": 0x0FFF, "14": 0x3FFF, "14e": 0x3FFF, "16": 0xFFFF}[core]
    blanks = blank_words(dev, options, width, report)
    icsp, image = socket_of(dev, report)
    ctype = core_type(dev)
    fields = fuse_fields(name, options, blanks, report)
    lines = [fuse_line(w, c, o) for w, c, _, o in fit_lines(name, fields, core == "16", report)]
    flags = 0
    if dev["osccal"] == "Y":
        flags |= 0x01
    if dev["bandgap"] == "Y":
        flags |= 0x02
    if dev["vpp_first"] == "Y":
        flags |= 0x04
    elif dev["vpp_first"] == "":
        report.note("VPP-first entry not confirmed, flag left clear", name)
    if any(f[2] == "LVP" for f in fields):
        flags |= 0x08
    return {
        "EraseMode": "05",
        "FlashChip": 1,
        "PowerSequence": "01" if icsp else "02",
        "ProgramDelay": PROGRAM_DELAY[ctype],
        "ProgramTries": "01",
        "OverProgram": "00",
        "CoreType": ctype,
        "ROMsize": int(dev["rom_words"]),
        "EEPROMsize": int(dev["eeprom_bytes"]),
        "SocketImage": image,
        "CALword": int(dev["osccal"] == "Y"),
        "BandGap": int(dev["bandgap"] == "Y"),
        "ICSPonly": int(icsp),
        "ChipID": chip_id(dev),
        "CHIPbit": {"12": 1, "14": 2, "14e": 2, "16": 3}[core],
        "ROMblank": {"12": "0FFF", "14": "3FFF", "14e": "3FFF", "16": "FFFF"}[core],
        "FUSEOR": 0,
        "ProgramFlags": "%02X" % flags,
        "FUSEblank": " ".join("%04X" % b for b in blanks),
        "LIST": lines,
    }


def eeprom_name(row):
    m = re.match(r"^(24C|93C|25LC)(\d+)(?:-(8|16))?$", row["name"])
    if not m:
        raise ValueError("unexpected serial EEPROM name %r" % row["name"])
    series, number, org = m.groups()
    base = {"24C": "24xx", "93C": "93xx", "25LC": "25xx"}[series] + number
    return base + ("(%sbit)" % org if org else "")


def eeprom_params(row):
    ctype, image = EEPROM_BUSES[row["bus"]]
    x16 = row["organisation"] == "16"
    return {
        "EraseMode": "00",
        "FlashChip": 0,
        "PowerSequence": "10",
        "ProgramDelay": PROGRAM_DELAY[ctype],
        "ProgramTries": "01",
        "OverProgram": "00",
        "CoreType": ctype,
        "ROMsize": int(row["size_units"]),
        "EEPROMsize": 0,
        "SocketImage": image,
        "CALword": 0,
        "BandGap": 0,
        "ICSPonly": 0,
        "ChipID": "FFFF",
        "CHIPbit": 5 if x16 else 4,
        "ROMblank": "FFFF" if x16 else "FF",
        "FUSEOR": 0,
        "ProgramFlags": "10" if x16 else "00",
        "FUSEblank": "FFFF",
        "LIST": [],
    }


KEY_ORDER = ("EraseMode", "FlashChip", "PowerSequence", "ProgramDelay", "ProgramTries",
             "OverProgram", "CoreType", "ROMsize", "EEPROMsize", "SocketImage", "CALword",
             "BandGap", "ICSPonly", "ChipID", "CHIPbit", "ROMblank", "FUSEOR", "ProgramFlags",
             "FUSEblank")


def section_text(name, params):
    lines = ["[%s]" % name]
    lines += ["%s=%s" % (k, params[k]) for k in KEY_ORDER]
    lines += ["LIST%d=%s" % (i + 1, text) for i, text in enumerate(params["LIST"])]
    return lines


def check_chip(name, p):
    assert "=" not in name and "[" not in name and "]" not in name, name
    assert p["ROMsize"] > 0 and p["ROMsize"] % 8 == 0, name
    assert p["EEPROMsize"] % 8 == 0, name
    assert len(p["FUSEblank"]) in (4, 9, 34), name
    assert len(p["LIST"]) <= MAX_LINES, name
    assert re.fullmatch(r"[0-9A-F]{4}", p["ChipID"]), name
    blanks = [int(w, 16) for w in p["FUSEblank"].split()]
    for line in p["LIST"]:
        assert line == line.strip() and not (line.startswith('"') and line.endswith('"')), name
        word = int(line[4]) if line.startswith("FUSE") else 1
        masks = [int(m, 16) for m in re.findall(r'"=([0-9A-F]{4})', line)]
        assert 0 < len(masks) <= MAX_OPTIONS, name
        assert all(~m & ~blanks[word - 1] & 0xFFFF == 0 for m in masks), (name, line)


class Chip:
    def __init__(self, name, family, file_index, params, order):
        self.name, self.family, self.file_index = name, family, file_index
        self.params, self.order = params, order


def build_pics(table_dir, report):
    devices = read_csv(table_dir / "pic-devices.csv")
    options = {}
    for row in read_csv(table_dir / "pic-config-options.csv"):
        options.setdefault(row["name"], []).append(row)
    chips = []
    for dev in devices:
        reason = left_out_reason(dev)
        if reason:
            report.leave_out(dev["name"], reason)
            continue
        params = pic_params(dev, options.get(dev["name"], []), report)
        family = {"12": "chip12bit", "14": "chip14bit", "14e": "chip14bit",
                  "16": "chip16bit"}[dev["core"]]
        index = {"01": FILE_12BIT, "02": FILE_MIDRANGE, "03": FILE_MIDRANGE,
                 "04": FILE_ENHANCED}.get(params["CoreType"])
        if index is None:
            index = FILE_PIC18 if int(dev["pins"]) <= 44 else FILE_PIC18_LARGE
        chips.append(Chip(dev["name"], family, index, params, natural_key(dev["name"])))
    return chips


def build_eeproms(table_dir):
    bus_order = {"I2C": 0, "MICROWIRE": 1, "SPI": 2}
    chips = []
    for row in read_csv(table_dir / "serial-eeproms.csv"):
        bytes_ = int(row["size_units"]) * int(row["organisation"]) // 8
        order = (bus_order[row["bus"]], bytes_, int(row["organisation"]))
        chips.append(Chip(eeprom_name(row), "eeprom", FILE_EEPROM, eeprom_params(row), order))
    return chips


def write_ini(path, comment, sections):
    lines = ["; %s" % c for c in comment] + [""]
    for s in sections:
        lines += s + [""]
    data = "\r\n".join(lines).encode("ascii")
    path.write_bytes(data)


def write_model(out, model, pics, eeproms):
    chips = pics + (eeproms if model in EEPROM_MODELS else [])
    names = [c.name.upper() for c in chips]
    assert len(names) == len(set(names)), "duplicate chip names"
    head = "Generated by tools/gen_chip_db.py; do not edit."
    pics = sorted(pics, key=lambda c: c.order)
    eeproms = sorted(eeproms, key=lambda c: c.order)
    families = {
        "chip": pics + (eeproms if model in EEPROM_MODELS else []),
        "chip12bit": [c for c in pics if c.family == "chip12bit"],
        "chip14bit": [c for c in pics if c.family == "chip14bit"],
        "chip16bit": [c for c in pics if c.family == "chip16bit"],
    }
    if model in EEPROM_MODELS:
        families["eeprom"] = eeproms
    for family, members in families.items():
        assert FAMILY_DEFAULTS[family] in [c.name for c in members], family
        write_ini(out / ("%d-%s.ini" % (model, family)),
                  [head, "Chip list of programmer model %d; only the section names count."
                   % model], [["[%s]" % c.name] for c in members])
    for index, title in enumerate(FILE_TITLES):
        members = [c for c in families["chip"] if c.file_index == index]
        comment = [head, "Chip definitions of programmer model %d: %s." % (model, title)]
        if index == FILE_EEPROM and model not in EEPROM_MODELS:
            comment.append("This programmer model has no serial EEPROM support.")
        write_ini(out / ("%d-chip%d.ini" % (model, index)), comment,
                  [section_text(c.name, c.params) for c in members])


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tables", nargs="?", default=str(REPO.parent / "shared" / "data"))
    parser.add_argument("--out", default=str(REPO / "data"))
    args = parser.parse_args(argv)
    table_dir, out = Path(args.tables), Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    report = Report()
    pics = build_pics(table_dir, report)
    eeproms = build_eeproms(table_dir)
    for c in pics + eeproms:
        check_chip(c.name, c.params)
    for model in MODELS:
        write_model(out, model, pics, eeproms)
    sys.stdout.write("Chips written: %d PIC, %d serial EEPROM (models %s only)\n"
                     % (len(pics), len(eeproms), ", ".join(map(str, EEPROM_MODELS))))
    report.print(sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
