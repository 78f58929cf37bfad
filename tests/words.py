"""The words the program writes, read from src/console/words.hpp, so that the
scripted tests take every sentence from where the program takes it.

  words.py NAME            prints the word kNAME
  words.py interrupted N   prints the line an interrupted run ends with
  words.py --manual PAGE   checks that the manual page names every word"""

import os
import re
import sys

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "console",
                      "words.hpp")
_DEFINITION = re.compile(r'inline constexpr const char\* (k\w+) =\s*((?:"(?:[^"\\]|\\.)*"\s*)+);')
_LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"')


def load(path=HEADER):
    """{name: text} of every definition, its C escapes undone."""
    with open(path, encoding="utf-8") as f:
        source = f.read()
    found = {}
    for name, literals in _DEFINITION.findall(source):
        text = "".join(_LITERAL.findall(literals))
        found[name] = text.encode("latin-1").decode("unicode_escape")
    return found


WORDS = load()


def interrupted(n):
    """The last line of a run interrupted after `n` renames, as the console
    shows it (a blank first)."""
    renamed = WORDS["kPictureRenamed"] if n == 1 else WORDS["kPicturesRenamed"]
    return " " + WORDS["kInterrupted"] + str(n) + renamed + WORDS["kRestAsTheyWere"]


def line_feed_names(folder, n):
    """The line on standard error for names left out of the list."""
    count = WORDS["kOneName"] if n == 1 else WORDS["kNames"]
    return "%s: %d%s%s\n" % (folder, n, count, WORDS["kLineFeedNames"])


def manual_text(path):
    """The manual page as a reader sees it, near enough: requests and font
    changes gone, the escapes for "\\" and "-" undone, lines joined."""
    text = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("."):
                line = line.split(" ", 1)[1] if " " in line else ""
            line = re.sub(r"\\f[BIRP]", "", line)
            line = line.replace("\\e", "\\").replace("\\-", "-").replace('"', "")
            text.append(line)
    return " ".join(text)


def missing_from_manual(path):
    """The words that the manual page does not name. A word's edge blanks and
    its line end do not count; a printf conversion stands for any text."""
    manual = manual_text(path)
    missing = []
    for name, text in WORDS.items():
        pattern = re.escape(text.strip())
        pattern = re.sub(r"%l?d", r"[0-9]+", re.sub(r"%s", r".+?", pattern))
        if not re.search(pattern, manual):
            missing.append("%s: %r" % (name, text))
    return missing


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--manual":
        missing = missing_from_manual(sys.argv[2])
        for line in missing:
            print("the manual page does not name " + line)
        print("%d words, %d missing from the manual page" % (len(WORDS), len(missing)))
        sys.exit(1 if missing or len(WORDS) < 40 else 0)
    if len(sys.argv) == 3 and sys.argv[1] == "interrupted":
        print(interrupted(int(sys.argv[2])))
    elif len(sys.argv) == 2:
        print(WORDS["k" + sys.argv[1]])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
