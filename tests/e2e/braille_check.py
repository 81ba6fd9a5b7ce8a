#!/usr/bin/env python3
# What a braille reader got, from the virtual display's log (braille_lib.sh)
# and the scenario's notes of each step:
#
#   braille_check.py LABEL STEPS DISPLAY_LOG [strict|panning]
#
# STEPS holds one line per step the scenario read on the display, tab
# separated: the text the step brought (its lines as the display is to show
# them; where they come one after another, separated by a record separator,
# only the last is read), the display's view number before the step's key, after its first
# view settled, and after its pans right; then "played" or "stuck" for
# whether the next key still played after panning past the end. For every
# step it asks: does the first view begin with the text's first characters
# (a blank flash before it counts against it), does panning reach the
# text's end, and did the next key play. It prints each step that fails and
# a table row; with "strict" it fails unless every step passed, with
# "panning" unless every step's panning reached its end and the next key
# played.
import re
import sys

label, steps_file, log_file = sys.argv[1:4]
demand = sys.argv[4] if len(sys.argv) > 4 else ""


def unescape(text):
    # BRLTTY's strings: \\ \" and \Xhh.
    text = re.sub(r"\\X([0-9A-Fa-f]{2})", lambda m: chr(int(m.group(1), 16)), text)
    return re.sub(r"\\(.)", r"\1", text)


cells = 40  # the scenarios' display
views = [unescape(m.group(1)) for m in
         (re.match(r'^[0-9.]+ Visual "(.*)"$', line.rstrip("\n")) for line in open(log_file))
         if m]
rows = []
for line in open(steps_file):
    text, before, first, panned, played = line.rstrip("\n").split("\t")
    before, first, panned = int(before), int(first), int(panned)
    *earlier, text = text.split("\x1e")
    earlier = {line[:cells].rstrip() for line in earlier}
    # A text equal to the one shown leaves the display as it was.
    shown = views[before:first] or views[max(0, before - 1):before]
    first_view = shown[-1].rstrip() if shown else ""
    # The view the reader meets first: the text from its first cell, with
    # nothing else flashed before it (a blank display meanwhile is no view,
    # and the step's earlier lines, each shown in its turn, are no flash).
    flashed = [v.rstrip() for v in shown[:-1] if v.strip() and v.rstrip() not in earlier]
    begins = bool(first_view) and first_view == text[:cells].rstrip() and not flashed
    # Panning shows the text's end at some point: a view that is its last
    # characters (at least 10, or all of a short text).
    ends = [v.rstrip() for v in (views[before:panned] or shown)]
    # (A screen reader's view may start a cell before the line.)
    reaches = any(v and text.endswith(v) and
                  (len(v) >= min(len(text), 10) or (len(text) - len(v)) % cells in (0, cells - 1))
                  for v in ends) or any(v.endswith(text[-min(len(text), 10):]) for v in ends)
    rows.append((text, begins, reaches, played == "played", first_view, flashed))

total = len(rows)
begins = sum(1 for r in rows if r[1])
reaches = sum(1 for r in rows if r[2])
plays = sum(1 for r in rows if r[3])
for text, b, r, p, first_view, flashed in rows:
    if not (b and r and p):
        print(f"  braille: {text[:60]!r}: first view {first_view!r}"
              + (f" after {flashed!r}" if flashed else "")
              + ("" if r else ", panning did not reach its end")
              + ("" if p else ", the next key did not play"))
print("braille table: | front-end | lines | first view begins with the line | "
      "panning reaches the end | next key plays after panning past the end |")
print(f"braille table: | {label} | {total} | {begins} | {reaches} | {plays} |")
if demand == "strict":
    sys.exit(0 if begins == reaches == plays == total else 1)
if demand == "panning":
    sys.exit(0 if reaches == plays == total else 1)
