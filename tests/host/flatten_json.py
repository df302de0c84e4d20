"""Reads quillet-host --json output and prints it flattened, one tab-separated line per value.

Each line of the input must be one JSON object, and the whole input UTF-8, whatever bytes the
file names and texts held.
"""
import json
import sys


def main():
    text = sys.stdin.buffer.read().decode("utf-8")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    for line in lines:
        obj = json.loads(line)
        if not isinstance(obj, dict):
            raise SystemExit("not an object: " + line[:80])
        # A name that is not UTF-8 is shown with its exact bytes in base64.
        name = obj.get("file", "") + (" " + obj["fileBytes"] if "fileBytes" in obj else "")
        if "detectString" in obj:
            print("detect", ascii(obj["detectString"]), sep="\t")
        elif "fieldTable" in obj:
            for row in obj["fieldTable"]:
                print("row", row["index"], row["name"], row["type"], row["typeCode"],
                      ascii(row["units"]), sep="\t")
        elif "error" in obj:
            print("error", name, obj["error"], sep="\t")
        else:
            for field in obj["fields"]:
                value = field["value"]
                extra = "".join("\t%s=%s" % (key, field[key])
                                for key in ("answer", "cut", "valueBytes") if key in field)
                print(name, field["index"], field["name"], field["type"], type(value).__name__,
                      ascii(value), sep="\t", end=extra + "\n")


main()
