#!/usr/bin/env python3
"""Checks that "Text" holds every word trusted extractors find in real documents.

For each document given (DOCX and kin, XLSX and kin, PPTX and kin) the words of its "Text"
(through quillet-host) are compared with the words of a trusted extractor of the same file:
pandoc and docx2txt for word-processing documents, xlsx2csv -a for workbooks, and a walk of
every a:t of the slides and their notes for presentations. A word is a run of letters and
digits; words made of digits alone are left out (their displayed form differs from the stored
number, as dates do), and so are list numbers, which the documents do not hold as text. The
walk of the slides joins the runs of a paragraph as the document does. Two artefacts of the
peers are not counted, each only where the document shows it (see `artefacts`): docx2txt
joining some paragraphs to the next with nothing between them, and xlsx2csv giving only the
first run of an inline string of several runs.
Prints one line per file and a summary; exits 1 when a word is missing.

    tests/peers/text_words.py build/linux/quillet-host FILE...
"""
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
import zipfile
from posixpath import dirname, join, normpath

WORD = re.compile(r"\w+", re.UNICODE)
A = "{http://schemas.openxmlformats.org/drawingml/2006/main}"
P = "{http://schemas.openxmlformats.org/presentationml/2006/main}"
R = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"
PR = "{http://schemas.openxmlformats.org/package/2006/relationships}"


def words(text):
    return {w for w in WORD.findall(text) if not w.isdigit() and not re.fullmatch(r"\d+[a-z]?", w)}


def run(arguments):
    try:
        done = subprocess.run(arguments, capture_output=True, check=False)
    except FileNotFoundError:
        return None
    return done.stdout.decode("utf-8", "replace") if done.returncode == 0 else None


def relationships(package, part):
    rels = join(dirname(part), "_rels", part.rsplit("/", 1)[-1] + ".rels")
    if rels not in package.namelist():
        return {}
    found = {}
    for rel in ET.fromstring(package.read(rels)).iter(PR + "Relationship"):
        target = rel.get("Target")
        if rel.get("TargetMode") != "External":
            target = target.lstrip("/") if target.startswith("/") else normpath(join(dirname(part), target))
        found[rel.get("Id")] = (rel.get("Type").rsplit("/", 1)[-1], target)
    return found


def paragraphs(root):
    """The paragraphs of a drawing, each its a:t joined as the document joins its runs."""
    lines = []
    for paragraph in root.iter(A + "p"):
        lines.append("".join("\n" if node.tag == A + "br" else node.text or ""
                             for node in paragraph.iter() if node.tag in (A + "t", A + "br")))
    return lines


def slide_walk(path):
    """Every a:t of the slides in the slide list's order, and of their notes."""
    texts = []
    with zipfile.ZipFile(path) as package:
        main = "ppt/presentation.xml"
        rels = relationships(package, main)
        for slide in ET.fromstring(package.read(main)).iter(P + "sldId"):
            kind, target = rels.get(slide.get(R + "id"), (None, None))
            if kind != "slide" or target not in package.namelist():
                continue
            texts += paragraphs(ET.fromstring(package.read(target)))
            for kind, notes in relationships(package, target).values():
                if kind == "notesSlide" and notes in package.namelist():
                    root = ET.fromstring(package.read(notes))
                    for shape in root.iter(P + "sp"):
                        ph = shape.find(f"{P}nvSpPr/{P}nvPr/{P}ph")
                        if ph is not None and ph.get("type") == "body":
                            texts += paragraphs(shape)
    return "\n".join(texts)


def peers(path):
    extension = path.rsplit(".", 1)[-1].lower()
    if extension.startswith("doc") or extension.startswith("dot"):
        return {"pandoc": run(["pandoc", "-t", "plain", "--wrap=none", "-f", "docx", path]),
                "docx2txt": run(["docx2txt", path, "-"])}
    if extension.startswith("xl"):
        return {"xlsx2csv -a": run(["xlsx2csv", "-a", path])}
    return {"a:t walk": slide_walk(path)}


def joined_across_blocks(word, text):
    """docx2txt writes some paragraphs (a table's last, a text box's, most of those some libraries
    write) with nothing between them and the next: a word of its output that Text holds cut only
    at the ends of paragraphs or cells is two words of the document."""
    pattern = r"(?<!\w)" + r"[\t\n]*".join(map(re.escape, word)) + r"(?!\w)"
    return any("\t" in found or "\n" in found for found in re.findall(pattern, text))


def first_runs_only(path):
    """xlsx2csv gives only the first run of an inline string of several runs: the words of those
    first runs that the whole string does not hold."""
    S = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
    fragments = set()
    with zipfile.ZipFile(path) as package:
        for name in package.namelist():
            if not re.fullmatch(r"xl/worksheets/[^/]*\.xml", name):
                continue
            for string in ET.fromstring(package.read(name)).iter(S + "is"):
                runs = string.findall(S + "r")
                if len(runs) > 1:
                    whole = "".join(t.text or "" for t in string.iter(S + "t"))
                    first = "".join(t.text or "" for t in runs[0].iter(S + "t"))
                    fragments |= words(first) - words(whole)
    return fragments


def artefacts(path, peer, lost, text, found):
    """The words a peer gives that are not words of the document (see the two functions above)."""
    if peer == "docx2txt":
        pandoc = words(found.get("pandoc") or "")
        return {w for w in lost if w not in pandoc and joined_across_blocks(w, text)}
    if peer == "xlsx2csv -a":
        return lost & first_runs_only(path)
    return set()


def main():
    host, files = sys.argv[1], sys.argv[2:]
    missing_files = 0
    for path in files:
        text = run([host, "--raw", "--field", "Text", path])
        if text is None:
            print(f"{path}: quillet-host failed")
            missing_files += 1
            continue
        ours = words(text)
        found = peers(path)
        for peer, extracted in found.items():
            if extracted is None:
                print(f"{path}: {peer} failed, not compared")
                continue
            theirs = words(extracted)
            lost = theirs - ours
            explained = artefacts(path, peer, lost, text, found)
            theirs -= explained
            lost = sorted(lost - explained)
            missing_files += bool(lost)
            print(f"{path}: {peer}: {len(theirs)} words, {len(theirs) - len(lost)} in Text"
                  + (f" ({len(explained)} of the peer's own left out)" if explained else "")
                  + (f"; missing: {' '.join(lost[:20])}" if lost else ""))
    print(f"{len(files)} files, {missing_files} comparisons with missing words")
    return 1 if missing_files else 0


if __name__ == "__main__":
    sys.exit(main())
