#!/usr/bin/env python3
"""Writes the zip archives the markup loader tests read: make-zip-fixtures.py OUTDIR ZIP.

layouts.zip  a deflated layout under a mixed-case folder, a stored one, an empty entry, an entry
             above the 4 MiB limit, and a stored entry whose bytes no longer match its CRC.
secret.zip   one layout under the traditional zip encryption, password "secret", written by
             the zip program ZIP (Python cannot encrypt).
notazip.zip  plain text.
"""
import os
import subprocess
import sys
import tempfile
import zipfile

LAYOUT = '<Window size="640,480"><VerticalLayout name="body"><Label text="zip &amp; inflate"/></VerticalLayout></Window>'
BROKEN = '<Window name="broken"/>'


def main():
    out, zip_program = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    layouts = os.path.join(out, "layouts.zip")
    with zipfile.ZipFile(layouts, "w") as z:
        z.writestr("Skin/Main.xml", LAYOUT, compress_type=zipfile.ZIP_DEFLATED)
        z.writestr("stored.xml", '<Window name="stored"/>', compress_type=zipfile.ZIP_STORED)
        z.writestr("empty.xml", "", compress_type=zipfile.ZIP_STORED)
        z.writestr("big.xml", "<Window>" + " " * (5 * 1024 * 1024) + "</Window>",
                   compress_type=zipfile.ZIP_DEFLATED)
        z.writestr("broken.xml", BROKEN, compress_type=zipfile.ZIP_STORED)
    with open(layouts, "r+b") as f:
        data = f.read()
        at = data.index(BROKEN.encode()) + len('<Window name="')
        f.seek(at)
        f.write(b"X")

    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "main.xml"), "w") as f:
            f.write('<Window name="secret"/>')
        secret = os.path.abspath(os.path.join(out, "secret.zip"))
        if os.path.exists(secret):
            os.remove(secret)
        subprocess.run([zip_program, "-q", "-P", "secret", secret, "main.xml"], cwd=work, check=True)

    with open(os.path.join(out, "notazip.zip"), "w") as f:
        f.write("this is not an archive\n")


if __name__ == "__main__":
    main()
