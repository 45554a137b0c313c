#!/usr/bin/python3
"""The completion scripts keep up with the program.

    completion_options_test.py SORVANE-CLI FOLDER

Each script in FOLDER completes exactly the options that --help lists, with
the same short and long names, "=" where an option takes a value, file names
where --help shows FILE, and for a value from a fixed set the names that the
program itself allows (its message for an empty value lists them). An option
added to the program, or a name added to a set, fails here until every script
has it.
"""
import re
import subprocess
import sys

HELP_ENTRY = re.compile(
    r"^ {2,}(?:(-\w), )?--([\w-]+)(?:=([A-Z]+)|(\[)=([A-Z]+)\])?", re.MULTILINE)
# "invalid type '' for '--type': allowed are digits, hex, letters or mixed"
ALLOWED_NAMES = re.compile(r": allowed are ([a-z0-9-]+(?:, [a-z0-9-]+)* or [a-z0-9-]+)$")


def option(short, takes, values):
    """What a completion needs of an option: its short name (or None), what
    follows its long name ("=" a value, "[=]" an optional one joined by "=",
    "" none) and its values: "files", a set of names, or None."""
    return (short or None, takes, values)


def names(text):
    return frozenset(text.replace(",", " ").replace(" or ", " ").split())


def program_options(program):
    def run(*arguments):
        result = subprocess.run([program, *arguments], capture_output=True, text=True)
        return result.stdout.replace("\r", ""), result.stderr.replace("\r", "").strip()

    found = {}
    for short, long, value, optional, optional_value in HELP_ENTRY.findall(run("--help")[0]):
        takes = "[=]" if optional else "=" if value else ""
        values = None
        if (value or optional_value) == "FILE":
            values = "files"
        elif takes:
            allowed = ALLOWED_NAMES.search(run("--%s=" % long)[1])
            values = names(allowed.group(1)) if allowed else None
        found[long] = option(short, takes, values)
    return found


def bash_options(text):
    table = re.search(r"^_sorvane_cli_options='\n(.*?)^'$", text, re.MULTILINE | re.DOTALL)
    values = {}
    for arm in re.finditer(r"^ +((?:--[\w-]+)(?: \| --[\w-]+)*)\) "
                           r"(?:words='([^']*)'|(files=yes)) ;;$", text, re.MULTILINE):
        for long in arm.group(1).split(" | "):
            values[long[2:]] = "files" if arm.group(3) else names(arm.group(2))
    found = {}
    for line in table.group(1).split("\n") if table else []:
        if line.strip():
            short, long = line.split()
            name, takes = re.fullmatch(r"--([\w-]+)(=|\[=\])?", long).groups()
            found[name] = option(None if short == "-" else short, takes or "",
                                 values.get(name))
    return found


def zsh_options(text):
    found = {}
    option_line = re.compile(r"^ +(?:\{(-\w)(\+?),--([\w-]+)(=?-?)\}'|'--([\w-]+)(=?-?))"
                             r"\[[^]]*\](.*)'(?: \\)?$", re.MULTILINE)
    for short, short_takes, long_a, takes_a, long_b, takes_b, action in option_line.findall(text):
        long, takes = long_a or long_b, takes_a or takes_b
        # "=" a value after "=" or in the next word, "=-" only after "=";
        # "::" makes it optional.
        takes = {"": "", "=": "=", "=-": "=" if not action.startswith("::") else "[=]"}[takes]
        if short and bool(short_takes) != (takes == "="):
            short += " (whose value differs from its long name's)"
        values = None
        names_action = re.search(r":\(([^)]*)\)$", action)
        if names_action:
            values = names(names_action.group(1))
        elif action.endswith(":_files"):
            values = "files"
        found[long] = option(short, takes, values)
    return found


def fish_options(text):
    found = {}
    for line in re.findall(r"^complete -c sorvane-cli .*$", text, re.MULTILINE):
        words = re.findall(r"'[^']*'|\S+", line)
        if "-l" not in words:
            continue
        following = {words[i]: words[i + 1] for i in range(len(words) - 1)}
        values = None
        if "-F" in words:
            values = "files"
        elif "-a" in following:
            values = names(following["-a"].strip("'"))
        takes = "=" if "-x" in words or "-r" in words else ""
        short = "-" + following["-s"] if "-s" in following else None
        found[following["-l"]] = option(short, takes, values)
    return found


def powershell_options(text):
    sets = {m.group(1): names(m.group(2).replace("'", ""))
            for m in re.finditer(r"^ +'--([\w-]+)' = ('[^']*'(?:, '[^']*')*)$", text, re.MULTILINE)}
    files = re.search(r"^ +\$fileOptions = (.*)$", text, re.MULTILINE)
    for long in re.findall(r"'--([\w-]+)'", files.group(1) if files else ""):
        sets[long] = "files"
    found = {}
    for short, long, takes in re.findall(
            r"^ +@\{ (?:Short = '(-\w)'; )?Long = '--([\w-]+)(=|\[=\])?'; Text = '[^']*' \}$",
            text, re.MULTILINE):
        found[long] = option(short, takes, sets.get(long))
    return found


def shown(entry):
    short, takes, values = entry
    if values is not None and values != "files":
        values = ",".join(sorted(values))
    return "%s, takes '%s', values %s" % (short or "no short name", takes, values or "none")


SCRIPTS = {
    "sorvane-cli.bash": (bash_options, None),
    "_sorvane-cli": (zsh_options, None),
    # fish has no option whose value is optional: there it takes none.
    "sorvane-cli.fish": (fish_options, lambda takes: "" if takes == "[=]" else takes),
    "sorvane-cli-completion.ps1": (powershell_options, None),
}


def main():
    program, folder = sys.argv[1:]
    expected = program_options(program)
    if len(expected) < 2:
        print("FAIL: --help lists %d option(s)" % len(expected))
        return 1
    failures = 0
    for script, (read, fold) in SCRIPTS.items():
        with open("%s/%s" % (folder, script), encoding="utf-8") as source:
            completed = read(source.read())
        for long in sorted(expected.keys() | completed.keys()):
            want = expected.get(long)
            if want and fold:
                want = (want[0], fold(want[1]), want[2])
            have = completed.get(long)
            if want != have:
                failures += 1
                print("FAIL: %s, --%s: the program: %s; the script: %s" % (
                    script, long, shown(want) if want else "no such option",
                    shown(have) if have else "no such option"))
    if failures:
        return 1
    print("the %d completion scripts complete the %d options of --help" % (
        len(SCRIPTS), len(expected)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
