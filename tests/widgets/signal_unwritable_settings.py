#!/usr/bin/python3
"""Ends Ostrel and Tamrel_S with SIGTERM and SIGINT while their settings file
cannot be written (a folder stands where the file would be, which stops root
too). Each must end within the time limit, name the file on standard error
and exit with status 1, instead of waiting for a click on an error box.
Tamrel_S, whose settings file lies beside the program, runs from a copy in
the test folder; once that folder can be written to, it ends with status 0."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

CAUGHT = (1 << (signal.SIGTERM - 1)) | (1 << (signal.SIGINT - 1))


def catches_both(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("SigCgt:"):
                    return int(line.split()[1], 16) & CAUGHT == CAUGHT
    except FileNotFoundError:
        pass
    return False


def end_with(name, command, folder, signal_number):
    """Runs the program until its handlers are in, sends the signal and
    returns (exit status, standard error)."""
    proc = subprocess.Popen(command, cwd=folder, stderr=subprocess.PIPE)
    deadline = time.monotonic() + 60
    while not catches_both(proc.pid):
        if proc.poll() is not None:
            sys.exit(f"{name} ended early with status {proc.returncode}")
        if time.monotonic() > deadline:
            proc.kill()
            sys.exit(f"{name} did not install its signal handlers")
        time.sleep(0.05)
    proc.send_signal(signal_number)
    try:
        _, err = proc.communicate(timeout=30)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        sys.exit(f"{name} did not end within 30 s of signal {signal_number} (waiting for a click?)")
    return proc.returncode, err.decode("utf-8", "replace")


def expect_failure_reported(name, command, folder, settings, signal_number):
    os.mkdir(settings)
    status, err = end_with(name, command, folder, signal_number)
    if status != 1:
        sys.exit(f"{name} ended with status {status} after signal {signal_number}; standard error:\n{err}")
    if f"Unable to write to {settings}" not in err:
        sys.exit(f"{name} did not name {settings} on standard error after signal {signal_number}:\n{err}")
    os.rmdir(settings)


def main():
    ostrel, tamrel = sys.argv[1], sys.argv[2]
    for signal_number in (signal.SIGTERM, signal.SIGINT):
        with tempfile.TemporaryDirectory() as folder:
            expect_failure_reported("Ostrel", [ostrel], folder, os.path.join(folder, "Ostrel.ini"), signal_number)
        with tempfile.TemporaryDirectory() as folder:
            program = os.path.join(folder, "Tamrel_S")
            shutil.copy2(tamrel, program)
            settings = os.path.join(folder, "Tamrel_S.ini")
            expect_failure_reported("Tamrel_S", [program], folder, settings, signal_number)
            status, err = end_with("Tamrel_S", [program], folder, signal_number)
            if status != 0 or "Server Port=8888" not in open(settings, encoding="utf-8").read():
                sys.exit(f"Tamrel_S ended with status {status} after signal {signal_number} "
                         f"with a writable settings file; standard error:\n{err}")
    print("Both programs report an unwritable settings file on standard error and exit 1 on SIGTERM and SIGINT")


if __name__ == "__main__":
    main()
