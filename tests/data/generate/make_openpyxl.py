#!/usr/bin/python3
"""Make tests/data/openpyxl.xlsx with Debian's python3-openpyxl.

    /usr/bin/python3 make_openpyxl.py OUTPUT.xlsx

Everything openpyxl is told to write is below; README.md and expected.json
repeat it.
"""
import datetime
import sys

import openpyxl

OUT = sys.argv[1]


def when(text):
    # openpyxl wants naive datetimes (taken as UTC) and writes them with "Z".
    return datetime.datetime.strptime(text, "%Y-%m-%dT%H:%M:%SZ")


wb = openpyxl.Workbook()

p = wb.properties
p.title = "Openpyxl Title"
p.subject = "Openpyxl Subject"
p.creator = "Ada Openpyxl"
p.keywords = "quillet, openpyxl, xlsx"
p.description = "Openpyxl description: café & R&D"
p.category = "Openpyxl Category"
p.contentStatus = "Final"
p.identifier = "urn:quillet:openpyxl:1"
p.language = "it-IT"
p.lastModifiedBy = "Bob Openpyxl"
p.revision = "9"
p.version = "3.1"
p.created = when("2018-07-08T09:10:11Z")
p.modified = when("2018-08-09T10:11:12Z")
p.lastPrinted = when("2018-09-10T11:12:13Z")

ws = wb.active
ws.title = "Data"
ws["A1"] = "Name"
ws["B1"] = "Value"
ws["A2"] = "Café"
ws["B2"] = 10
ws["A3"] = "R&D"
ws["B3"] = 2.5
ws["A4"] = "Multiple   inner spaces"
ws["B4"] = True
ws["A5"] = "Sum"
ws["B5"] = "=SUM(B2:B3)"
ws["C1"] = "Café"          # same string again: one shared string, two cells

ws2 = wb.create_sheet("Second Sheet")
ws2["A1"] = "OpenpyxlSecondSheet"
ws2["B1"] = False
ws2["A2"] = -7

wb.save(OUT)
print("wrote", OUT)
