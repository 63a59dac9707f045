"""Shows the real main window under Wine and saves a picture of it:

    /usr/bin/python3 tests/e2e/screenshot.py --exe Quenthor.exe --driver QuenthorDriver.exe \\
        --prefix PREFIX --out shot.png

(scripts/screenshot runs it for a build.) Also prints the time from the
process's start to the shown window."""

import argparse
import os
import sys
import time

import quenthor_e2e as e2e


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    args, rest = parser.parse_known_args()
    session = e2e.Session.from_args(rest)
    with session:
        app = session.start_quenthor()
        shown = app.wait_shown(60)
        if shown is None:
            sys.exit("the main window did not show")
        time.sleep(1.5)  # the first paint
        session.screenshot(os.path.abspath(args.out))
        print("start-up to a shown window: %d ms" % shown)
        print("screenshot: %s" % os.path.abspath(args.out))
        session.driver("tray-menu", "退出")
        app.wait_exit(30)


if __name__ == "__main__":
    main()
