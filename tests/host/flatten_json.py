"""Reads quillet-host --json output and prints it flattened, one tab-separated line per value.

Each line of the input must be one JSON object. The module's texts are in the user's code page,
so the input is decoded as Latin-1, which maps every byte to one character.
"""
import json
import sys


def main():
    text = sys.stdin.buffer.read().decode("latin-1")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    for line in lines:
        obj = json.loads(line)
        if not isinstance(obj, dict):
            raise SystemExit("not an object: " + line[:80])
        if "detectString" in obj:
            print("detect", ascii(obj["detectString"]), sep="\t")
        elif "fieldTable" in obj:
            for row in obj["fieldTable"]:
                print("row", row["index"], row["name"], row["type"], row["typeCode"],
                      ascii(row["units"]), sep="\t")
        elif "error" in obj:
            print("error", obj["file"], obj["error"], sep="\t")
        else:
            for field in obj["fields"]:
                value = field["value"]
                extra = "".join("\t%s=%s" % (key, field[key])
                                for key in ("answer", "cut") if key in field)
                print(obj["file"], field["index"], field["name"], field["type"],
                      type(value).__name__, ascii(value), sep="\t", end=extra + "\n")


main()
