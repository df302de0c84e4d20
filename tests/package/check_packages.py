#!/usr/bin/env python3
"""Checks the Linux packages as a user receives them.

The .deb must hold exactly the installed tree (the module, quillet-host, its manual page and the
README and licence, with their modes), its control fields must name the package, version and architecture and depend on
the packages of every library the binaries link, the .tar.gz must hold the very same tree, and
the host unpacked from the .deb must find its module by itself and read a document's title.
"""

import argparse
import gzip
import io
import json
import os
import subprocess
import sys
import tarfile
import tempfile
import zipfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

DOC_DIR = "usr/share/doc/quillet"
HOST = "usr/bin/quillet-host"
MODULE = "usr/lib/quillet/Quillet.wdx"
MANUAL = "usr/share/man/man1/quillet-host.1.gz"
DUBLIN_CORE_TITLE = "{http://purl.org/dc/elements/1.1/}title"


def expected_files():
    """Path in the package -> mode, for every file an installation must hold."""
    return {
        HOST: 0o755,
        MODULE: 0o644,
        MANUAL: 0o644,
        f"{DOC_DIR}/README.md": 0o644,
        f"{DOC_DIR}/LICENSE": 0o644,
    }


def source_of(path, source_dir):
    """The source file and the bytes it must have in the package, for the documents."""
    if path == MANUAL:
        return source_dir / "tools" / "quillet-host.1", gzip.decompress
    if path.startswith(DOC_DIR + "/"):
        return source_dir / path[len(DOC_DIR) + 1:], lambda data: data
    return None, None


def parent_dirs(paths):
    dirs = set()
    for path in paths:
        parent = Path(path).parent
        while str(parent) != ".":
            dirs.add(str(parent))
            parent = parent.parent
    return dirs


def read_tree(archive):
    """Reads a tar archive into (files: path -> (mode, bytes), dirs, others)."""
    files, dirs, others = {}, set(), []
    for member in archive.getmembers():
        name = os.path.normpath(member.name)
        if name == ".":
            continue
        if member.isdir():
            dirs.add(name)
        elif member.isfile():
            files[name] = (member.mode & 0o7777, archive.extractfile(member).read())
        else:
            others.append(name)
    return files, dirs, others


def deb_tree(deb):
    data = subprocess.run(["dpkg-deb", "--fsys-tarfile", str(deb)], check=True,
                          capture_output=True).stdout
    with tarfile.open(fileobj=io.BytesIO(data)) as archive:
        return read_tree(archive)


def tgz_tree(tgz):
    with tarfile.open(tgz, "r:gz") as archive:
        return read_tree(archive)


def check_tree(label, tree, expected, source_dir):
    files, dirs, others = tree
    failures = []
    missing = sorted(set(expected) - set(files))
    extra = sorted(set(files) - set(expected))
    if missing:
        failures.append(f"{label}: missing {missing}")
    if extra:
        failures.append(f"{label}: unexpected files {extra}")
    if others:
        failures.append(f"{label}: entries that are neither file nor folder {sorted(others)}")
    stray_dirs = sorted(dirs - parent_dirs(expected))
    if stray_dirs:
        failures.append(f"{label}: unexpected folders {stray_dirs}")
    for path, mode in expected.items():
        if path in files and files[path][0] != mode:
            failures.append(f"{label}: {path} has mode {files[path][0]:o}, not {mode:o}")
    for path in expected:
        source, unpack = source_of(path, source_dir)
        if source and path in files and unpack(files[path][1]) != source.read_bytes():
            failures.append(f"{label}: {path} differs from {source}")
    return failures


def check_same_tree(deb, tgz):
    failures = []
    if deb[1] != tgz[1]:
        failures.append(f"the .tar.gz folders differ from the .deb's: {sorted(deb[1] ^ tgz[1])}")
    for path in sorted(set(deb[0]) & set(tgz[0])):
        if deb[0][path] != tgz[0][path]:
            failures.append(f"{path} differs between the .deb and the .tar.gz")
    if set(deb[0]) != set(tgz[0]):
        failures.append(f"the .tar.gz files differ from the .deb's: "
                        f"{sorted(set(deb[0]) ^ set(tgz[0]))}")
    return failures


def control_fields(deb):
    output = subprocess.run(["dpkg-deb", "--field", str(deb)], check=True, capture_output=True,
                            text=True).stdout
    fields = {}
    for line in output.splitlines():
        if line and not line[0].isspace() and ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    return fields


def depended_packages(depends):
    """Package names of a Depends field, alternatives included, without versions."""
    names = set()
    for clause in depends.split(","):
        for alternative in clause.split("|"):
            names.add(alternative.split("(")[0].split(":")[0].strip())
    names.discard("")
    return names


