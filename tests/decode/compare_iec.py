"""Our IEC 60870-5-104 and -101 decoders against tshark's over the corpora in
corpus/iec104.txt and corpus/iec101.txt: type identification, cause, P/N,
test, originator, common address, object addresses, the values and quality
bits tshark prints, N(S)/N(R), U-format functions, and for 101 the control
field bits, function code, link address, checksum and end character.

Prints "PROTOCOL: N frames compared, M agree" per protocol and exits 1 when a
frame disagrees, apart from the documented disagreements below.
Usage: compare_iec.py DECODE_DUMP
"""

import math
import os
import re
import sys

from tshark_dissect import dissect, our_decoding

HERE = os.path.dirname(os.path.abspath(__file__))

# Where tshark 4.0 is wrong. Each rule says why and recognises exactly the
# wrong value tshark prints, so a fault of ours is never waived by it.
# Types whose elements tshark 4.0 does not decode (it reads their object
# address as 3 octets whatever the size set).
UNDECODED_TYPES = {17, 18, 19, 20, 38, 39, 40, 102, 104, 106, 107, 113} | set(range(120, 128))


def bitstring_octets(key, theirs_, ours_, frame, sizes, fields):
    """BSI is sent least significant octet first, like every multi-octet
    element; tshark reads it most significant octet first."""
    swap = lambda v: int.from_bytes(v.to_bytes(4, "little"), "big")
    return key == "bitstring" and theirs_ == [swap(v) for v in ours_]


def address_of_three_octets(key, theirs_, ours_, frame, sizes, fields):
    """For the types whose elements it does not decode, tshark reads a
    3-octet object address even when the link uses 1 or 2 octets (for
    C_RD_NA_1 it then takes the checksum into the address)."""
    if key != "ioa" or not sizes or sizes[3] == 3:
        return False
    types = [int(f["value"].split()[0]) for f in fields if f["name"] == "Type identification"]
    offsets = [f["offset"] for f in fields if f["name"] == "Information object address"]
    return (bool(types) and types[0] in UNDECODED_TYPES and len(offsets) == len(theirs_) and
            theirs_ == [int.from_bytes(frame[o:o + 3], "little") for o in offsets])


def last_object_of_one_octet_address(key, theirs_, ours_, frame, sizes, fields):
    """With 1-octet object addresses tshark stops one object early when the
    last object (address and elements) is shorter than 3 octets, though the
    number of objects and the frame's length both count it."""
    return bool(sizes) and sizes[3] == 1 and len(ours_) >= 1 and theirs_ == ours_[:-1]


KNOWN_WRONG = [bitstring_octets, address_of_three_octets, last_object_of_one_octet_address]

U_FUNCTIONS = {"STARTDT act": 0x01, "STARTDT con": 0x02, "STOPDT act": 0x04,
               "STOPDT con": 0x08, "TESTFR act": 0x10, "TESTFR con": 0x20}

ASDU_FIELDS = [
    "typeid", "sq", "numix", "causetx", "nega", "test", "oa", "addr", "ioa",
    "float", "normval", "scalval", "bitstring",
    "siq.spi", "siq.bl", "siq.sb", "siq.nt", "siq.iv",
    "diq.dpi", "diq.bl", "diq.sb", "diq.nt", "diq.iv",
    "qds.ov", "qds.bl", "qds.sb", "qds.nt", "qds.iv", "vti.v", "vti.t",
    "bcr.count", "bcr.sq", "bcr.cy", "bcr.ca", "bcr.iv",
    "sco.on", "sco.qu", "sco.se", "dco.on", "dco.qu", "dco.se", "rco.up", "rco.qu", "rco.se",
    "qos.ql", "qos.se", "qoi", "rqt", "frz", "qrp", "qpm.kpa", "qpm.lpc", "qpm.pop",
    "coi_r", "coi_i",
    "cp56time.ms", "cp56time.min", "cp56time.hour", "cp56time.day", "cp56time.dow",
    "cp56time.month", "cp56time.year", "cp56time.iv", "cp56time.su",
    "cp24time.ms", "cp24time.min", "cp24time.iv",
]
APCI_FIELDS = ["apdulen", "type", "utype", "tx", "rx"]
LINK_FIELDS = ["header", "length", "ctrl_prm", "ctrl_fcb", "ctrl_fcv", "ctrl_dfc",
               "ctrl_func_pri_to_sec", "ctrl_func_sec_to_pri", "linkaddr", "checksum",
               "stopchar"]
FLOATS = {"float": 1e-6, "normval": 1e-4}


def read_corpus(path):
    """(sizes, comment, frame) per frame line; a '# sizes L,C,A,O' line sets
    the sizes for the lines after it."""
    frames, sizes, comment = [], None, ""
    with open(path) as f:
        for line in f:
            line = line.strip()
            m = re.match(r"#\s*sizes\s+(\d),(\d),(\d),(\d)$", line)
            if m:
                sizes = tuple(int(g) for g in m.groups())
            elif line.startswith("#"):
                comment = line[1:].strip()
            elif line:
                frames.append((sizes, comment, bytes.fromhex(line)))
    return frames


