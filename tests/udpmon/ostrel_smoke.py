#!/usr/bin/python3
"""Starts the Ostrel program in a fresh folder and ends it with SIGTERM, then
with SIGINT. Each time the program must end normally (exit status 0) and
write its settings file there, keeping the send lines it read at start."""
import os
import signal
import subprocess
import sys
import tempfile
import time

SIGTERM_BIT = 1 << (signal.SIGTERM - 1)
SIGINT_BIT = 1 << (signal.SIGINT - 1)


def catches_both(pid):
    """True once the process has handlers for SIGTERM and SIGINT."""
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("SigCgt:"):
                    mask = int(line.split()[1], 16)
                    return mask & SIGTERM_BIT and mask & SIGINT_BIT
    except FileNotFoundError:
        pass
    return False


def run_once(program, signal_number):
    with tempfile.TemporaryDirectory() as folder:
        settings = os.path.join(folder, "Ostrel.ini")
        with open(settings, "w", encoding="utf-8") as f:
            f.write("[SendFrame]\nSendLinesCount=3\nLine0=01 03 1A \nLine2=68 16 \n")
        proc = subprocess.Popen([program], cwd=folder)
        deadline = time.monotonic() + 60
        while not catches_both(proc.pid):
            if proc.poll() is not None:
                sys.exit(f"Ostrel ended early with status {proc.returncode}")
            if time.monotonic() > deadline:
                proc.kill()
                sys.exit("Ostrel did not install its signal handlers")
            time.sleep(0.05)
        proc.send_signal(signal_number)
        status = proc.wait(timeout=60)
        if status != 0:
            sys.exit(f"Ostrel ended with status {status} after signal {signal_number}")
        with open(settings, encoding="utf-8") as f:
            text = f.read()
        for expected in ("Server Port=1888", "Client Host=127.0.0.1", "Client Port=1889",
                         "SendLinesCount=3", "Line0=01 03 1A", "Line1=", "Line2=68 16"):
            if expected not in text:
                sys.exit(f"after signal {signal_number} the settings lack {expected!r}:\n{text}")


def main():
    program = sys.argv[1]
    for signal_number in (signal.SIGTERM, signal.SIGINT):
        run_once(program, signal_number)
    print("Ostrel closed normally on SIGTERM and SIGINT and wrote its settings")


if __name__ == "__main__":
    main()
