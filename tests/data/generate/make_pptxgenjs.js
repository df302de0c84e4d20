// Make tests/data/pptxgenjs.pptx with PptxGenJS (npm package "pptxgenjs").
//
//   npm install pptxgenjs@4.0.1        (in any scratch folder)
//   NODE_PATH=that/node_modules node make_pptxgenjs.js OUTPUT.pptx
//
// Everything PptxGenJS is told to write is below; README.md and expected.json
// repeat it. PptxGenJS itself stamps dcterms:created / dcterms:modified with
// the time of the run and writes the author again as cp:lastModifiedBy.
const pptxgen = require("pptxgenjs");

const out = process.argv[2];
const pptx = new pptxgen();

pptx.title = "PptxGenJS Title";
pptx.subject = "PptxGenJS Subject";
pptx.author = "Ada PptxGenJS";
pptx.company = "Quillet Slides Co"; // PptxGenJS writes this unescaped: no '&'
pptx.revision = "5";
pptx.layout = "LAYOUT_16x9";

pptx.defineSlideMaster({
  title: "TITLE_BODY",
  objects: [
    { placeholder: { options: { name: "title", type: "title", x: 0.5, y: 0.3, w: 9, h: 1 }, text: "" } },
    { placeholder: { options: { name: "body", type: "body", x: 0.5, y: 1.5, w: 9, h: 3.5 }, text: "" } },
  ],
});

const slides = [
  ["Gen Slide One", "Body with R&D and café", null],
  ["Gen Slide Two", "Multiple   inner spaces", "Gen speaker note"],
  ["Gen Slide Three", "Plain ASCII closing words", null],
];

for (const [title, body, notes] of slides) {
  const s = pptx.addSlide({ masterName: "TITLE_BODY" });
  s.addText(title, { placeholder: "title" });
  s.addText(body, { placeholder: "body" });
  if (notes) s.addNotes(notes);
}

// PptxGenJS 4.0.1's writeFile() under Node ignores { compression: true } and
// stores every member uncompressed; stream() honours it, so use that and write
// the deflated zip ourselves.
pptx.stream({ compression: true }).then((buf) => {
  require("fs").writeFileSync(out, buf);
  console.log("wrote", out);
});