def needed_libraries(binary):
    output = subprocess.run(["readelf", "--dynamic", str(binary)], check=True,
                            capture_output=True, text=True).stdout
    return [line.split("[", 1)[1].rstrip("]").strip()
            for line in output.splitlines() if "(NEEDED)" in line]


def library_path(soname):
    listing = subprocess.run(["ldconfig", "-p"], check=True, capture_output=True,
                             text=True).stdout
    for line in listing.splitlines():
        if line.strip().startswith(soname + " ") and "=>" in line:
            return line.split("=>", 1)[1].strip()
    return None


def owning_package(path):
    """The installed package that holds a library, trying the merged /usr spellings too."""
    candidates = []
    for spelling in (path, os.path.realpath(path)):
        candidates.append(spelling)
        candidates.append(spelling[4:] if spelling.startswith("/usr/") else "/usr" + spelling)
    for candidate in candidates:
        found = subprocess.run(["dpkg-query", "--search", candidate], capture_output=True,
                               text=True)
        if found.returncode == 0:
            return found.stdout.split(":", 1)[0].strip()
    return None


def check_control(deb, version, unpacked):
    fields = control_fields(deb)
    architecture = subprocess.run(["dpkg", "--print-architecture"], check=True,
                                  capture_output=True, text=True).stdout.strip()
    wanted = {"Package": "quillet", "Version": version, "Architecture": architecture,
              "Maintainer": "The Quillet developers"}
    failures = [f"control field {key} is {fields.get(key)!r}, not {value!r}"
                for key, value in wanted.items() if fields.get(key) != value]
    if not fields.get("Description"):
        failures.append("the control fields hold no description")
    depends = depended_packages(fields.get("Depends", ""))
    for binary in (HOST, MODULE):
        for soname in needed_libraries(unpacked / binary):
            path = library_path(soname)
            package = owning_package(path) if path else None
            if package is None:
                failures.append(f"{binary} needs {soname}, which no installed package holds")
            elif package not in depends:
                failures.append(f"{binary} needs {soname} from {package}, "
                                f"which Depends ({fields.get('Depends')!r}) does not name")
    return failures


def document_title(document):
    with zipfile.ZipFile(document) as package:
        core = ElementTree.fromstring(package.read("docProps/core.xml"))
    title = core.find(DUBLIN_CORE_TITLE)
    return title.text if title is not None else None


def run_host(unpacked, document, extra):
    environment = dict(os.environ, LC_ALL="C.UTF-8")
    return subprocess.run([str(unpacked / HOST), *extra, "--json", str(document)],
                          capture_output=True, text=True, env=environment, timeout=120,
                          cwd=unpacked)


def field_value(output, name):
    lines = output.splitlines()
    if len(lines) != 1:
        return None
    for field in json.loads(lines[0]).get("fields", []):
        if field.get("name") == name:
            return field.get("value")
    return None


def check_host(unpacked, document):
    title = document_title(document)
    if not title:
        return [f"{document} has no title to look for"]
    run = run_host(unpacked, document, [])
    if run.returncode != 0:
        # Tell a module that does not work from one the host did not find by itself.
        explicit = run_host(unpacked, document, ["--module", str(unpacked / MODULE)])
        return [f"the installed quillet-host exits {run.returncode} without --module: "
                f"{run.stderr.strip()!r}; with --module {MODULE} it exits "
                f"{explicit.returncode}"]
    shown = field_value(run.stdout, "Title")
    if shown != title:
        return [f"the installed quillet-host shows the title {shown!r}, not {title!r}"]
    return []


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--deb", type=Path, required=True)
    parser.add_argument("--tgz", type=Path, required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--source-dir", type=Path, required=True)
    parser.add_argument("--document", type=Path, required=True)
    args = parser.parse_args()

    expected = expected_files()
    deb = deb_tree(args.deb)
    tgz = tgz_tree(args.tgz)
    failures = check_tree(args.deb.name, deb, expected, args.source_dir)
    failures += check_tree(args.tgz.name, tgz, expected, args.source_dir)
    failures += check_same_tree(deb, tgz)
    with tempfile.TemporaryDirectory() as root:
        unpacked = Path(root)
        subprocess.run(["dpkg-deb", "-x", str(args.deb), root], check=True)
        failures += check_control(args.deb, args.version, unpacked)
        failures += check_host(unpacked, args.document.resolve())
    for failure in failures:
        print(f"FAIL: {failure}")
    if not failures:
        print(f"{args.deb.name} and {args.tgz.name}: {len(expected)} files each, as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
