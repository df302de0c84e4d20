#!/usr/bin/python3
"""Writes the benchmark's inputs from real producers: a workbook saved by openpyxl and a
document saved by python-docx, so that the readers meet what those libraries actually write
(their namespaces, styles and element order) rather than what the generator in BenchInputs
writes. Deterministic: the same bytes every run, apart from the time stamps the producers set.

Usage: producer_inputs.py DIRECTORY
"""
import os
import random
import sys

import docx
import openpyxl

WORKBOOK_ROWS = 100_000
DOCUMENT_PARAGRAPHS = 20_000
TABLE_ROWS = 200

WORDS = ("quarterly revenue the of and forecast région market share growth a to in customer "
         "product review annual budget export naïve total margin for with segment north south "
         "Zürich report summary outlook risk we expect strong").split()


def sentence(rng, count):
    return " ".join(rng.choice(WORDS) for _ in range(count))


def write_workbook(path):
    """100,000 rows of six columns: an integer, a short string, a decimal, a short string, an
    integer and a decimal, as a ledger exported by a script looks."""
    rng = random.Random(20240601)
    workbook = openpyxl.Workbook(write_only=True)
    sheet = workbook.create_sheet("Ledger")
    sheet.append(["Id", "Region", "Amount", "Product", "Quantity", "Margin"])
    for row in range(1, WORKBOOK_ROWS):
        sheet.append([row, rng.choice(WORDS), round(rng.uniform(0, 100000), 2),
                      sentence(rng, 3), rng.randrange(1, 1000), round(rng.random(), 4)])
    workbook.save(path)


def write_document(path):
    """20,000 paragraphs of running text, every tenth with a bold run, and a table."""
    rng = random.Random(20240602)
    document = docx.Document()
    document.core_properties.title = "Annual report"
    document.add_heading("Annual report", level=1)
    for index in range(DOCUMENT_PARAGRAPHS):
        paragraph = document.add_paragraph(sentence(rng, 12) + " ")
        if index % 10 == 0:
            paragraph.add_run(sentence(rng, 3)).bold = True
        paragraph.add_run(sentence(rng, 6) + ".")
        if index == DOCUMENT_PARAGRAPHS // 2:
            table = document.add_table(rows=TABLE_ROWS, cols=4)
            for cells in table.rows:
                for cell in cells.cells:
                    cell.text = sentence(rng, 2)
    document.save(path)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    directory = sys.argv[1]
    os.makedirs(directory, exist_ok=True)
    write_workbook(os.path.join(directory, "openpyxl-workbook.xlsx"))
    write_document(os.path.join(directory, "python-docx-document.docx"))


if __name__ == "__main__":
    main()
