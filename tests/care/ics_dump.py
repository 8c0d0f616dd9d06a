#!/usr/bin/env python3
"""Reads iCalendar files with the icalendar module and prints each event on one line:
UID, start, end, summary, description (line breaks shown as |), sorted by UID."""
import sys

import icalendar

for path in sys.argv[1:]:
    with open(path, "rb") as f:
        cal = icalendar.Calendar.from_ical(f.read())
    rows = []
    for ev in cal.walk("VEVENT"):
        rows.append("\t".join([
            str(ev["UID"]),
            ev.decoded("DTSTART").isoformat(),
            ev.decoded("DTEND").isoformat(),
            str(ev["SUMMARY"]),
            str(ev["DESCRIPTION"]).replace("\n", "|"),
            "alarm" if ev.walk("VALARM") else "no alarm",
        ]))
    for row in sorted(rows):
        print(row)
    print("--")
