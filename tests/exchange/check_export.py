#!/usr/bin/env python3
"""Checks an export with real readers: the JSON Schema validator, Python's CSV reader and a
headless Chromium. Exit status 0 when every check passes; each fault is printed.

  check_export.py schema DOCUMENT SCHEMA
  check_export.py csv CSV_FOLDER DOCUMENT       (values of the tables equal the document's)
  check_export.py album ALBUM_FOLDER ID...      (index.html and the pages of the trees ID)
"""
import csv
import html.parser
import json
import os
import pathlib
import subprocess
import sys
import tempfile
import urllib.parse

faults = []


def fault(text):
    faults.append(text)
    print("FAULT:", text, file=sys.stderr)


def check_schema(document, schema):
    import jsonschema
    validator = jsonschema.Draft202012Validator(json.loads(pathlib.Path(schema).read_text("utf-8")))
    for error in validator.iter_errors(json.loads(pathlib.Path(document).read_text("utf-8"))):
        fault("schema: %s: %s" % ("/".join(map(str, error.absolute_path)), error.message))


def read_table(path):
    raw = pathlib.Path(path).read_bytes()
    if not raw.startswith(b"\xef\xbb\xbf"):
        fault("%s: no byte-order mark" % path)
    with open(path, newline="", encoding="utf-8-sig") as f:
        return list(csv.DictReader(f, strict=True))


def date_columns(iso, text):
    return (iso or "", "" if iso else text)


def check_csv(folder, document):
    doc = json.loads(pathlib.Path(document).read_text("utf-8"))
    folder = pathlib.Path(folder)
    trees, works, photos = [], [], []
    for t in doc["trees"]:
        acq = date_columns(t["acquisition_date"], t["acquisition_date_text"])
        made = date_columns(t["creation_date"], t["creation_date_text"])
        trees.append({"id": t["id"], "name": t["name"], "botanical_name": t["botanical_name"],
                      "cultivar": t["cultivar"], "common_name": t["common_name"],
                      "english_name": t["english_name"], "provenance": t["provenance"],
                      "acquisition_date": acq[0], "acquisition_date_text": acq[1], "age": t["age"],
                      "age_estimated": t["age_estimated"], "state": t["state"],
                      "price": t["price"], "notes": t["notes"], "creation_date": made[0],
                      "creation_date_text": made[1]})
        for n, w in enumerate(t["works"], 1):
            d = date_columns(w["date"], w["date_text"])
            works.append({"tree_id": t["id"], "line": str(n), "date": d[0], "date_text": d[1],
                          "type": w["type"], "comment": w["comment"]})
        for n, p in enumerate(t["photos"], 1):
            d = date_columns(p["date"], p["date_text"])
            photos.append({"tree_id": t["id"], "position": str(n), "file_name": p["file_name"],
                           "date": d[0], "date_text": d[1], "comment": p["comment"]})
    lists = []
    for name in ("types", "states"):
        for n, e in enumerate(doc["lists"][name] or [], 1):
            lists.append({"list": name, "position": str(n), "label": e["label"],
                          "common_name": "", "english_name": ""})
    for n, e in enumerate(doc["lists"]["botanical_names"] or [], 1):
        lists.append({"list": "botanical_names", "position": str(n), "label": e["latin"],
                      "common_name": e["common"], "english_name": e["english"]})
    for name, expected in (("trees", trees), ("works", works), ("photos", photos),
                           ("lists", lists)):
        rows = read_table(folder / (name + ".csv"))
        if rows != expected:
            fault("%s.csv differs from the document" % name)
            for got, want in zip(rows, expected):
                if got != want:
                    fault("  first difference: %r != %r" % (got, want))
                    break
            if len(rows) != len(expected):
                fault("  %d rows, %d expected" % (len(rows), len(expected)))


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.hidden_search, self.scripts_inline = [], None, 0
        self._in_script = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for name in ("src", "href"):
            if a.get(name) and tag in ("img", "script", "link", "a"):
                self.links.append(a[name])
        if tag == "p" and a.get("class") == "search":
            self.hidden_search = "hidden" in a
        if tag == "script" and "src" not in a:
            self.scripts_inline += 1


def check_page(album, page):
    url = page.as_uri()
    with tempfile.TemporaryDirectory() as profile:
        run = subprocess.run(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--user-data-dir=" + profile, "--enable-logging=stderr", "--v=0",
             "--virtual-time-budget=5000", "--dump-dom", url],
            capture_output=True, text=True, timeout=120)
    if run.returncode != 0:
        fault("%s: chromium ended with %d" % (page, run.returncode))
    for line in run.stderr.splitlines():
        if ":CONSOLE" in line or "Failed to load" in line or "ERR_FILE_NOT_FOUND" in line:
            fault("%s: %s" % (page.name, line))
    dom = Links()
    dom.feed(run.stdout)
    if dom.scripts_inline:
        fault("%s: inline script in the page" % page.name)
    for link in dom.links:
        parts = urllib.parse.urlsplit(link)
        if parts.scheme or parts.netloc or link.startswith("/"):
            fault("%s: link not relative: %s" % (page.name, link))
            continue
        target = (page.parent / urllib.parse.unquote(parts.path)).resolve()
        if not target.is_file():
            fault("%s: missing %s" % (page.name, link))
        elif album.resolve() not in target.parents:
            fault("%s: link leaves the album: %s" % (page.name, link))
    return dom


def check_album(folder, ids):
    album = pathlib.Path(folder).resolve()
    index = check_page(album, album / "index.html")
    if index.hidden_search is not False:
        fault("index.html: the script did not show the search box")
    for tree_id in ids:
        check_page(album, album / "trees" / (tree_id + ".html"))


def main():
    command, args = sys.argv[1], sys.argv[2:]
    {"schema": lambda: check_schema(*args), "csv": lambda: check_csv(*args),
     "album": lambda: check_album(args[0], args[1:])}[command]()
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
