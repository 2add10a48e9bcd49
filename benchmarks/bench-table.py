#!/usr/bin/env python3
"""Turns the rows that the benchmark programs print (one JSON object a line) into the table of
scripts/bench.sh and into one JSON document for machines.

  bench-table.py ROWS.jsonl [--json OUT.json] [--load-before TEXT] [--load-after TEXT]

For each row: our median with min and max, each peer's, the ratio of our median to the peer's
(our figure over the peer's: a speed where higher is better, a time where lower is), and whether
the row meets its target.
"""

import argparse
import json
import statistics
import sys


def summary(values):
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values), "runs": len(values)}


def figure(stats):
    if stats is None:
        return "-"
    return "%s [%s-%s]" % (number(stats["median"]), number(stats["min"]), number(stats["max"]))


def number(value):
    if value >= 1000:
        return "{:,.0f}".format(value)
    if value >= 100:
        return "%.0f" % value
    if value >= 10:
        return "%.1f" % value
    return "%.2f" % value


def meets(ratio, target):
    if ratio is None:
        return None
    return {">=": ratio >= target["ratio"], "<=": ratio <= target["ratio"], ">": ratio > target["ratio"]}[target["op"]]


def evaluate(row):
    ours = summary(row["ours"]["values"])
    peers = []
    for peer in row["peers"]:
        stats = summary(peer["values"])
        ratio = ours["median"] / stats["median"] if ours and stats else None
        targets = [t for t in row["targets"] if t["peer"] == peer["name"]]
        target = targets[0] if targets else None
        peers.append({"name": peer["name"], "stats": stats, "ratio": ratio, "target": target,
                      "met": meets(ratio, target) if target else None})
    notes = [{"name": n["name"], "stats": summary(n["values"])} for n in row["notes"]]
    return {"id": row["id"], "title": row["title"], "unit": row["unit"],
            "ours": {"name": row["ours"]["name"], "stats": ours}, "peers": peers, "notes": notes,
            "remark": row.get("remark", "")}


def table(rows):
    header = ["hot path", "unit", "ours: median [min-max]", "peer", "peer: median [min-max]", "ratio",
              "target", "met"]
    lines = []
    for row in rows:
        for index, peer in enumerate(row["peers"]):
            target = peer["target"]
            met = {True: "yes", False: "NO", None: ""}[peer["met"]]
            if peer["ratio"] is None and target:
                met = "not measured"
            lines.append([row["title"] if index == 0 else "", row["unit"] if index == 0 else "",
                          figure(row["ours"]["stats"]) if index == 0 else "", peer["name"],
                          figure(peer["stats"]), "%.2f" % peer["ratio"] if peer["ratio"] is not None else "-",
                          "%s %g" % (target["op"], target["ratio"]) if target else "", met])
    # A peer such as "curl | pigz" must not split its cell.
    lines = [[str(cell).replace("|", "\\|") for cell in line] for line in lines]
    widths = [max(len(str(line[i])) for line in lines + [header]) for i in range(len(header))]
    out = []
    for line in [header, ["-" * w for w in widths]] + lines:
        out.append("| " + " | ".join(str(cell).ljust(width) for cell, width in zip(line, widths)) + " |")
    return "\n".join(out)


def notes(rows):
    out = []
    for row in rows:
        for note in row["notes"]:
            out.append("- %s: %s %s" % (row["title"], note["name"], figure(note["stats"])))
        if row["remark"]:
            out.append("- %s: %s" % (row["title"], row["remark"]))
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("rows")
    parser.add_argument("--json")
    parser.add_argument("--load-before", default="")
    parser.add_argument("--load-after", default="")
    args = parser.parse_args()
    with open(args.rows, encoding="utf-8") as source:
        rows = [evaluate(json.loads(line)) for line in source if line.strip()]
    document = {"load_before": args.load_before, "load_after": args.load_after, "rows": rows}
    print(table(rows))
    print()
    print(notes(rows))
    if args.load_before or args.load_after:
        print()
        print("Load before: %s" % args.load_before.strip())
        print("Load after:  %s" % args.load_after.strip())
    text = json.dumps(document, indent=2)
    if args.json:
        with open(args.json, "w", encoding="utf-8") as out:
            out.write(text + "\n")
    print()
    print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
