#!/usr/bin/env python3
"""The documents say what the program says: the README's table of key names and the manual
page's KEY NAMES hold exactly the names `brisel --help` ends with, in its order; and every
sentence of --help's text after the options (the Wayland recipes, how Brisel looks there) is in
both, word for word, whatever the markup.  docs_test.py BRISEL README.md brisel.1"""
import os
import re
import subprocess
import sys

brisel, readme_file, man_file = sys.argv[1:4]
env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80")
env.pop("DISPLAY", None)
help_lines = subprocess.run([brisel, "--help"], env=env, capture_output=True, text=True, check=True).stdout.splitlines()
readme = open(readme_file, encoding="utf-8").read()
man = subprocess.run(["man", "-l", man_file], env=env, capture_output=True, text=True, check=True).stdout
man = re.sub(".\b", "", man)  # bold and underline, as the terminal overstrikes them
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def plain(text):
    """The words as a reader sees them: no fences, list marks, emphasis or code marks; single blanks."""
    text = re.sub(r"(?m)^\s*(```.*|- )", "", text).replace("**", "").replace("`", "")
    return " ".join(text.split())


# The key names: --help's, quoted where they hold a blank; the README's in code spans `"F1"`;
# the manual page's in quotes in its KEY NAMES section.
start = next(i for i, line in enumerate(help_lines) if line.startswith("Key names"))
names = [m.group(1) or m.group(2) for line in help_lines[start + 1:] for m in re.finditer(r'"([^"]*)"|(\S+)', line)]
check(len(names) == 29, f"--help lists {len(names)} key names, not 29: {names}")
section = re.search(r"^### Key names\n(.*?)^#", readme, re.S | re.M)
check(section and re.findall(r'`"([^"`]*)"`', section.group(1)) == names, "the README's key names are not --help's")
section = re.search(r"^KEY NAMES\n(.*?)^\S", man, re.S | re.M)
check(section and re.findall(r'"([^"]*)"', section.group(1)) == names, "the manual page's KEY NAMES are not --help's")

last_option = max(i for i, line in enumerate(help_lines) if line.startswith("  --"))
recipes = "\n".join(help_lines[last_option + 1:start])
readme_words, man_words = plain(readme), plain(man)
for sentence in (s for paragraph in re.split(r"\n\s*\n", recipes) for s in re.split(r"(?<=\.)\s+", plain(paragraph)) if s):
    check(sentence in readme_words, f"the README lacks: {sentence}")
    check(sentence in man_words, f"the manual page lacks: {sentence}")
check(len(recipes.split()) > 100, "--help has no recipes after its options")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(names)} key names; the recipes: {len(recipes.split())} words" if not failures else "")
sys.exit(1 if failures else 0)
