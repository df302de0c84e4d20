#!/usr/bin/python3
"""Writes a corpus of documents saved by real office programs and libraries, for text_words.py.

Each document is made of random words (some with accents or in other scripts) placed in the
features that hide text from a simple reader: runs split inside a word, tables nested in tables,
hyperlinks, content controls, tracked insertions and deletions, text boxes, headers and footers,
footnotes and endnotes, comments, equations, alternative text; rich text, comments, formulas,
dates and many renamed or hidden sheets in workbooks; tables, groups, notes and hidden slides in
presentations. The producers, each given its own sources:

  LibreOffice (flat ODF and HTML to docx/docm/dotx, xlsx/xlsm/xltx, pptx/pptm/potx/ppsx, and
  the libraries' documents saved again),
  python3-docx, python3-openpyxl, pandoc (docx, pptx), gnumeric's ssconvert, abiword, and,
  when NODE_PATH holds them (npm: pptxgenjs, docx, exceljs), those three.

    /usr/bin/python3 tests/peers/make_corpus.py OUT [COUNT]

COUNT (default 20) is how many sources each producer is given. The documents land in OUT/docs.
"""
import csv
import os
import random
import shutil
import subprocess
import sys
from xml.sax.saxutils import escape

SYLLABLES = "ka lo mi ne ru ta vo pe zi qu ba do fe gu hi jo sa wi".split()
FOREIGN = ["café", "naïve", "Größe", "façade", "señor", "Ελλάδα", "москва", "日本語", "Žluťoučký",
           "smørrebrød", "İstanbul", "crème", "ﬁligree", "Æther", "øre"]


class Words:
    def __init__(self, seed):
        self.rng = random.Random(seed)

    def word(self):
        if self.rng.random() < 0.08:
            return self.rng.choice(FOREIGN)
        return "".join(self.rng.choice(SYLLABLES) for _ in range(self.rng.randint(2, 4)))

    def text(self, count=None):
        return " ".join(self.word() for _ in range(count or self.rng.randint(3, 9)))

    def chance(self, p):
        return self.rng.random() < p


# ---------------------------------------------------------------- LibreOffice Writer (flat ODF)
ODF_NS = " ".join(f'xmlns:{p}="{u}"' for p, u in [
    ("office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"),
    ("style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"),
    ("text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"),
    ("table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"),
    ("draw", "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"),
    ("fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"),
    ("xlink", "http://www.w3.org/1999/xlink"), ("dc", "http://purl.org/dc/elements/1.1/"),
    ("svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"),
    ("math", "http://www.w3.org/1998/Math/MathML"),
    ("number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"),
    ("presentation", "urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"),
    ("loext", "urn:org:documentfoundation:names:experimental:office:xmlns:loext:1.0"),
    ("of", "urn:oasis:names:tc:opendocument:xmlns:of:1.2")])
PNG = ("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==")
TEXT_STYLES = """<style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
<style:style style:name="T2" style:family="text"><style:text-properties fo:font-style="italic" fo:color="#aa0000"/></style:style>"""


