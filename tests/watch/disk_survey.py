#!/usr/bin/python3
"""Runs the Wine disk-survey test with one more drive letter in the prefix.

    disk_survey.py PREFIX EMULATOR... TEST.exe

Links a free letter (Q to Y) of PREFIX/dosdevices to a fresh directory, hands
the letter and statvfs's figures for it to the test through the environment,
runs the test and removes link and directory again."""
import os
import shutil
import subprocess
import sys
import tempfile


def main():
    prefix, command = sys.argv[1], sys.argv[2:]
    dosdevices = os.path.join(prefix, "dosdevices")
    os.makedirs(dosdevices, exist_ok=True)
    letter = next(c for c in "QRSTUVWXY"
                  if not os.path.lexists(os.path.join(dosdevices, c.lower() + ":")))
    link = os.path.join(dosdevices, letter.lower() + ":")
    folder = tempfile.mkdtemp(prefix="quenthor-drive-")
    try:
        os.symlink(folder, link)
        st = os.statvfs(folder)
        env = dict(os.environ,
                   QUENTHOR_TEST_DRIVE=letter,
                   QUENTHOR_TEST_DRIVE_TOTAL_KB=str(st.f_blocks * st.f_frsize // 1024),
                   QUENTHOR_TEST_DRIVE_FREE_KB=str(st.f_bavail * st.f_frsize // 1024))
        return subprocess.call(command, env=env)
    finally:
        if os.path.islink(link):
            os.unlink(link)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
