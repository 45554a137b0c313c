#!/usr/bin/python3
"""Rules that sites set for passwords, each met by one command.

    site_rules_test.py SORVANE-CLI WORD-LIST

Each command runs with -n 1000 -v. Every output must meet its rule, as checked
here from the rule alone, and all must differ; the status must be 0; and -v
must tell the least information, no more than log2 of a count made here of
the strings the command could print, so that a figure that overstates fails.
"""
import math
import os
import re
import shlex
import string
import subprocess
import sys

COUNT = 1000
LEAST = re.compile(r"each carries at least (\d+(?:\.\d+)?) bits of information")
# What the commands draw from: letters and digits less the look-alikes
# 0Ooli1Ij unless --allow-similar lets them in, and +-./:_ for a bare --symbols.
ALNUM = set(string.ascii_letters + string.digits)
PLAIN = ALNUM - set("0Ooli1Ij")
SYMBOLS = set("+-./:_")
PRINTABLE = {chr(c) for c in range(33, 127)}


def kinds(p):
    return [any(c.islower() for c in p), any(c.isupper() for c in p),
            any(c.isdigit() for c in p), any(c in PRINTABLE - ALNUM for c in p)]


def rules(words):
    """(rule, arguments, does a password meet it, log2 of a count the
    command cannot exceed)."""
    lg = math.log2
    return [
        ("8-16 chars: capital, small, digit, one of !@#$%",
         ["-l", "16", "--symbols=!@#$%", "--every-kind"],
         lambda p: 8 <= len(p) <= 16 and all(kinds(p)[:3]) and set(p) <= ALNUM | set("!@#$%")
         and any(c in "!@#$%" for c in p), 16 * lg(len(PLAIN) + 5)),
        ("6-digit PIN", ["-t", "digits", "-l", "6", "--allow-similar", "--allow-repeats"],
         lambda p: len(p) == 6 and set(p) <= set(string.digits), 6 * lg(10)),
        ("20 letters and digits", ["-l", "20"],
         lambda p: len(p) == 20 and set(p) <= ALNUM, 20 * lg(len(PLAIN))),
        ("16 chars, none of <>&'\"", ["-l", "16", "--symbols"],
         lambda p: len(p) == 16 and set(p) <= PRINTABLE - set("<>&'\""),
         16 * lg(len(PLAIN | SYMBOLS))),
        ("5 capitalised words joined by -", ["--words=5", "--separator=-", "--capitalize"],
         lambda p: len(p.split("-")) == 5 and all(
             w[:1].isupper() and w[:1].lower() + w[1:] in words for w in p.split("-")),
         5 * lg(len([w for w in words if "-" not in w]))),
        ("80 bits at least, as short as possible", ["--symbols", "--min-bits=80"],
         lambda p: set(p) <= PLAIN | SYMBOLS, None),
        ("12 chars, the only symbols _ and -", ["-l", "12", "--symbols=_-"],
         lambda p: len(p) == 12 and set(p) <= ALNUM | set("_-"), 12 * lg(len(PLAIN) + 2)),
        ("14 chars, 3 of the 4 kinds", ["-l", "14", "--every-kind"],
         lambda p: len(p) == 14 and set(p) <= PRINTABLE and sum(kinds(p)) >= 3,
         14 * lg(len(PLAIN))),
        # The option folds case, so neither a nor A may follow an a.
        ("8 letters and digits, none twice", ["-l", "8", "--no-repeats"],
         lambda p: len(p) == 8 and set(p) <= ALNUM and len(set(p.lower())) == 8,
         sum(lg(len(PLAIN) - k) for k in range(8))),
        ("10 chars, none of 0 O o l 1 I", ["-l", "10"],
         lambda p: len(p) == 10 and set(p) <= ALNUM - set("0Ool1I"), 10 * lg(len(PLAIN))),
        ("30 chars of printable ASCII (Wi-Fi)",
         ["-l", "30", "--allow-similar", "--symbols=" + string.punctuation],
         lambda p: len(p) == 30 and set(p) <= PRINTABLE, 30 * lg(len(PRINTABLE))),
        # Small letters, spaces and the hyphen of the list's four words such
        # as t-shirt: nothing that needs a phone's capitals.
        ("4 words typed on a phone: small letters", ["--words=4"],
         lambda p: len(p.split(" ")) == 4 and all(w in words for w in p.split(" ")) and
         re.fullmatch(r"[a-z -]+", p) is not None, 4 * lg(len(words))),
    ]


def run(program, arguments):
    result = subprocess.run([program, *arguments], capture_output=True, text=True,
                            encoding="utf-8", errors="replace")
    lines = result.stdout.split("\n")
    if lines[-1] == "":
        lines.pop()
    least = LEAST.search(result.stderr)
    return result.returncode, lines, float(least.group(1)) if least else None, result.stderr


def main():
    program, word_file = os.path.abspath(sys.argv[1]), sys.argv[2]
    with open(word_file, encoding="utf-8") as source:
        words = {line.split()[-1] for line in source if line.strip()}
    failures, rows = [], []
    for number, (rule, arguments, meets, most) in enumerate(rules(words), 1):
        status, outputs, least, stderr = run(program, arguments + ["-n", str(COUNT), "-v"])
        met = sum(1 for p in outputs if meets(p))

        def fail(why):
            failures.append("rule %d (%s): %s" % (number, rule, why))
        if status != 0:
            fail("exit status %d: %s" % (status, stderr.strip()))
        if len(outputs) != COUNT or met != COUNT:
            fail("%d outputs, %d meet the rule; first that fails: %r" % (
                len(outputs), met, next((p for p in outputs if not meets(p)), None)))
        if len(set(outputs)) != len(outputs):
            fail("%d outputs repeat" % (len(outputs) - len(set(outputs))))
        if least is None:
            fail("-v tells no least information: %r" % stderr)
        elif most is None:  # the --min-bits rule: one character less falls short
            length = len(outputs[0]) if outputs else 0
            shorter = run(program, [a for a in arguments if not a.startswith("--min-bits")]
                          + ["-l", str(length - 1), "-v"])[2]
            most = length * math.log2(len(PLAIN | SYMBOLS))
            if {len(p) for p in outputs} != {length} or least < 80 or \
                    shorter is None or shorter >= 80:
                fail("length %d, least %.1f bits; at %d: %s" % (
                    length, least, length - 1, shorter))
        if least is not None and least > most + 1e-9:
            fail("least %.1f bits, more than the %.2f bits of every string it can print"
                 % (least, most))
        rows.append(("%d. %s" % (number, rule), shlex.join(["sorvane-cli", *arguments]),
                     "%d" % met, "-" if least is None else "%.1f bits" % least))
    header = ("rule", "command (each run with -n %d -v)" % COUNT,
              "meet the rule (of %d)" % COUNT, "least information")
    widths = [max(len(row[i]) for row in rows + [header]) for i in range(4)]
    for row in [header, tuple("-" * w for w in widths)] + rows:
        print(" | ".join(cell.ljust(w) for cell, w in zip(row, widths)).rstrip())
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
