#!/usr/bin/python3
"""Make tests/data/python_docx.docx with Debian's python3-docx.

    /usr/bin/python3 make_python_docx.py OUTPUT.docx

Everything python-docx is told to write is below; README.md and expected.json
repeat it.
"""
import datetime
import sys

import docx
from docx.opc.constants import RELATIONSHIP_TYPE as RT
from docx.oxml import OxmlElement
from docx.oxml.ns import qn

OUT = sys.argv[1]
UTC = datetime.timezone.utc


def when(text):
    # python-docx wants naive datetimes and writes them with a trailing "Z".
    return datetime.datetime.strptime(text, "%Y-%m-%dT%H:%M:%SZ")


def add_hyperlink(paragraph, url, text):
    """python-docx 0.8 has no hyperlink API: build <w:hyperlink> by hand."""
    r_id = paragraph.part.relate_to(url, RT.HYPERLINK, is_external=True)
    link = OxmlElement("w:hyperlink")
    link.set(qn("r:id"), r_id)
    run = OxmlElement("w:r")
    t = OxmlElement("w:t")
    t.text = text
    run.append(t)
    link.append(run)
    paragraph._p.append(link)


d = docx.Document()

cp = d.core_properties
cp.title = "PyDocx Title"
cp.subject = "PyDocx Subject"
cp.author = "Ada PyDocx"
cp.keywords = "quillet; python-docx; test"
cp.comments = "PyDocx comments with café & R&D"
cp.category = "PyDocx Category"
cp.content_status = "Draft"
cp.identifier = "urn:quillet:pydocx:1"
cp.language = "en-GB"
cp.last_modified_by = "Bob PyDocx"
cp.revision = 4
cp.version = "2.0"
cp.created = when("2021-03-04T05:06:07Z")
cp.modified = when("2021-05-06T07:08:09Z")
cp.last_printed = when("2021-04-05T06:07:08Z")

d.add_heading("PyDocx Heading", level=1)
p = d.add_paragraph("First paragraph: plain ASCII words. ")
p.add_run("Second run in bold.").bold = True
d.add_paragraph("Café, naïve & R&D with Multiple   inner spaces.")
p = d.add_paragraph("See ")
add_hyperlink(p, "https://example.com/pydocx", "PyDocx link")
p.add_run(" for more.")

table = d.add_table(rows=2, cols=2)
for r, row in enumerate(table.rows):
    for c, cell in enumerate(row.cells):
        cell.text = "CellText R%dC%d" % (r + 1, c + 1)

d.add_paragraph("Closing paragraph.")
d.save(OUT)
print("wrote", OUT)