def first_int(text):
    return int(text.split()[0].rstrip(","), 0)


def words(text):
    return set(re.split(r"[ ,;]+", text))


def flag(text, name):
    return 1 if name in words(text) else 0


def quality(out, prefix, value, names):
    for n in names:
        out.setdefault(prefix + "." + n.lower(), []).append(flag(value, n))


def ours(fields, link):
    """Our fields of one frame as tshark's keys and comparable values."""
    out = {}

    def put(key, value):
        out.setdefault(key, []).append(value)

    for f in fields:
        name, value, depth = f["name"], f["value"], f["depth"]
        if f["verdict"] == "bad" and value.startswith("truncated"):
            continue
        if name == "Start" and link:
            put("header", int(value.split()[0], 16))
        elif name == "Length" and link:
            put("length", first_int(value))
        elif name == "Length":
            put("apdulen", first_int(value))
        elif name == "Format":
            put("type", {"I": 0, "S": 1, "U": 3}[value[0]])
        elif name == "Function":
            put("utype", U_FUNCTIONS[value])
        elif name == "N(S)":
            put("tx", int(value))
        elif name == "N(R)":
            put("rx", int(value))
        elif name == "PRM":
            put("ctrl_prm", first_int(value))
        elif name in ("FCB", "FCV", "DFC"):
            put("ctrl_" + name.lower(), first_int(value))
        elif name == "Function code":
            prm = out["ctrl_prm"][-1]
            put("ctrl_func_pri_to_sec" if prm else "ctrl_func_sec_to_pri", first_int(value))
        elif name == "Link address":
            put("linkaddr", first_int(value))
        elif name == "Checksum":
            put("checksum", int(value, 16))
        elif name == "End":
            put("stopchar", int(value, 16))
        elif name == "Type identification":
            put("typeid", first_int(value))
        elif name == "SQ" and depth == 2:
            put("sq", first_int(value))
        elif name == "Number of objects":
            put("numix", first_int(value))
        elif name == "Cause of transmission":
            put("causetx", first_int(value))
        elif name == "P/N":
            put("nega", first_int(value))
        elif name == "Test":
            put("test", first_int(value))
        elif name == "Originator address":
            put("oa", first_int(value))
        elif name == "Common address":
            put("addr", first_int(value))
        elif name.startswith("Information object ") and depth == 0:
            put("ioa", int(value.split()[1].rstrip(":")))
        elif name == "Short floating point":
            put("float", float(value))
        elif name == "Normalised value":
            put("normval", float(value.split()[0]))
        elif name == "Scaled value":
            put("scalval", int(value))
        elif name == "Bitstring":
            put("bitstring", int(value, 16))
        elif name == "SIQ":
            put("siq.spi", first_int(value))
            quality(out, "siq", value, ["BL", "SB", "NT", "IV"])
        elif name == "DIQ":
            put("diq.dpi", first_int(value))
            quality(out, "diq", value, ["BL", "SB", "NT", "IV"])
        elif name == "QDS":
            quality(out, "qds", value, ["OV", "BL", "SB", "NT", "IV"])
        elif name == "VTI":
            put("vti.v", first_int(value))
            put("vti.t", 1 if "transient" in value else 0)
        elif name == "Counter reading":
            put("bcr.count", int(value))
        elif name == "Counter sequence":
            put("bcr.sq", int(value.split()[1].rstrip(",")))
            quality(out, "bcr", value, ["CY", "CA", "IV"])
        elif name in ("SCO", "DCO", "RCO"):
            key = name.lower()
            put(key + (".up" if key == "rco" else ".on"), first_int(value))
            put(key + ".qu", int(re.search(r"QU (\d+)", value).group(1)))
            put(key + ".se", 1 if "select" in value else 0)
        elif name == "QOS":
            put("qos.ql", int(re.search(r"QL (\d+)", value).group(1)))
            put("qos.se", 1 if "select" in value else 0)
        elif name == "QOI":
            put("qoi", first_int(value))
        elif name == "QCC":
            put("rqt", int(re.search(r"RQT (\d+)", value).group(1)))
            put("frz", int(re.search(r"FRZ (\d+)", value).group(1)))
        elif name == "QRP":
            put("qrp", first_int(value))
        elif name == "QPM":
            put("qpm.kpa", int(re.search(r"KPA (\d+)", value).group(1)))
            put("qpm.lpc", 1 if "LPC changed" in value else 0)
            put("qpm.pop", 1 if "not in operation" in value else 0)
        elif name == "COI":
            put("coi_r", first_int(value))
            put("coi_i", 1 if "after change" in value else 0)
        elif name == "CP56Time2a":
            m = re.match(r"20(\d\d)-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)\.(\d\d\d)", value)
            y, mo, d, h, mi, s, ms = (int(g) for g in m.groups())
            days = ["", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]
            dow = next((k for k, n in enumerate(days) if n and n in words(value)), 0)
            for key, v in (("ms", s * 1000 + ms), ("min", mi), ("hour", h), ("day", d),
                           ("dow", dow), ("month", mo), ("year", y),
                           ("iv", flag(value, "IV")), ("su", flag(value, "SU"))):
                put("cp56time." + key, v)
        elif name == "CP24Time2a":
            m = re.match(r"minute (\d\d), (\d+)\.(\d\d\d) s", value)
            put("cp24time.min", int(m.group(1)))
            put("cp24time.ms", int(m.group(2)) * 1000 + int(m.group(3)))
            put("cp24time.iv", flag(value, "IV"))
    return out


