#!/usr/bin/env python3
"""Check that every document in tests/data/ holds what expected.json says.

    python3 tests/data/generate/check_expected.py

Python standard library only. It reads docProps/core.xml, docProps/app.xml,
docProps/custom.xml and the body parts of each file and compares them with
expected.json: "told" must match core.xml exactly (no key missing, no extra
core property), "app"/"custom" must match, and every string of "texts" must be
one paragraph / cell / slide paragraph of the document (counted with repeats).
Exits 1 on any difference.
"""
import collections
import json
import os
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

DATA = os.path.normpath(os.path.join(os.path.dirname(__file__), ".."))

NS = {
    "cp": "http://schemas.openxmlformats.org/package/2006/metadata/core-properties",
    "dc": "http://purl.org/dc/elements/1.1/",
    "dcterms": "http://purl.org/dc/terms/",
    "ep": "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties",
    "custom": "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties",
    "vt": "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes",
    "w": "http://schemas.openxmlformats.org/wordprocessingml/2006/main",
    "s": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
    "a": "http://schemas.openxmlformats.org/drawingml/2006/main",
    "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
}
CORE = {
    "{%s}category" % NS["cp"]: "Category",
    "{%s}contentStatus" % NS["cp"]: "ContentStatus",
    "{%s}contentType" % NS["cp"]: "ContentType",
    "{%s}created" % NS["dcterms"]: "Created",
    "{%s}creator" % NS["dc"]: "Creator",
    "{%s}description" % NS["dc"]: "Description",
    "{%s}identifier" % NS["dc"]: "Identifier",
    "{%s}keywords" % NS["cp"]: "Keywords",
    "{%s}language" % NS["dc"]: "Language",
    "{%s}lastModifiedBy" % NS["cp"]: "LastModifiedBy",
    "{%s}lastPrinted" % NS["cp"]: "LastPrinted",
    "{%s}modified" % NS["dcterms"]: "Modified",
    "{%s}revision" % NS["cp"]: "Revision",
    "{%s}subject" % NS["dc"]: "Subject",
    "{%s}title" % NS["dc"]: "Title",
    "{%s}version" % NS["cp"]: "Version",
}


def q(prefix, name):
    return "{%s}%s" % (NS[prefix], name)


def core(z):
    root = ET.fromstring(z.read("docProps/core.xml"))
    return {CORE[e.tag]: (e.text or "") for e in root if e.tag in CORE}


def app(z):
    root = ET.fromstring(z.read("docProps/app.xml"))
    return {e.tag.split("}")[1]: (e.text or "").strip() for e in root if len(e) == 0}


def custom(z):
    if "docProps/custom.xml" not in z.namelist():
        return {}
    root = ET.fromstring(z.read("docProps/custom.xml"))
    return {p.get("name"): p[0].text for p in root}


def docx_paragraphs(z):
    out = []
    body = ET.fromstring(z.read("word/document.xml"))
    for p in body.iter(q("w", "p")):
        s = ""
        for e in p.iter():
            if e.tag == q("w", "t"):
                s += e.text or ""
            elif e.tag == q("w", "tab"):
                s += "\t"
            elif e.tag in (q("w", "br"), q("w", "cr")):
                s += "\n"
        out.append(s)
    return out


def rels(z, part):
    d, f = part.rsplit("/", 1)
    root = ET.fromstring(z.read("%s/_rels/%s.rels" % (d, f)))
    out = {}
    for r in root:
        t = r.get("Target")   # openpyxl writes absolute targets ("/xl/...")
        out[r.get("Id")] = t[1:] if t.startswith("/") else os.path.normpath(d + "/" + t)
    return out


def xlsx_cells(z):
    """Return ([sheet names], {"Sheet!A1": value or {"formula","value"}}, [strings])."""
    sst = []
    if "xl/sharedStrings.xml" in z.namelist():
        for si in ET.fromstring(z.read("xl/sharedStrings.xml")):
            sst.append("".join(t.text or "" for t in si.iter(q("s", "t"))))
    wb = ET.fromstring(z.read("xl/workbook.xml"))
    rid = rels(z, "xl/workbook.xml")
    names, cells, strings = [], {}, []
    for sh in wb.find(q("s", "sheets")):
        name = sh.get("name")
        names.append(name)
        ws = ET.fromstring(z.read(rid[sh.get(q("r", "id"))]))
        for c in ws.iter(q("s", "c")):
            t, v, f = c.get("t", "n"), c.find(q("s", "v")), c.find(q("s", "f"))
            v = v.text if v is not None else None
            if t == "s":
                val = sst[int(v)]
                strings.append(val)
            elif t == "inlineStr":
                val = "".join(x.text or "" for x in c.iter(q("s", "t")))
                strings.append(val)
            elif t == "b":
                val = v == "1"
            elif v:
                val = float(v)
                val = int(val) if val.is_integer() else val
            else:
                val = None
            if f is not None:
                val = {"formula": f.text, "value": val}
            cells["%s!%s" % (name, c.get("r"))] = val
    return names, cells, strings


def pptx_slides(z):
    pres = ET.fromstring(z.read("ppt/presentation.xml"))
    rid = rels(z, "ppt/presentation.xml")
    slides, notes = [], {}
    for n, s in enumerate(pres.find("{http://schemas.openxmlformats.org/presentationml/2006/main}sldIdLst"), 1):
        part = rid[s.get(q("r", "id"))]
        paras = lambda root: ["".join(t.text or "" for t in p.iter(q("a", "t")))
                              for p in root.iter(q("a", "p"))]
        slides.append([x for x in paras(ET.fromstring(z.read(part))) if x])
        for target in rels(z, part).values():
            if "/notesSlides/" in target:
                txt = [x for x in paras(ET.fromstring(z.read(target)))
                       if x and not re.fullmatch(r"\d+", x)]   # drop slide-number field
                if txt:
                    notes[str(n)] = "\n".join(txt)
    return slides, notes


def main():
    expected = json.load(open(os.path.join(DATA, "expected.json"), encoding="utf-8"))
    bad = 0
    for name, exp in expected.items():
        z = zipfile.ZipFile(os.path.join(DATA, name))
        errors = []
        got = core(z)
        if got != exp["told"]:
            errors.append("core.xml %r != told %r" % (got, exp["told"]))
        a = app(z)
        for k, v in exp.get("app", {}).items():
            if a.get(k) != v:
                errors.append("app.xml %s=%r, expected %r" % (k, a.get(k), v))
        if "custom" in exp and custom(z) != exp["custom"]:
            errors.append("custom.xml %r" % custom(z))
        if name.endswith(".docx"):
            pool = docx_paragraphs(z)
        elif name.endswith(".xlsx"):
            sheets, cells, pool = xlsx_cells(z)
            if sheets != exp["sheets"]:
                errors.append("sheets %r" % sheets)
            for k, v in exp["cells"].items():
                if cells.get(k) != v:
                    errors.append("cell %s=%r, expected %r" % (k, cells.get(k), v))
        else:
            slides, notes = pptx_slides(z)
            pool = [p for s in slides for p in s]
            if slides != exp["slides"]:
                errors.append("slides %r" % slides)
            if notes != exp.get("notes", {}):
                errors.append("notes %r" % notes)
        missing = collections.Counter(exp["texts"]) - collections.Counter(pool)
        if missing:
            errors.append("texts not found: %r" % list(missing.elements()))
        print("%-18s %s" % (name, "ok" if not errors else "FAILED"))
        for e in errors:
            print("    " + e)
        bad += bool(errors)
    print("%d passed, %d failed" % (len(expected) - bad, bad))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
