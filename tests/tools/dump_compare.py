#!/usr/bin/python3
"""Compares the output of `dbf dump --deleted --codepage latin1` with what another reader
found in the same table.

  dump_compare.py fixture EXPECTED.json DUMP.jsonl
      EXPECTED is a fixture's *.expected.json (the Debian sets: records with "values"
      and per-field "raw"; the Harbour sets: records with the fields inline and "raw" hex).
  dump_compare.py check READER TABLE.dbf DUMP.jsonl [--encoding CODEC] [--pydbf-type T]
      runs the peers' checker with READER (dbfread, pydbf, raw) on TABLE and compares.

Text in the dump is latin-1 (one code point per byte); the expected text is turned into
the same form with the set's encoding. Prints "compared R records, V values" and exits 0,
or prints every difference and exits 1.
"""
import binascii
import json
import math
import os
import subprocess
import sys

CHECKER = os.path.join(os.environ.get("XB_SHARED_DIR", "/work/shared"), "peers", "dbfcheck.py")


def as_latin1(text, encoding):
    if encoding in (None, "latin-1", "latin1", "iso-8859-1"):
        return text
    return text.encode(encoding).decode("latin-1")


def number(v):
    if v is None:
        return None
    return float(v)


def same_number(a, b):
    if a is None or b is None:
        return a is None and b is None
    return math.isclose(a, b, rel_tol=1e-12, abs_tol=1e-9)


class Comparer:
    def __init__(self, fields, encoding):
        self.fields = fields  # [(name, type, length, decimals)]
        self.encoding = encoding
        self.problems = []
        self.values = 0
        self.quirks = 0
        self.reader = None

    def fail(self, recno, name, want, got):
        self.problems.append("record %s field %s: expected %r, dump has %r" % (recno, name, want, got))

    def field(self, recno, name, ftype, want, got, raw_blank, version):
        """`want` in the canonical form of the peers' checker."""
        self.values += 1
        binary = version == 0x30 and ftype in "IYBT"
        if ftype in "NF" or (binary and ftype in "IYB"):
            w = number(want)
            if w is not None and w == 0 and raw_blank and got is None:
                return  # Harbour reads a blank number as 0
            if not same_number(w, number(got) if not isinstance(got, bool) else None):
                self.fail(recno, name, want, got)
        elif ftype == "D":
            w = None if want in (None, "") else "%s-%s-%s" % (want[0:4], want[4:6], want[6:8])
            if w != got:
                self.fail(recno, name, want, got)
        elif ftype == "L":
            if want is False and raw_blank and got is None:
                return  # Harbour reads a blank logical as false
            if want != got:
                self.fail(recno, name, want, got)
        elif ftype == "T" and binary:
            if want != got:
                self.fail(recno, name, want, got)
        elif (ftype == "G" and self.reader == "pydbf" and version == 0x30 and isinstance(want, str)
              and want.startswith("ERROR:")):
            self.quirks += 1  # python3-dbf fails on the G fields of 0x30 tables it reads
        elif ftype in "GP" or (ftype == "B" and version != 0x30):
            # The checker shows binary memos as hex; the dump has their bytes as latin-1.
            g = binascii.hexlify((got or "").encode("latin-1")).decode() if isinstance(got, str) else got
            w = want if want is not None else ""
            if w != g and as_latin1(w, self.encoding) != got:
                self.fail(recno, name, want, got)
        else:  # C, M and every other type: text
            w = "" if want is None else as_latin1(want, self.encoding)
            if ftype != "M":
                w = w.rstrip(" \0")
            if (w != got and self.reader == "pydbf" and ftype == "M" and isinstance(got, str)
                    and len(got) % 512 == 511 and w.startswith(got + "\x1a")):
                # python3-dbf reads a dBase III memo up to 1A 1A; a memo of 511 bytes (mod
                # 512) ends with a single 1A at the end of its block, as other writers do.
                self.quirks += 1
                return
            if w != got:
                self.fail(recno, name, want, got)


def load_dump(path):
    with open(path, encoding="utf-8") as f:
        return [json.loads(line) for line in f if line.strip()]


def compare(records, dump, comparer, version, raw_of):
    if len(records) != len(dump):
        comparer.problems.append("expected %d records, dump has %d" % (len(records), len(dump)))
    for want, got in zip(records, dump):
        recno = want["recno"]
        if got.get("_recno") != recno:
            comparer.problems.append("record %s: dump has _recno %r" % (recno, got.get("_recno")))
        if got.get("_deleted") != want["deleted"]:
            comparer.problems.append("record %s: deleted expected %r" % (recno, want["deleted"]))
        values = want.get("values", want)
        for name, ftype, length, _dec in comparer.fields:
            if name not in got:
                comparer.problems.append("record %s: dump lacks field %s" % (recno, name))
                continue
            raw = raw_of(want, name)
            blank = raw is not None and raw.strip(" ") == ""
            comparer.field(recno, name, ftype, values.get(name), got[name], blank, version)
            if name + "_len" in want and isinstance(got[name], str):
                comparer.values += 1
                if len(got[name]) != want[name + "_len"]:
                    comparer.fail(recno, name + "_len", want[name + "_len"], len(got[name]))


def fixture(expected_path, dump_path):
    with open(expected_path, encoding="utf-8") as f:
        exp = json.load(f)
    dump = load_dump(dump_path)
    if "header" in exp:  # a Debian set
        fields = [tuple(x) for x in exp["header"]["fields"]]
        version = int(exp["header"]["version"], 16)
        comparer = Comparer(fields, exp.get("encoding", "cp1252"))
        compare(exp["records"], dump, comparer, version, lambda r, n: r.get("raw", {}).get(n))
    else:  # a Harbour set: strings are bytes as latin-1, raw is the record in hex
        fields = [(x["name"], x["type"], x["len"], x["dec"]) for x in exp["fields"]]
        version = exp["dbf_version_byte"]
        offsets = {}
        pos = 1
        for name, _t, length, _d in fields:
            offsets[name] = (pos, length)
            pos += length

        def raw_of(rec, name):
            b = binascii.unhexlify(rec["raw"])
            p, n = offsets[name]
            return b[p:p + n].decode("latin-1")

        comparer = Comparer(fields, None)
        compare(exp["records"], dump, comparer, version, raw_of)
    return comparer


def check(reader, table, dump_path, extra):
    cmd = ["/usr/bin/python3", CHECKER, "--reader", reader] + extra + [table]
    out = subprocess.run(cmd, capture_output=True, text=True)
    if out.returncode != 0:
        print("checker failed: %s\n%s" % (" ".join(cmd), out.stderr))
        sys.exit(1)
    lines = [json.loads(l) for l in out.stdout.splitlines() if l.strip()]
    header, records = lines[0], lines[1:]
    encoding = "cp1252"
    if "--encoding" in extra:
        encoding = extra[extra.index("--encoding") + 1]
    fields = [tuple(x) for x in header["fields"]]
    comparer = Comparer(fields, encoding)
    comparer.reader = reader
    compare(records, load_dump(dump_path), comparer, int(header["version"], 16), lambda r, n: None)
    return comparer


def main(argv):
    if len(argv) >= 3 and argv[0] == "fixture":
        comparer = fixture(argv[1], argv[2])
    elif len(argv) >= 4 and argv[0] == "check":
        comparer = check(argv[1], argv[2], argv[3], argv[4:])
    else:
        print(__doc__)
        return 2
    for p in comparer.problems[:50]:
        print(p)
    if comparer.problems:
        print("%d differences" % len(comparer.problems))
        return 1
    print("compared %d values (%d peer quirks allowed)" % (comparer.values, comparer.quirks))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
