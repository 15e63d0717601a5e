#!/usr/bin/env python3
"""Cuts the loopback weather server's demo data out of the real-world reports beside the repository.

    tools/wx-server/make_snapshot.py [--source ../shared/data] [--out tools/wx-server/data]

Writes, all plain ASCII:
  metar.txt        one METAR per line, from one snapshot of the aviation weather center's METAR cache
  synop.txt        one SYNOP per line with its section header, e.g. "AAXX 31001 78310 01470 70303 ... 92013="
  taf.txt          one TAF per line, each followed by an empty line (the TAF store cuts a forecast at it)
  history/         the METARs of an earlier snapshot of the same day (European stations only) and the SYNOPs,
                   under the names the history download asks for
  historywx.xml    the index of the history folder
The server information document (aerovane_info.xml) and the README are written by hand.
"""

import argparse
import csv
import datetime
import io
import os
import re

METAR_SNAPSHOT = "metar/awc-2022-10-22T1912Z.csv"
HISTORY_SNAPSHOT = "metar/awc-2022-10-22T0252Z.csv"
# The history index lists the earlier snapshot at the half hour the history dialog rounds to.
HISTORY_DATE = ("2022", "10", "22", "03", "00")
SYNOP_FILES = ["synop/gts_data__WX.00"]
SYNOP_PATTERN = "synop/wis2box_data__"
TAF_FILE = "taf/metar-taf-pairs.tsv"

# The weather center's CSV starts with a few lines of notes before its header row.
CSV_HEADER_PREFIX = "raw_text,"


def is_ascii(text):
    return all(32 <= ord(c) < 127 for c in text)


def read_metars(path, keep=lambda icao: True):
    with open(path, encoding="latin-1") as handle:
        lines = handle.read().splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith(CSV_HEADER_PREFIX))
    reports = []
    seen = set()
    for row in csv.DictReader(io.StringIO("\n".join(lines[start:]))):
        raw = " ".join(row["raw_text"].split())
        icao = raw.split(" ", 1)[0] if raw else ""
        if not raw or not is_ascii(raw) or raw in seen or not keep(icao):
            continue
        seen.add(raw)
        reports.append(raw)
    return reports


def synop_reports(text):
    """The reports of the AAXX sections of a bulletin, each joined into one line behind its section header."""
    reports = []
    header = None
    for chunk in re.split(r"(?<==)", text.replace("\r", "")):
        words = chunk.split()
        if not words:
            continue
        # A new bulletin or section header ("AAXX 31001") precedes the first report of its section.
        if "AAXX" in words:
            at = words.index("AAXX")
            header = words[at : at + 2]
            words = words[at + 2 :]
        elif "NNNN" in words or "ZCZC" in words:
            header = None
            continue
        if header is None or len(words) < 3 or words[1].lower().startswith("nil"):
            continue
        line = " ".join(header + words)
        if is_ascii(line):
            reports.append(line if line.endswith("=") else line + "=")
    return reports


def read_synops(source):
    paths = [os.path.join(source, name) for name in SYNOP_FILES]
    folder = os.path.join(source, os.path.dirname(SYNOP_PATTERN))
    prefix = os.path.basename(SYNOP_PATTERN)
    paths += sorted(os.path.join(folder, name) for name in os.listdir(folder)
                    if name.startswith(prefix) and name.endswith(".txt"))
    reports = []
    seen = set()
    for path in paths:
        with open(path, encoding="latin-1") as handle:
            for report in synop_reports(handle.read()):
                if report not in seen:
                    seen.add(report)
                    reports.append(report)
    return reports


def read_tafs(source):
    tafs = []
    seen = set()
    with open(os.path.join(source, TAF_FILE), encoding="latin-1") as handle:
        for row in csv.DictReader(handle, delimiter="\t"):
            taf = " ".join((row.get("taf") or "").split())
            if taf and is_ascii(taf) and taf not in seen:
                seen.add(taf)
                tafs.append(taf)
    return tafs


def write_lines(path, lines, separator="\n"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="ascii", newline="\n") as handle:
        for line in lines:
            handle.write(line + separator)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", default=os.path.join(here, "..", "..", "..", "shared", "data"))
    parser.add_argument("--out", default=os.path.join(here, "data"))
    args = parser.parse_args()

    metars = read_metars(os.path.join(args.source, METAR_SNAPSHOT))
    synops = read_synops(args.source)
    tafs = read_tafs(args.source)
    write_lines(os.path.join(args.out, "metar.txt"), metars)
    write_lines(os.path.join(args.out, "synop.txt"), synops)
    write_lines(os.path.join(args.out, "taf.txt"), tafs, "\n\n")

    year, month, day, hour, minute = HISTORY_DATE
    european = read_metars(os.path.join(args.source, HISTORY_SNAPSHOT), lambda icao: icao[:1] in ("E", "L"))
    history = os.path.join(args.out, "history")
    write_lines(os.path.join(history, f"metar_noaa_{year}-{month}-{day}_{hour}_{minute}_00"), european)
    write_lines(os.path.join(history, f"synop_{year}-{month}-{day}_{hour}_00_00"), synops)
    # The history dialog offers the days after the index's first entry: a day earlier opens the range.
    earlier = datetime.date(int(year), int(month), int(day)) - datetime.timedelta(days=1)
    index = ["<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<dates_available>",
             f"  <date>{earlier.isoformat()} {hour}:{minute}:00</date>",
             f"  <date>{year}-{month}-{day} {hour}:{minute}:00</date>", "</dates_available>"]
    write_lines(os.path.join(args.out, "historywx.xml"), index)

    print(f"{len(metars)} METARs, {len(synops)} SYNOPs, {len(tafs)} TAFs, {len(european)} history METARs")


if __name__ == "__main__":
    main()