def split_word(w, words):
    """A word whose second half is in another run (bold or italic)."""
    cut = max(1, len(w) // 2)
    return f'{escape(w[:cut])}<text:span text:style-name="T{1 + words.chance(0.5)}">{escape(w[cut:])}</text:span>'


def odf_inline(words, changes):
    """A paragraph's content: words, some split across runs, with the inline features."""
    parts = []
    for _ in range(words.rng.randint(2, 6)):
        roll = words.rng.random()
        if roll < 0.25:
            parts.append(split_word(words.word(), words) + " " + escape(words.text(2)))
        elif roll < 0.35:
            parts.append(f'<text:a xlink:type="simple" xlink:href="https://example.com/{words.word()}">'
                         f'{escape(words.text(2))}</text:a>')
        elif roll < 0.42:
            parts.append(f'<text:note text:note-class="{words.rng.choice(["footnote", "endnote"])}">'
                         f'<text:note-citation>1</text:note-citation><text:note-body><text:p>'
                         f'{escape(words.text())}</text:p></text:note-body></text:note>')
        elif roll < 0.48:
            parts.append(f'<office:annotation><dc:creator>{escape(words.word())}</dc:creator>'
                         f'<dc:date>2021-02-03T04:05:06</dc:date><text:p>{escape(words.text())}'
                         f'</text:p></office:annotation>')
        elif roll < 0.55:
            n = len(changes)
            kind = words.rng.choice(["insertion", "deletion"])
            text = escape(words.text(3))
            info = "<office:change-info><dc:creator>Ed</dc:creator><dc:date>2021-01-01T00:00:00</dc:date></office:change-info>"
            if kind == "insertion":
                changes.append(f'<text:changed-region text:id="ct{n}"><text:insertion>{info}</text:insertion></text:changed-region>')
                parts.append(f'<text:change-start text:change-id="ct{n}"/>{text}<text:change-end text:change-id="ct{n}"/>')
            else:
                changes.append(f'<text:changed-region text:id="ct{n}"><text:deletion>{info}<text:p>{text}</text:p></text:deletion></text:changed-region>')
                parts.append(f'<text:change text:change-id="ct{n}"/>')
        elif roll < 0.62:
            parts.append(f'<draw:frame text:anchor-type="paragraph" svg:width="6cm" svg:height="2cm" '
                         f'draw:z-index="0"><draw:text-box><text:p>{escape(words.text())}</text:p>'
                         f'</draw:text-box></draw:frame>')
        elif roll < 0.66:
            a, b = words.word(), words.word()
            parts.append(f'<draw:frame text:anchor-type="as-char" svg:width="3cm" svg:height="1cm"><draw:object>'
                         f'<math:math><math:semantics><math:mrow><math:mi>{a}</math:mi><math:mo>=</math:mo>'
                         f'<math:mi>{b}</math:mi></math:mrow><math:annotation encoding="StarMath 5.0">{a} = {b}'
                         f'</math:annotation></math:semantics></math:math></draw:object></draw:frame>')
        elif roll < 0.70:
            parts.append(f'<draw:frame text:anchor-type="as-char" svg:width="1cm" svg:height="1cm"><draw:image>'
                         f'<office:binary-data>{PNG}</office:binary-data></draw:image><svg:title>{escape(words.text(2))}'
                         f'</svg:title><svg:desc>{escape(words.text(3))}</svg:desc></draw:frame>')
        elif roll < 0.74:
            parts.append(f'<loext:content-control>{escape(words.text(3))}</loext:content-control>')
        elif roll < 0.78:
            parts.append(f'{escape(words.word())}<text:tab/>{escape(words.word())}<text:line-break/>'
                         f'{escape(words.word())}\u2011{escape(words.word())}')
        elif roll < 0.80:
            parts.append('<text:date style:data-style-name="N37" text:date-value="2022-03-04">04.03.22</text:date>')
        else:
            parts.append(escape(words.text()))
    return " ".join(parts)


def odf_table(words, changes, depth=0):
    rows = []
    columns = words.rng.randint(1, 4)
    for _ in range(words.rng.randint(1, 4)):
        cells = []
        for _ in range(columns):
            inner = f"<text:p>{odf_inline(words, changes) if words.chance(0.3) else escape(words.text(3))}</text:p>"
            if depth == 0 and words.chance(0.15):
                inner += odf_table(words, changes, 1)
            cells.append(f"<table:table-cell>{inner}</table:table-cell>")
        rows.append("<table:table-row>" + "".join(cells) + "</table:table-row>")
    return (f'<table:table><table:table-column table:number-columns-repeated="{columns}"/>'
            + "".join(rows) + "</table:table>")


def odf_list(words):
    items = "".join(f"<text:list-item><text:p>{escape(words.text())}</text:p></text:list-item>"
                    for _ in range(words.rng.randint(2, 5)))
    return f'<text:list text:style-name="L{words.rng.randint(1, 2)}">{items}</text:list>'


def writer_document(words):
    changes, blocks = [], []
    for _ in range(words.rng.randint(3, 14)):
        roll = words.rng.random()
        if roll < 0.15:
            blocks.append(odf_table(words, changes))
        elif roll < 0.22:
            blocks.append(odf_list(words))
        elif roll < 0.28:
            blocks.append(f'<text:h text:outline-level="1">{escape(words.text(3))}</text:h>')
        else:
            blocks.append(f"<text:p>{odf_inline(words, changes)}</text:p>")
    header = footer = ""
    if words.chance(0.5):
        header = f"<style:header><text:p>{escape(words.text(3))}</text:p></style:header>"
        footer = (f"<style:footer><text:p>{escape(words.text(2))} <text:page-number>1</text:page-number>"
                  "</text:p></style:footer>")
    tracked = f'<text:tracked-changes>{"".join(changes)}</text:tracked-changes>' if changes else ""
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document {ODF_NS} office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
<office:styles>
<text:list-style style:name="L1"><text:list-level-style-number text:level="1" style:num-format="1" style:num-suffix="."/></text:list-style>
<text:list-style style:name="L2"><text:list-level-style-bullet text:level="1" text:bullet-char="•"/></text:list-style>
</office:styles>
<office:automatic-styles>{TEXT_STYLES}
<number:date-style style:name="N37"><number:day/><number:text>.</number:text><number:month/><number:text>.</number:text><number:year/></number:date-style>
<style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm"/><style:header-style/><style:footer-style/></style:page-layout>
</office:automatic-styles>
<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1">{header}{footer}</style:master-page></office:master-styles>
<office:body><office:text>{tracked}{"".join(blocks)}</office:text></office:body></office:document>
"""


def html_document(words):
    """HTML for LibreOffice and abiword: headings, paragraphs, nested tables, links, lists."""
    body = []
    for _ in range(words.rng.randint(3, 10)):
        roll = words.rng.random()
        if roll < 0.2:
            def table(depth):
                rows = ""
                for _ in range(words.rng.randint(1, 3)):
                    cells = ""
                    for _ in range(words.rng.randint(1, 3)):
                        inner = escape(words.text(3))
                        if depth == 0 and words.chance(0.2):
                            inner += table(1)
                        cells += f"<td>{inner}</td>"
                    rows += f"<tr>{cells}</tr>"
                return f"<table border='1'>{rows}</table>"
            body.append(table(0))
        elif roll < 0.3:
            body.append("<ol>" + "".join(f"<li>{escape(words.text())}</li>" for _ in range(3)) + "</ol>")
        elif roll < 0.4:
            body.append(f"<h2>{escape(words.text(3))}</h2>")
        else:
            w = words.word()
            body.append(f"<p>{escape(words.text())} {escape(w[:2])}<b>{escape(w[2:])}</b> "
                        f"<a href='https://example.com/{words.word()}'>{escape(words.text(2))}</a> "
                        f"<i>{escape(words.text(2))}</i></p>")
    return "<html><head><meta charset='utf-8'><title>t</title></head><body>" + "".join(body) + "</body></html>"


# ---------------------------------------------------------------- LibreOffice Calc (flat ODF)
def calc_cell(words):
    roll = words.rng.random()
    if roll < 0.35:
        return f'<table:table-cell office:value-type="string"><text:p>{escape(words.text(words.rng.randint(1, 3)))}</text:p></table:table-cell>'
    if roll < 0.45:
        w = words.word()
        return (f'<table:table-cell office:value-type="string"><text:p>{escape(w[:2])}<text:span text:style-name="T1">'
                f'{escape(w[2:])}</text:span> <text:span text:style-name="T2">{escape(words.text(2))}</text:span></text:p>'
                + (f"<text:p>{escape(words.text(2))}</text:p>" if words.chance(0.3) else "") + "</table:table-cell>")
    if roll < 0.55:
        v = words.rng.randint(-1000, 100000) / 100
        return f'<table:table-cell office:value-type="float" office:value="{v}"><text:p>{v}</text:p></table:table-cell>'
    if roll < 0.62:
        return ('<table:table-cell table:style-name="ce1" office:value-type="date" office:date-value="2021-07-0'
                f'{words.rng.randint(1, 9)}"><text:p>07/0x/21</text:p></table:table-cell>')
    if roll < 0.68:
        return ('<table:table-cell table:formula="of:=CONCATENATE(&quot;' + escape(words.word()) + '&quot;;&quot;'
                + escape(words.word()) + '&quot;)" office:value-type="string"><text:p>x</text:p></table:table-cell>')
    if roll < 0.73:
        return ('<table:table-cell office:value-type="string"><text:p>' + escape(words.text(2)) + '</text:p>'
                f'<office:annotation><dc:creator>Ann</dc:creator><text:p>{escape(words.text())}</text:p>'
                '</office:annotation></table:table-cell>')
    if roll < 0.76:
        return (f'<table:table-cell office:value-type="string"><text:p><text:a xlink:href="https://example.com/">'
                f'{escape(words.text(2))}</text:a></text:p></table:table-cell>')
    if roll < 0.79:
        return '<table:table-cell office:value-type="boolean" office:boolean-value="true"><text:p>TRUE</text:p></table:table-cell>'
    return "<table:table-cell/>"


def calc_document(words):
    sheets = []
    for n in range(words.rng.choice([1, 1, 2, 3, 5, 12])):
        name = words.word() + (" " + words.word() if words.chance(0.3) else "")
        style = ' table:style-name="taHidden"' if n and words.chance(0.15) else ""
        rows = "".join("<table:table-row>" + "".join(calc_cell(words) for _ in range(words.rng.randint(1, 6)))
                       + "</table:table-row>" for _ in range(words.rng.randint(0, 15)))
        sheets.append(f'<table:table table:name="{escape(name)}"{style}><table:table-column '
                      f'table:number-columns-repeated="6"/>{rows or "<table:table-row><table:table-cell/></table:table-row>"}</table:table>')
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document {ODF_NS} office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>{TEXT_STYLES}
<style:style style:name="taHidden" style:family="table"><style:table-properties table:display="false"/></style:style>
<number:date-style style:name="N37"><number:month/><number:text>/</number:text><number:day/><number:text>/</number:text><number:year/></number:date-style>
<style:style style:name="ce1" style:family="table-cell" style:data-style-name="N37"/>
</office:automatic-styles>
<office:body><office:spreadsheet>{"".join(sheets)}</office:spreadsheet></office:body></office:document>
"""


# ---------------------------------------------------------------- LibreOffice Impress (flat ODF)
def impress_frame(words, y):
    paragraphs = "".join(f"<text:p>{odf_para(words)}</text:p>" for _ in range(words.rng.randint(1, 3)))
    return (f'<draw:frame svg:x="1cm" svg:y="{y}cm" svg:width="20cm" svg:height="2cm">'
            f"<draw:text-box>{paragraphs}</draw:text-box></draw:frame>")


def odf_para(words):
    w = words.word()
    text = escape(words.text())
    if words.chance(0.3):
        text += f' {escape(w[:2])}<text:span text:style-name="T1">{escape(w[2:])}</text:span>'
    if words.chance(0.15):
        text += f"<text:line-break/>{escape(words.text(2))}"
    return text


def impress_document(words):
    pages = []
    for n in range(words.rng.randint(1, 8)):
        shapes = [impress_frame(words, 1 + 3 * i) for i in range(words.rng.randint(1, 3))]
        if words.chance(0.3):
            shapes.append('<draw:g>' + impress_frame(words, 10) + impress_frame(words, 13) + "</draw:g>")
        if words.chance(0.3):
            rows = "".join("<table:table-row>" + "".join(
                f"<table:table-cell><text:p>{escape(words.text(2))}</text:p></table:table-cell>" for _ in range(3))
                + "</table:table-row>" for _ in range(2))
            shapes.append('<draw:frame svg:x="2cm" svg:y="12cm" svg:width="12cm" svg:height="3cm"><table:table>'
                          f'<table:table-column table:number-columns-repeated="3"/>{rows}</table:table></draw:frame>')
        notes = ""
        if words.chance(0.5):
            notes = (f'<presentation:notes><draw:frame presentation:class="notes" svg:x="2cm" svg:y="12cm" '
                     f'svg:width="17cm" svg:height="10cm"><draw:text-box><text:p>{escape(words.text())}</text:p>'
                     f"</draw:text-box></draw:frame></presentation:notes>")
        style = ' draw:style-name="dpHidden"' if n and words.chance(0.2) else ""
        pages.append(f'<draw:page draw:name="page{n + 1}" draw:master-page-name="Default"{style}>'
                     + "".join(shapes) + notes + "</draw:page>")
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document {ODF_NS} office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.presentation">
<office:automatic-styles>{TEXT_STYLES}
<style:style style:name="dpHidden" style:family="drawing-page"><style:drawing-page-properties presentation:visibility="hidden"/></style:style>
<style:page-layout style:name="PM1"><style:page-layout-properties fo:page-width="28cm" fo:page-height="21cm"/></style:page-layout>
</office:automatic-styles>
<office:master-styles><style:master-page style:name="Default" style:page-layout-name="PM1"/></office:master-styles>
<office:body><office:presentation>{"".join(pages)}</office:presentation></office:body></office:document>
"""


# ---------------------------------------------------------------- python-docx and openpyxl
def python_docx_document(words, path):
    import docx
    from docx.oxml import parse_xml
    from docx.oxml.ns import nsdecls
    document = docx.Document()
    for _ in range(words.rng.randint(3, 12)):
        roll = words.rng.random()
        if roll < 0.2:
            table = document.add_table(rows=words.rng.randint(1, 3), cols=words.rng.randint(1, 3))
            for cell in table._cells:
                cell.text = words.text(3)
            if words.chance(0.4):
                inner = table.cell(0, 0).add_table(rows=2, cols=2)
                for cell in inner._cells:
                    cell.text = words.text(2)
        elif roll < 0.3:
            document.add_heading(words.text(3), level=words.rng.randint(1, 3))
        elif roll < 0.4:
            for _ in range(3):
                document.add_paragraph(words.text(), style=words.rng.choice(["List Number", "List Bullet"]))
        else:
            paragraph = document.add_paragraph(words.text() + " ")
            w = words.word()
            paragraph.add_run(w[:2])
            paragraph.add_run(w[2:]).bold = True
            paragraph.add_run(" " + words.text(3))
            roll = words.rng.random()
            if roll < 0.2:
                paragraph._p.append(parse_xml(
                    f'<w:sdt {nsdecls("w")}><w:sdtPr><w:alias w:val="Box"/></w:sdtPr><w:sdtContent><w:r><w:t>'
                    f'{escape(words.text(2))}</w:t></w:r></w:sdtContent></w:sdt>'))
            elif roll < 0.4:
                paragraph._p.append(parse_xml(
                    f'<w:ins {nsdecls("w")} w:id="1" w:author="Ed" w:date="2021-01-01T00:00:00Z"><w:r><w:t xml:space="preserve"> '
                    f'{escape(words.text(2))}</w:t></w:r></w:ins>'))
                paragraph._p.append(parse_xml(
                    f'<w:del {nsdecls("w")} w:id="2" w:author="Ed" w:date="2021-01-01T00:00:00Z"><w:r><w:delText>'
                    f'{escape(words.text(2))}</w:delText></w:r></w:del>'))
            elif roll < 0.5:
                paragraph._p.append(parse_xml(
                    f'<w:hyperlink {nsdecls("w")} w:anchor="top"><w:r><w:t xml:space="preserve"> {escape(words.text(2))}'
                    "</w:t></w:r></w:hyperlink>"))
    section = document.sections[0]
    if words.chance(0.5):
        section.header.paragraphs[0].text = words.text(3)
        section.footer.paragraphs[0].text = words.text(3)
    core = document.core_properties
    core.title = words.text(2)
    document.save(path)


def openpyxl_workbook(words, path):
    import datetime
    import openpyxl
    from openpyxl.comments import Comment
    book = openpyxl.Workbook()
    book.active.title = words.word()
    for _ in range(words.rng.choice([0, 0, 1, 2, 4, 9])):
        sheet = book.create_sheet(words.word() + (" " + words.word() if words.chance(0.3) else ""))
        if words.chance(0.15):
            sheet.sheet_state = "hidden"
    for sheet in book.worksheets:
        for row in range(1, words.rng.randint(1, 15)):
            for column in range(1, words.rng.randint(2, 6)):
                cell = sheet.cell(row=row, column=column)
                roll = words.rng.random()
                if roll < 0.45:
                    cell.value = words.text(words.rng.randint(1, 3))
                elif roll < 0.6:
                    cell.value = words.rng.randint(-1000, 100000) / 100
                elif roll < 0.65:
                    cell.value = datetime.date(2020, words.rng.randint(1, 12), words.rng.randint(1, 28))
                elif roll < 0.7:
                    cell.value = words.chance(0.5)
                elif roll < 0.75:
                    cell.value = f'=CONCATENATE("{words.word()}","{words.word()}")'
                if roll < 0.5 and words.chance(0.1):
                    cell.comment = Comment(words.text(), "Ann")
    if len(book.worksheets) > 2 and words.chance(0.5):
        book.move_sheet(book.worksheets[-1], offset=-(len(book.worksheets) - 1))
    book.save(path)


# ---------------------------------------------------------------- pandoc (Markdown)
def markdown_document(words, slides):
    out = []
    for s in range(words.rng.randint(2, 7)):
        out.append(f"# {words.text(3)}\n")
        for _ in range(words.rng.randint(1, 4)):
            roll = words.rng.random()
            if roll < 0.2:
                columns = words.rng.randint(2, 4)
                out.append("| " + " | ".join(words.text(2) for _ in range(columns)) + " |\n|"
                           + "---|" * columns + "\n" + "".join(
                               "| " + " | ".join(words.text(2) for _ in range(columns)) + " |\n" for _ in range(3)))
            elif roll < 0.35:
                out.append("".join(f"{'1.' if words.chance(0.5) else '-'} {words.text()}\n" for _ in range(3)))
            elif roll < 0.45 and not slides:
                out.append(f"{words.text()}[^{s}x{len(out)}]\n\n[^{s}x{len(out)}]: {words.text()}\n")
            elif roll < 0.55:
                out.append(f"{words.text()} [{words.text(2)}](https://example.com/{words.word()}) "
                           f"*{words.text(2)}* **{words.text(2)}**\n")
            elif roll < 0.6 and not slides:
                out.append(f"{words.text(3)} $\\mathrm{{{words.word()}}} = \\alpha$\n")
            else:
                out.append(words.text(12) + "\n")
            out.append("\n")
        if slides and words.chance(0.5):
            out.append(f"::: notes\n\n{words.text()}\n\n:::\n\n")
    return "".join(out)


# ---------------------------------------------------------------- npm producers
NODE_SCRIPT = r"""
const fs = require("fs");
const [kind, out, recipe] = process.argv.slice(2);
const doc = JSON.parse(fs.readFileSync(recipe, "utf8"));
if (kind === "pptxgenjs") {
  const pptxgen = require("pptxgenjs");
  const p = new pptxgen();
  for (const s of doc.slides) {
    const slide = p.addSlide();
    slide.addText(s.title, { x: 0.5, y: 0.3, w: 9, h: 1 });
    slide.addText(s.body.map((t, i) => ({ text: t, options: { bold: i % 2 === 1, breakLine: i % 3 === 2 } })),
                  { x: 0.5, y: 1.5, w: 9, h: 2 });
    if (s.table) slide.addTable(s.table.map(r => r.map(c => ({ text: c }))), { x: 0.5, y: 3.6, w: 9 });
    if (s.notes) slide.addNotes(s.notes);
    if (s.hidden) slide.hidden = true;
  }
  p.stream({ compression: true }).then(b => fs.writeFileSync(out, b));
} else if (kind === "docx") {
  const d = require("docx");
  const children = [];
  const footnotes = {};
  let n = 1;
  for (const b of doc.blocks) {
    if (b.table) {
      children.push(new d.Table({ rows: b.table.map(r => new d.TableRow({ children: r.map(c =>
        new d.TableCell({ children: [new d.Paragraph(c)] })) })) }));
    } else {
      const runs = [new d.TextRun(b.text + " "), new d.TextRun(b.split[0]),
                    new d.TextRun({ text: b.split[1], bold: true })];
      if (b.link) runs.push(new d.ExternalHyperlink({ link: "https://example.com/",
                                                       children: [new d.TextRun(" " + b.link)] }));
      if (b.footnote) { footnotes[n] = { children: [new d.Paragraph(b.footnote)] };
                        runs.push(new d.FootnoteReferenceRun(n++)); }
      children.push(new d.Paragraph({ children: runs }));
    }
  }
  const document = new d.Document({ footnotes, sections: [{
    headers: { default: new d.Header({ children: [new d.Paragraph(doc.header)] }) },
    footers: { default: new d.Footer({ children: [new d.Paragraph(doc.footer)] }) }, children }] });
  d.Packer.toBuffer(document).then(b => fs.writeFileSync(out, b));
} else if (kind === "exceljs") {
  const E = require("exceljs");
  const book = new E.Workbook();
  for (const s of doc.sheets) {
    const sheet = book.addWorksheet(s.name, { state: s.hidden ? "hidden" : "visible" });
    s.rows.forEach((row, r) => row.forEach((v, c) => {
      const cell = sheet.getCell(r + 1, c + 1);
      if (Array.isArray(v)) cell.value = { richText: v.map((t, i) => ({ text: t, font: { bold: i % 2 === 1 } })) };
      else if (v && v.note) { cell.value = v.text; cell.note = v.note; }
      else if (v && v.formula) cell.value = { formula: v.formula, result: v.result };
      else if (v && v.date) cell.value = new Date(v.date);
      else cell.value = v;
    }));
  }
  book.xlsx.writeFile(out);
}
"""


def node_spec(kind, words):
    if kind == "pptxgenjs":
        return {"slides": [{"title": words.text(3), "body": [words.text() for _ in range(words.rng.randint(1, 4))],
                            "table": [[words.text(2) for _ in range(3)] for _ in range(2)] if words.chance(0.4) else None,
                            "notes": words.text() if words.chance(0.5) else None, "hidden": words.chance(0.15)}
                           for _ in range(words.rng.randint(1, 6))]}
    if kind == "docx":
        blocks = []
        for _ in range(words.rng.randint(2, 8)):
            w = words.word()
            blocks.append({"table": [[words.text(2) for _ in range(2)] for _ in range(2)]} if words.chance(0.2) else
                          {"text": words.text(), "split": [w[:2], w[2:]],
                           "link": words.text(2) if words.chance(0.3) else None,
                           "footnote": words.text() if words.chance(0.3) else None})
        return {"blocks": blocks, "header": words.text(2), "footer": words.text(2)}

    def value():
        roll = words.rng.random()
        if roll < 0.4:
            return words.text(words.rng.randint(1, 3))
        if roll < 0.55:
            return [words.word(), words.text(2)]
        if roll < 0.65:
            return words.rng.randint(0, 10000) / 10
        if roll < 0.7:
            return {"text": words.text(2), "note": words.text()}
        if roll < 0.75:
            a, b = words.word(), words.word()
            return {"formula": f'CONCATENATE("{a}","{b}")', "result": a + b}
        if roll < 0.8:
            return {"date": "2021-05-06"}
        return None
    return {"sheets": [{"name": f"{words.word()} {n}", "hidden": n > 0 and words.chance(0.15),
                        "rows": [[value() for _ in range(words.rng.randint(1, 5))] for _ in range(words.rng.randint(1, 12))]}
                       for n in range(words.rng.choice([1, 2, 3, 6]))]}


# ---------------------------------------------------------------- driving the producers
def soffice(sources, target, outdir, profile):
    os.makedirs(outdir, exist_ok=True)
    for at in range(0, len(sources), 40):
        subprocess.run(["soffice", f"-env:UserInstallation=file://{profile}", "--headless", "--convert-to", target,
                        "--outdir", outdir] + sources[at:at + 40], check=False, capture_output=True)


def main():
    out = os.path.abspath(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    src, docs = os.path.join(out, "src"), os.path.join(out, "docs")
    for folder in (src, docs):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    profile = os.path.join(out, "lo-profile")

    def sources(name, ext, make):
        paths = []
        for i in range(count):
            path = os.path.join(src, f"{name}{i:03}.{ext}")
            with open(path, "w", encoding="utf-8") as f:
                f.write(make(Words(f"{name}{i}")))
            paths.append(path)
        return paths

    writer = sources("lo_writer", "fodt", writer_document)
    html = sources("lo_html", "html", html_document)
    calc = sources("lo_calc", "fods", calc_document)
    impress = sources("lo_impress", "fodp", impress_document)
    third = max(1, count // 3)
    soffice(writer, "docx:MS Word 2007 XML", os.path.join(docs, "libreoffice"), profile)
    soffice(writer[:third], "docm:MS Word 2007 XML VBA", os.path.join(docs, "libreoffice"), profile)
    soffice(writer[third:2 * third], "dotx:MS Word 2007 XML Template", os.path.join(docs, "libreoffice"), profile)
    soffice(html, "docx:MS Word 2007 XML", os.path.join(docs, "libreoffice"), profile)
    soffice(calc, "xlsx:Calc MS Excel 2007 XML", os.path.join(docs, "libreoffice"), profile)
    soffice(calc[:third], "xlsm:Calc MS Excel 2007 VBA XML", os.path.join(docs, "libreoffice"), profile)
    soffice(calc[third:2 * third], "xltx:Calc MS Excel 2007 XML Template", os.path.join(docs, "libreoffice"), profile)
    soffice(impress, "pptx:Impress MS PowerPoint 2007 XML", os.path.join(docs, "libreoffice"), profile)
    soffice(impress[:third], "ppsx:Impress MS PowerPoint 2007 XML AutoPlay", os.path.join(docs, "libreoffice"), profile)
    soffice(impress[third:2 * third], "potx:Impress MS PowerPoint 2007 XML Template", os.path.join(docs, "libreoffice"), profile)
    soffice(impress[2 * third:], "pptm:Impress MS PowerPoint 2007 XML VBA", os.path.join(docs, "libreoffice"), profile)

    for folder in ("python-docx", "openpyxl", "pandoc", "ssconvert", "abiword", "npm"):
        os.makedirs(os.path.join(docs, folder), exist_ok=True)
    for i in range(count):
        python_docx_document(Words(f"pd{i}"), os.path.join(docs, "python-docx", f"python_docx{i:03}.docx"))
        openpyxl_workbook(Words(f"ox{i}"), os.path.join(docs, "openpyxl", f"openpyxl{i:03}.xlsx"))
        for kind, slides in (("docx", False), ("pptx", True)):
            md = os.path.join(src, f"pandoc{i:03}_{kind}.md")
            with open(md, "w", encoding="utf-8") as f:
                f.write(markdown_document(Words(f"md{kind}{i}"), slides))
            subprocess.run(["pandoc", md, "-o", os.path.join(docs, "pandoc", f"pandoc{i:03}.{kind}")], check=False)
        # ssconvert: a workbook of several sheets made from CSV files, and Calc's sources re-saved.
        words = Words(f"ss{i}")
        rows = [[words.text(words.rng.randint(1, 2)) if words.chance(0.7) else str(words.rng.randint(0, 999))
                 for _ in range(4)] for _ in range(words.rng.randint(1, 10))]
        with open(os.path.join(src, f"ss{i:03}.csv"), "w", newline="", encoding="utf-8") as f:
            csv.writer(f).writerows(rows)
        subprocess.run(["ssconvert", "-T", "Gnumeric_Excel:xlsx2", os.path.join(src, f"ss{i:03}.csv"),
                        os.path.join(docs, "ssconvert", f"ssconvert_csv{i:03}.xlsx")], check=False, capture_output=True)
        lo = os.path.join(docs, "libreoffice", f"lo_calc{i:03}.xlsx")
        subprocess.run(["ssconvert", "-T", "Gnumeric_Excel:xlsx2", lo,
                        os.path.join(docs, "ssconvert", f"ssconvert_calc{i:03}.xlsx")], check=False, capture_output=True)
        subprocess.run(["abiword", "--to=docx", "-o", os.path.join(docs, "abiword", f"abiword{i:03}.docx"), html[i]],
                       check=False, capture_output=True)
        subprocess.run(["abiword", "--to=docx", "-o", os.path.join(docs, "abiword", f"abiword_lo{i:03}.docx"),
                        os.path.join(docs, "libreoffice", f"lo_writer{i:03}.docx")], check=False, capture_output=True)

    if os.environ.get("NODE_PATH"):
        script = os.path.join(src, "producers.js")
        with open(script, "w", encoding="utf-8") as f:
            f.write(NODE_SCRIPT)
        import json
        for kind, ext in (("pptxgenjs", "pptx"), ("docx", "docx"), ("exceljs", "xlsx")):
            for i in range(count):
                recipe = os.path.join(src, f"{kind}{i:03}.json")
                with open(recipe, "w", encoding="utf-8") as f:
                    json.dump(node_spec(kind, Words(f"{kind}{i}")), f, ensure_ascii=False)
                subprocess.run(["node", script, kind, os.path.join(docs, "npm", f"{kind}{i:03}.{ext}"), recipe], check=False)
    # LibreOffice saving what the libraries wrote: content controls, equations, rich text and
    # tables read from their files and written again its own way.
    resaved = os.path.join(docs, "libreoffice-resaved")
    for folder, ext, target in (("python-docx", "docx", "docx:MS Word 2007 XML"),
                                ("pandoc", "docx", "docx:MS Word 2007 XML"),
                                ("npm", "docx", "docx:MS Word 2007 XML"),
                                ("openpyxl", "xlsx", "xlsx:Calc MS Excel 2007 XML"),
                                ("npm", "xlsx", "xlsx:Calc MS Excel 2007 XML"),
                                ("pandoc", "pptx", "pptx:Impress MS PowerPoint 2007 XML"),
                                ("npm", "pptx", "pptx:Impress MS PowerPoint 2007 XML")):
        made = sorted(os.path.join(docs, folder, name) for name in os.listdir(os.path.join(docs, folder))
                      if name.endswith("." + ext))
        soffice(made, target, resaved, profile)
    made = sum(len(files) for _, _, files in os.walk(docs))
    print(f"{made} documents in {docs}")


if __name__ == "__main__":
    main()