def theirs(row):
    out = {}
    for key, values in row.items():
        short = key.split(".", 1)[1]
        if not values:
            continue
        conv = []
        for v in values:
            if short in FLOATS:
                conv.append(float(v))
            elif v in ("True", "False"):
                conv.append(1 if v == "True" else 0)
            else:
                conv.append(int(v, 0))
        out[short] = conv
    return out


def same(key, a, b):
    if len(a) != len(b):
        return False
    if key in FLOATS:
        return all(math.isclose(x, y, rel_tol=FLOATS[key], abs_tol=FLOATS[key])
                   for x, y in zip(a, b))
    return a == b


def compare(label, frames, decode_dump, protocol, tshark_args, field_names, sizes=None):
    """Returns (compared, agreed, known, values, values disagreeing, of them known tshark faults) and
    prints each disagreement."""
    raw = [f for _, _, f in frames]
    rows = dissect(raw, field_names, **tshark_args)
    mine = our_decoding(decode_dump, raw, protocol, sizes)
    agreed = known = values = wrong = waived_values = 0
    for (_, comment, frame), row, fields in zip(frames, rows, mine):
        t, o = theirs(row), ours(fields, protocol == "iec101")
        if "not an ASDU" in comment:  # tshark reads any user data as an ASDU
            t = {k: v for k, v in t.items() if k in LINK_FIELDS}
        bad = [k for k in t if not same(k, t[k], o.get(k, []))]
        waived = [k for k in bad
                  if any(rule(k, t[k], o.get(k, []), frame, sizes, fields) for rule in KNOWN_WRONG)]
        values += len(t)
        wrong += len(bad)
        waived_values += len(waived)
        if not bad:
            agreed += 1
        elif len(waived) == len(bad):
            known += 1
        else:
            print("%s disagree: %s [%s]" % (label, comment, frame.hex(" ")))
            for k in bad:
                print("   %s: tshark %s, ours %s" % (k, t[k], o.get(k)))
    return len(frames), agreed, known, values, wrong, waived_values


def summary(label, n, values, wrong, waived):
    print("%s summary: %d frames, %d values compared, %d agree, %d disagree (%d of them known tshark faults)"
          % (label, n, values, values - wrong, wrong, waived))


def main():
    decode_dump = sys.argv[1]
    ok = True
    asdu = ["iec60870_asdu." + k for k in ASDU_FIELDS]

    frames = read_corpus(os.path.join(HERE, "corpus", "iec104.txt"))
    n, m, k, v, w, kw = compare("IEC 104", frames, decode_dump, "iec104",
                                dict(transport="tcp", port=2404, decode_as="iec60870_104"),
                                ["iec60870_104." + f for f in APCI_FIELDS] + asdu)
    print("IEC 104: %d frames compared, %d agree%s" % (n, m, ", %d known tshark faults" % k if k else ""))
    summary("IEC 104", n, v, w, kw)
    ok &= m + k == n

    all101 = read_corpus(os.path.join(HERE, "corpus", "iec101.txt"))
    total = [0, 0, 0, 0, 0, 0]
    for sizes in sorted({s for s, _, _ in all101}):
        frames = [f for f in all101 if f[0] == sizes]
        la, cot, ca, ioa = sizes
        prefs = ["iec60870_101.linkaddr_len:%d" % la, "iec60870_101.cot_len:%d" % cot,
                 "iec60870_101.asdu_addr_len:%d" % ca, "iec60870_101.asdu_ioa_len:%d" % ioa]
        res = compare("IEC 101 %s" % (sizes,), frames, decode_dump, "iec101",
                      dict(transport="tcp", port=2405, decode_as="iec60870_101", prefs=prefs),
                      ["iec60870_101." + f for f in LINK_FIELDS] + asdu, sizes)
        total = [a + b for a, b in zip(total, res)]
    n, m, k, v, w, kw = total
    print("IEC 101: %d frames compared, %d agree%s" % (n, m, ", %d known tshark faults" % k if k else ""))
    summary("IEC 101", n, v, w, kw)
    ok &= m + k == n
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
