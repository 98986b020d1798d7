#!/usr/bin/env python3
"""The man page and the bash completion offer what `velmora --help` offers.

Compares the option names in the man page and those the completion completes with the ones
--help prints, so that an option added to the program and not documented fails here; and drives
the completion as bash does for the test names of the program's table.

Usage: check_documents.py VELMORA MAN_PAGE COMPLETION FACTS_PROGRAM
"""
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][A-Za-z0-9-]*)")


def options_in(text):
    return set(OPTION.findall(text))


def man_page_text(path):
    """The page's words as a reader sees them: roff's \\- is a hyphen, font changes are dropped."""
    with open(path, encoding="utf-8") as page:
        source = "".join(line for line in page if not line.startswith('.\\"'))
    return re.sub(r"\\f[BIRP]", "", source.replace("\\-", "-"))


def complete(completion, words):
    """What bash offers for the command line `velmora WORDS...`, the cursor after the last word."""
    script = (
        'source "$1"; shift; complete -p velmora >/dev/null || exit 3\n'
        'COMP_WORDS=(velmora "$@"); COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))\n'
        'COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}\n'
        '_velmora; printf "%s\\n" "${COMPREPLY[@]}"\n')
    result = subprocess.run(["bash", "--norc", "-c", script, "bash", completion, *words],
                            capture_output=True, text=True, check=True)
    return set(filter(None, result.stdout.splitlines()))


def compare(what, found, expected):
    missing, extra = sorted(expected - found), sorted(found - expected)
    problems = []
    if missing:
        problems.append(f"{what} lacks {', '.join(missing)}, which velmora --help offers")
    if extra:
        problems.append(f"{what} has {', '.join(extra)}, which velmora --help does not offer")
    return problems


def main(velmora, man_page, completion, facts_program):
    help_text = subprocess.run([velmora, "--help"], capture_output=True, text=True, check=True).stdout
    help_options = options_in(help_text)
    facts = subprocess.run([facts_program], capture_output=True, text=True, check=True).stdout
    tests = [line[len("TEST="):].split("\t")[0] for line in facts.splitlines() if line.startswith("TEST=")]
    if len(help_options) < 5 or not tests:
        print(f"FAIL: too little to compare: options {sorted(help_options)}, tests {tests}")
        return 1

    problems = compare("the man page (packaging/velmora.1.in)", options_in(man_page_text(man_page)), help_options)
    problems += compare("the completion of 'velmora -' (packaging/velmora.bash.in)",
                        complete(completion, ["-"]), help_options)
    for test in tests:
        if not re.search(rf"(?<![\w-]){re.escape(test)}(?![\w-])", help_text):
            problems.append(f"velmora --help does not name the test {test}")

    names = set(tests) | {"all"}
    cases = [
        (["--test", ""], names),
        (["--console", "--test", "="], names),
        (["--test", "=", tests[0][:3]], {t for t in names if t.startswith(tests[0][:3])}),
        (["--test", f"{tests[0]},"], {f"{tests[0]},{t}" for t in names}),
        (["--console", "--pa"], {"--passes"}),
        (["--size", ""], set()),
    ]
    for words, expected in cases:
        offered = complete(completion, words)
        if offered != expected:
            problems.append(f"completing 'velmora {' '.join(words)}' offers {sorted(offered)}, not {sorted(expected)}")

    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print(f"ok: the man page and the completion offer the {len(help_options)} options of --help "
              f"and the completion the {len(tests)} tests")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
