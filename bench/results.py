#!/usr/bin/env python3
"""The benchmarks' result lines and the table that bench/run-all.sh prints from them.

Every benchmark prints, beside its own human output, one line per figure:

  RESULT<TAB>figure<TAB>value<TAB>unit<TAB>baseline<TAB>ratio<TAB>goal<TAB>met<TAB>baseline is

  value, baseline  numbers in `unit`; the baseline is measured in the same run
  ratio            value / baseline
  goal             "value<20", "ratio>=0.95": which of the two the goal is about, and its bound
  met              "yes" or "no"
  baseline is      what the baseline measures ("curl.exe", "bare window", ...)

The C++ benchmarks write the same line through bench/bench_result.h.

  results.py table <folder> <benchmark>...

reads <folder>/<benchmark>.out (its output) and <folder>/<benchmark>.rc (its exit code) for
each benchmark, prints the table, and exits 1 when a benchmark did not run to the end or
printed no well-formed result, 0 otherwise (a missed goal is a finding, not a failure).
"""

import operator
import re
import sys

COMPARISONS = {"<": operator.lt, "<=": operator.le, ">": operator.gt, ">=": operator.ge}
GOAL = re.compile(r"^(value|ratio)(<=|>=|<|>)(-?[0-9.]+(?:e[-+]?[0-9]+)?)$")


def goal_met(goal, value, ratio):
    subject, comparison, bound = GOAL.match(goal).groups()
    return COMPARISONS[comparison](value if subject == "value" else ratio, float(bound))


def result_line(figure, value, unit, baseline, baseline_is, goal):
    """The RESULT line of one figure; the ratio and whether the goal is met follow from it."""
    ratio = value / baseline if baseline else float("nan")
    met = "yes" if goal_met(goal, value, ratio) else "no"
    return "\t".join(["RESULT", figure, "%.6g" % value, unit, "%.6g" % baseline, "%.6g" % ratio, goal, met,
                      baseline_is])


def parse(line):
    """A RESULT line as a dict, or None when it is not one or is malformed."""
    fields = line.rstrip("\r\n").split("\t")
    if len(fields) != 9 or fields[0] != "RESULT":
        return None
    _, figure, value, unit, baseline, ratio, goal, met, baseline_is = fields
    try:
        numbers = [float(value), float(baseline), float(ratio)]
    except ValueError:
        return None
    if not figure or not GOAL.match(goal) or met not in ("yes", "no") or any(n != n for n in numbers):
        return None
    return {"figure": figure, "value": numbers[0], "unit": unit, "baseline": numbers[1], "ratio": numbers[2],
            "goal": goal, "met": met, "baseline_is": baseline_is}


def number(x):
    """Few digits, enough to compare: 316, 69.2, 4.50, 0.0384."""
    magnitude = abs(x)
    if magnitude >= 1000:
        return "%.0f" % x
    if magnitude >= 100:
        return "%.1f" % x
    if magnitude >= 1:
        return "%.2f" % x
    return "%#.3g" % x


def goal_text(goal, unit):
    subject, comparison, bound = GOAL.match(goal).groups()
    if subject == "ratio":
        return "ratio %s %s" % (comparison, bound)
    return "%s %s %s" % (comparison, bound, unit)


def read_benchmark(folder, name):
    """(results, problem): the benchmark's RESULT lines, and why it counts as failed, if it does."""
    try:
        with open("%s/%s.rc" % (folder, name)) as source:
            code = int(source.read().strip() or "-1")
    except (OSError, ValueError):
        code = None
    results, malformed = [], 0
    try:
        with open("%s/%s.out" % (folder, name), encoding="utf-8", errors="replace") as source:
            for line in source:
                if line.startswith("RESULT\t"):
                    parsed = parse(line)
                    if parsed:
                        results.append(parsed)
                    else:
                        malformed += 1
    except OSError:
        pass
    if code is None:
        return results, "no exit code recorded"
    if code != 0:
        return results, "exited with %d" % code
    if malformed:
        return results, "%d malformed result line(s)" % malformed
    if not results:
        return results, "printed no result"
    return results, None


def table(folder, names):
    rows, failures = [], []
    for name in names:
        results, problem = read_benchmark(folder, name)
        for r in results:
            rows.append([name, r["figure"], "%s %s" % (number(r["value"]), r["unit"]),
                         "%s %s" % (number(r["baseline"]), r["unit"]), r["baseline_is"],
                         number(r["ratio"]), goal_text(r["goal"], r["unit"]), r["met"]])
        if problem:
            failures.append(name)
            rows.append([name, "FAILED: %s (log: %s/%s.log)" % (problem, folder, name)])

    header = ["benchmark", "figure", "value", "baseline", "baseline is", "ratio", "goal", "met"]
    figures = [row for row in rows if len(row) == len(header)]
    widths = [max(len(row[i]) for row in figures + [header]) for i in range(len(header))]
    right = {2, 3, 5}  # numbers line up on the right

    def show(row):
        cells = [cell.rjust(widths[i]) if i in right else cell.ljust(widths[i]) for i, cell in enumerate(row)]
        print("  ".join(cells).rstrip())

    show(header)
    show(["-" * w for w in widths])
    for row in rows:
        show(row)
    met = sum(1 for row in figures if row[-1] == "yes")
    print()
    print("%d figures, %d goals met, %d missed%s" % (
        len(figures), met, len(figures) - met,
        "; benchmarks that failed to run: " + ", ".join(failures) if failures else ""))
    return 1 if failures else 0


def main(arguments):
    if len(arguments) >= 3 and arguments[0] == "table":
        return table(arguments[1], arguments[2:])
    print("usage: results.py table <folder> <benchmark>...", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
