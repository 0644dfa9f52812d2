#!/usr/bin/env python3
"""The man pages: formatted by man without a warning, and documenting every option that the
program's --help lists.

    man_pages_test.py PROGRAM PAGE [PROGRAM PAGE ...]
"""

import os
import re
import subprocess
import sys
import unittest

PAIRS = list(zip(sys.argv[1::2], sys.argv[2::2]))
del sys.argv[1:]
ENV = dict(os.environ, LC_ALL="C", MANWIDTH="100")
# The desktop program takes a file and Qt's own options; the batch commands take many options.
FEWEST_OPTIONS = {"quelvaris": 2}


class ManPages(unittest.TestCase):
    def test_pages_format_cleanly_and_document_every_option(self):
        for program, page in PAIRS:
            with self.subTest(page):
                man = subprocess.run(["man", "--warnings", "-l", page], capture_output=True,
                                     env=ENV, check=False)
                self.assertEqual(man.returncode, 0, man.stderr)
                self.assertEqual(man.stderr.decode(), "")
                # Bold and underlined text come as overstrikes when not on a terminal.
                text = re.sub(r".\x08", "", man.stdout.decode())
                help_text = subprocess.run([program, "--help"], capture_output=True, env=ENV,
                                           check=True).stdout.decode()
                options = set(re.findall(r"--[a-z][a-z-]*", help_text))
                fewest = FEWEST_OPTIONS.get(os.path.basename(program), 16)
                self.assertGreaterEqual(len(options), fewest, help_text)
                self.assertLessEqual({"--help", "--version"}, options)
                for option in sorted(options):
                    self.assertRegex(text, re.escape(option) + r"\b", option)
                for section in ("SYNOPSIS", "OPTIONS", "EXIT STATUS"):
                    self.assertIn(section, text)


if __name__ == "__main__":
    unittest.main(verbosity=2)
