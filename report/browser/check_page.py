"""Compares the figures of a rendered report page with summary.json.

Every element with a data-k attribute shows the summary's figure at that path
("stations/0/slots/2/tested"); the page rounds fractions to a tenth of a percent and other
numbers to six significant digits. Also checks the keys other tools rely on and that the
sorting script ran (it marks the headers it handles).
"""
import json
import sys
from html.parser import HTMLParser

VOID = {"br", "img", "meta", "link", "input", "hr", "line", "rect", "polyline", "circle"}


class Figures(HTMLParser):
    def __init__(self):
        super().__init__()
        self.open = []  # [tag, key or None, text parts]
        self.figures = []
        self.sortable_headers = 0
        self.marked_headers = 0
        self.in_sortable = 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "table" and "sortable" in (attrs.get("class") or ""):
            self.in_sortable += 1
        if tag == "th" and self.in_sortable:
            self.sortable_headers += 1
            self.marked_headers += "sort" in (attrs.get("class") or "").split()
        if tag not in VOID:
            self.open.append([tag, attrs.get("data-k"), []])

    def handle_endtag(self, tag):
        if tag == "table" and self.in_sortable:
            self.in_sortable -= 1
        while self.open:
            name, key, parts = self.open.pop()
            if key is not None:
                self.figures.append((key, "".join(parts).strip()))
            if self.open:
                self.open[-1][2].extend(parts)
            if name == tag:
                break

    def handle_data(self, data):
        if self.open:
            self.open[-1][2].append(data)


def at(summary, key):
    value = summary
    for part in key.split("/"):
        value = value[int(part)] if isinstance(value, list) else value[part]
    return value


def matches(shown, value):
    if value is None:
        return shown == "–"
    if isinstance(value, str):
        return shown == value
    if shown.endswith("%"):
        return abs(float(shown[:-1]) - value * 100) <= 0.05 + 1e-9
    if isinstance(value, int) and not isinstance(value, bool):
        return shown == str(value)
    return abs(float(shown) - value) <= 1e-5 * max(1.0, abs(value))


def main(dom_path, summary_path):
    with open(summary_path, encoding="utf-8") as f:
        summary = json.load(f)
    page = Figures()
    with open(dom_path, encoding="utf-8") as f:
        dom = f.read()
    page.feed(dom)
    problems = []
    for station in summary["stations"]:
        for key in ("name", "records", "no_result", "unparsed", "first_pass_yield",
                    "final_yield", "programming_yield", "rolled_yield", "slots", "pareto",
                    "pareto_first_test", "daily", "measurements"):
            if key not in station:
                problems.append(f"summary.json: station without {key}")
        for slot in station["slots"]:
            for key in ("slot", "tested", "passed", "failed", "programmed_ok", "programmed_failed"):
                if key not in slot:
                    problems.append(f"summary.json: slot without {key}")
        for measurement in station["measurements"]:
            for key in ("name", "count", "gross", "mean", "stddev", "sigma_within", "min", "max",
                        "cpk", "ppk", "by_slot", "limits", "control_chart", "out_of_control"):
                if key not in measurement:
                    problems.append(f"summary.json: measurement without {key}")
    for key, shown in page.figures:
        try:
            value = at(summary, key)
        except (KeyError, IndexError, ValueError):
            problems.append(f"the page shows {key} = {shown!r}, which summary.json lacks")
            continue
        try:
            good = matches(shown, value)
        except ValueError:
            good = False
        if not good:
            problems.append(f"{key}: the page shows {shown!r}, summary.json holds {value!r}")
    pareto_rows = sum(1 for key, _ in page.figures if key.endswith("/fails") and "/pareto/" in key)
    pareto_entries = sum(len(s["pareto"]) for s in summary["stations"])
    if pareto_rows != pareto_entries:
        problems.append(f"{pareto_rows} Pareto rows on the page, {pareto_entries} in summary.json")
    charts = sum(1 for s in summary["stations"] for m in s["measurements"] if m["control_chart"])
    drawn = dom.count("<title>control chart</title>")
    if charts == 0 or drawn != charts:
        problems.append(f"{drawn} control charts on the page, {charts} in summary.json")
    if len(page.figures) < 100:
        problems.append(f"only {len(page.figures)} figures found on the page")
    if page.sortable_headers == 0 or page.marked_headers != page.sortable_headers:
        problems.append(f"the sorting script marked {page.marked_headers} of "
                        f"{page.sortable_headers} sortable headers")
    for problem in problems[:30]:
        print("FAIL:", problem)
    print(f"{len(page.figures)} figures compared, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
