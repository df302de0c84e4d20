#!/usr/bin/python3
"""Make tests/data/lo_impress.pptx with LibreOffice Impress through Python-UNO.

Needs Debian's python3-uno and libreoffice-impress. make_libreoffice.sh starts
a headless soffice listening on a named pipe and then runs this script as
    /usr/bin/python3 make_lo_impress.py PIPE_NAME OUTPUT.pptx [test|sample]
("test", the default, makes tests/data/lo_impress.pptx; "sample" makes the
demo deck samples/talk.pptx.)  `make_lo_impress.py PIPE_NAME --quit` asks that
soffice to shut down.
Each slide is made with LibreOffice's "Title, Content" layout, so the title and
body texts land in real title / body placeholders, as a person using Impress
would get.
"""
import sys
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.lang import Locale
from com.sun.star.util import DateTime, Duration  # noqa: F401

PIPE, OUT = sys.argv[1], sys.argv[2]
WHICH = sys.argv[3] if len(sys.argv) > 3 else "test"

# What Impress is told to write (README.md and expected.json repeat it).
TITLE = "Quillet Impress Title"
SUBJECT = "Impress Subject"
DESCRIPTION = "Impress description with R&D"
KEYWORDS = ("quillet", "pptx", "slides")
AUTHOR = "Ada Impress"            # -> dc:creator
MODIFIED_BY = "Bob Impress"       # -> cp:lastModifiedBy
LANGUAGE = ("es", "ES")           # -> dc:language es-ES
CREATED = (2019, 11, 12, 13, 14, 15)
MODIFIED = (2019, 12, 13, 14, 15, 16)
EDITING_CYCLES = 12               # -> cp:revision
CATEGORY = "Impress Category"
CONTENT_STATUS = "Reviewed"

COMPANY = "Quillet Impress Co"    # -> Company in docProps/app.xml

SLIDES = [
    ("First Slide Title", ["Welcome to Quillet", "Café and R&D"], None),
    ("Second Slide Title", ["Multiple   inner spaces", "Plain ASCII body text"],
     "Speaker note text"),
    ("Third Slide Title", ["Thank you, señor"], None),
]

if WHICH == "sample":
    TITLE = "Quillet in Ten Minutes"
    SUBJECT = "A short talk about the Quillet content plug-in"
    DESCRIPTION = "Demo deck shipped with Quillet."
    KEYWORDS = ("quillet", "demo", "talk")
    AUTHOR = "Quillet Team"
    MODIFIED_BY = "Quillet Team"
    LANGUAGE = ("en", "US")
    CREATED = (2024, 2, 1, 9, 0, 0)
    MODIFIED = (2024, 2, 2, 17, 30, 0)
    EDITING_CYCLES = 2
    CATEGORY = "Demo"
    CONTENT_STATUS = "Final"
    COMPANY = "Quillet"
    SLIDES = [
        ("Quillet in Ten Minutes", ["What it reads: DOCX, XLSX, PPTX",
                                    "What it shows: title, author, words…"],
         None),
        ("How it works", ["Opens the package as a zip archive",
                          "Reads docProps/core.xml and app.xml",
                          "Collects the text of pages, cells and slides"],
         "Keep this slide short."),
        ("Questions?", ["Thank you — merci — gracias"], None),
    ]


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def dt(t):
    d = DateTime()
    d.Year, d.Month, d.Day, d.Hours, d.Minutes, d.Seconds = t
    d.IsUTC = True
    return d


def connect():
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(60):
        try:
            return resolver.resolve(
                "uno:pipe,name=%s;urp;StarOffice.ComponentContext" % PIPE)
        except Exception:
            time.sleep(1)
    raise SystemExit("could not reach soffice on pipe " + PIPE)


ctx = connect()
desktop = ctx.ServiceManager.createInstanceWithContext(
    "com.sun.star.frame.Desktop", ctx)
if OUT == "--quit":
    try:
        desktop.terminate()
    except Exception:
        pass  # the bridge goes down with soffice
    sys.exit(0)
doc = desktop.loadComponentFromURL(
    "private:factory/simpress", "_blank", 0, (prop("Hidden", True),))

pages = doc.DrawPages
while pages.Count < len(SLIDES):
    pages.insertNewByIndex(pages.Count - 1)

for i, (title, body, notes) in enumerate(SLIDES):
    page = pages.getByIndex(i)
    page.Layout = 1  # AUTOLAYOUT "Title, Content"
    for j in range(page.Count):
        shape = page.getByIndex(j)
        kind = shape.ShapeType
        if kind == "com.sun.star.presentation.TitleTextShape":
            shape.String = title
        elif kind == "com.sun.star.presentation.OutlinerShape":
            shape.String = "\n".join(body)
    if notes:
        npage = page.NotesPage
        for j in range(npage.Count):
            shape = npage.getByIndex(j)
            if shape.ShapeType == "com.sun.star.presentation.NotesShape":
                shape.String = notes

dp = doc.DocumentProperties
dp.Title = TITLE
dp.Subject = SUBJECT
dp.Description = DESCRIPTION
dp.Keywords = KEYWORDS
dp.Author = AUTHOR
dp.ModifiedBy = MODIFIED_BY
loc = Locale()
loc.Language, loc.Country = LANGUAGE
dp.Language = loc
dp.CreationDate = dt(CREATED)
dp.ModificationDate = dt(MODIFIED)
dp.EditingCycles = EDITING_CYCLES
ud = dp.UserDefinedProperties
ud.addProperty("OOXMLCorePropertyCategory", 0, CATEGORY)
ud.addProperty("OOXMLCorePropertyContentStatus", 0, CONTENT_STATUS)
ud.addProperty("Company", 0, COMPANY)

# Impress, like any LibreOffice program, stamps "now", the profile's user name
# and EditingCycles+1 into a modified document when it stores it; marking the
# document unmodified keeps exactly the values set above.
doc.setModified(False)
doc.storeToURL(uno.systemPathToFileUrl(OUT),
               (prop("FilterName", "Impress MS PowerPoint 2007 XML"),))
doc.close(True)
print("wrote", OUT)
