#!/usr/bin/python3
"""Runs Ostrel under a real GBK locale (built with localedef into a folder of
its own, LOCPATH) and ends it with SIGTERM: the send line it read from a
UTF-8 settings file must be written back in GBK."""
import os
import signal
import subprocess
import sys
import tempfile
import time

from ostrel_smoke import catches_both

LINE = "01 02 // 接收报文"


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        locales = os.path.join(folder, "locales")
        os.mkdir(locales)
        subprocess.run(["localedef", "-i", "zh_CN", "-f", "GBK", os.path.join(locales, "zh_CN.GBK")],
                       check=True, timeout=120)
        with open(os.path.join(folder, "Ostrel.ini"), "w", encoding="utf-8") as f:
            f.write(f"[SendFrame]\nSendLinesCount=1\nLine0={LINE}\n")
        env = dict(os.environ, LOCPATH=locales, LANG="zh_CN.GBK")
        env.pop("LC_ALL", None)
        env.pop("LC_CTYPE", None)
        proc = subprocess.Popen([program], cwd=folder, env=env)
        deadline = time.monotonic() + 60
        while not catches_both(proc.pid):
            if proc.poll() is not None or time.monotonic() > deadline:
                proc.kill()
                sys.exit(f"Ostrel did not start (status {proc.poll()})")
            time.sleep(0.05)
        proc.send_signal(signal.SIGTERM)
        status = proc.wait(timeout=60)
        with open(os.path.join(folder, "Ostrel.ini"), "rb") as f:
            written = f.read()
        expected = b"Line0=" + LINE.encode("gbk") + b"\n"
        if status != 0 or expected not in written:
            sys.exit(f"Ostrel ended with status {status} and wrote {written!r}, not {expected!r}")
    print("Ostrel writes its settings in GBK under a GBK locale")


if __name__ == "__main__":
    main()
