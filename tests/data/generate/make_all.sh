#!/bin/sh
# Remake every document in tests/data/ and samples/ by hand.
# CI does not run this (it has no LibreOffice): the committed documents are the
# test data, and this script records exactly how they were made.
#
# Needs (Debian): libreoffice-writer libreoffice-calc libreoffice-impress
#                 python3-uno python3-docx python3-openpyxl nodejs npm, zip
# and the npm package pptxgenjs (installed into a scratch folder below).
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
DATA=$(cd "$HERE/.." && pwd)                 # tests/data
SAMPLES=$(cd "$HERE/../../../samples" && pwd)
PY=/usr/bin/python3                          # Debian's python, with uno/docx/openpyxl
TMP=$(mktemp -d /tmp/quillet-gen.XXXXXX)
PROFILE="-env:UserInstallation=file://$TMP/lo-profile"

# LibreOffice Writer and Calc: flat ODF source -> ODF (LibreOffice counts words,
# characters and paragraphs while it saves ODF) -> OOXML.
lo_convert() {  # src odf-ext ooxml-ext dest
    soffice "$PROFILE" --headless --convert-to "$2" --outdir "$TMP" "$HERE/$1"
    base=$(basename "$1"); base=${base%.*}
    soffice "$PROFILE" --headless --convert-to "$3" --outdir "$TMP" "$TMP/$base.$2"
    cp "$TMP/$base.$3" "$4"
}
lo_convert lo_writer.fodt     odt docx "$DATA/lo_writer.docx"
lo_convert lo_calc.fods       ods xlsx "$DATA/lo_calc.xlsx"
lo_convert sample_report.fodt odt docx "$SAMPLES/report.docx"
lo_convert sample_budget.fods ods xlsx "$SAMPLES/budget.xlsx"

# LibreOffice Impress, driven through Python-UNO over a named pipe.
PIPE=quillet_gen_$$
soffice "$PROFILE" --headless --invisible --norestore \
    "--accept=pipe,name=$PIPE;urp;" >"$TMP/soffice.log" 2>&1 &
$PY "$HERE/make_lo_impress.py" "$PIPE" "$DATA/lo_impress.pptx" test
$PY "$HERE/make_lo_impress.py" "$PIPE" "$SAMPLES/talk.pptx" sample
$PY "$HERE/make_lo_impress.py" "$PIPE" --quit
wait

# python-docx and openpyxl (Debian's python3-docx, python3-openpyxl).
$PY "$HERE/make_python_docx.py" "$DATA/python_docx.docx"
$PY "$HERE/make_openpyxl.py"    "$DATA/openpyxl.xlsx"

# PptxGenJS from npm.
(cd "$TMP" && npm init -y >/dev/null && npm install --no-audit --no-fund pptxgenjs@4.0.1 >/dev/null)
NODE_PATH="$TMP/node_modules" node "$HERE/make_pptxgenjs.js" "$DATA/pptxgenjs.pptx"

rm -rf "$TMP"
ls -l "$DATA"/*.docx "$DATA"/*.xlsx "$DATA"/*.pptx "$SAMPLES"/*.docx "$SAMPLES"/*.xlsx "$SAMPLES"/*.pptx
