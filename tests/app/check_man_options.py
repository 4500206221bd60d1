#!/usr/bin/env python3
"""Every option kpx_publish --help lists is described in its manual page.

Usage: check_man_options.py PATH_TO_KPX_PUBLISH PATH_TO_MAN_PAGE
"""

import re
import subprocess
import sys


def main():
    program, page = sys.argv[1], sys.argv[2]
    help_text = subprocess.run([program, "--help"], check=True, capture_output=True, text=True).stdout
    options = sorted(set(re.findall(r"^\s+(--[a-z-]+)", help_text, re.MULTILINE)))
    with open(page, encoding="utf-8") as man:
        described = man.read().replace("\\-", "-")
    missing = [option for option in options if not re.search(r"^\.BI? " + option + r"\b", described, re.MULTILINE)]
    if not options or missing:
        print(f"options in --help: {options}; without a paragraph in {page}: {missing}")
        return 1
    print(f"{len(options)} options described")
    return 0


if __name__ == "__main__":
    sys.exit(main())
