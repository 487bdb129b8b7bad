#!/usr/bin/python3
"""The windowed programs as a desktop starts them. Usage: desktop_start.py
OSTREL TAMREL_S TAMREL_C.

- Without a display (none set, or one that cannot be reached) each prints
  one line that says so and ends with status 1.
- Tamrel_S run from a copy under a prefix that holds its menu entry (an
  installed program) writes its settings under $XDG_CONFIG_HOME/telemon/ and
  nothing beside itself; run from the build folder, beside itself.
- --own-folder (the menu entries' option) makes ~/<program> and works there:
  Ostrel's settings and nothing else land in it, nothing in the home folder.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TERMINATION_BITS = (1 << (signal.SIGTERM - 1)) | (1 << (signal.SIGINT - 1))
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def handles_termination(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("SigCgt:"):
                    return int(line.split()[1], 16) & TERMINATION_BITS == TERMINATION_BITS
    except FileNotFoundError:
        pass
    return False


def run_until_term(argv, cwd, env):
    """Starts the program offscreen, ends it by SIGTERM once it handles it;
    returns its exit status."""
    proc = subprocess.Popen(argv, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    deadline = time.monotonic() + 60
    while not handles_termination(proc.pid):
        if proc.poll() is not None or time.monotonic() > deadline:
            proc.kill()
            out = proc.communicate()[0].decode(errors="replace")
            sys.exit(f"{argv[0]} did not start: {out}")
        time.sleep(0.05)
    proc.send_signal(signal.SIGTERM)
    proc.communicate(timeout=60)
    return proc.returncode


def without_display(programs):
    base = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    for path in programs:
        name = os.path.basename(path)
        hint = "; ostrel-headless runs without one" if name == "Ostrel" else ""
        cases = [
            ("no display set", base, f"{name}: cannot open the display (DISPLAY is not set){hint}"),
            ("a display that cannot be reached", dict(base, DISPLAY=":987", QT_QPA_PLATFORM="xcb"),
             f"{name}: cannot open the display :987{hint}"),
        ]
        for what, env, wanted in cases:
            with tempfile.TemporaryDirectory() as folder:
                env = dict(env, HOME=folder, XDG_CONFIG_HOME=os.path.join(folder, "config"))
                done = subprocess.run([path], cwd=folder, env=env, capture_output=True, timeout=60)
                err = done.stderr.decode(errors="replace").strip()
                check(done.returncode == 1, f"{name}, {what}: status {done.returncode}, wanted 1 ({err})")
                check(err == wanted, f"{name}, {what}: said {err!r}, wanted {wanted!r}")
                check(os.listdir(folder) == [], f"{name}, {what}: left {os.listdir(folder)} behind")


def installed_tamrel(tamrel_s):
    with tempfile.TemporaryDirectory() as root:
        home = os.path.join(root, "home")
        work = os.path.join(root, "work")
        os.makedirs(work)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "cfg"), QT_QPA_PLATFORM="offscreen")

        # The build folder's program: beside itself, as specified.
        build_copy = os.path.join(root, "build", "bin", "Tamrel_S")
        os.makedirs(os.path.dirname(build_copy))
        shutil.copy2(tamrel_s, build_copy)
        check(run_until_term([build_copy], work, env) == 0, "Tamrel_S from the build folder did not end with 0")
        check(os.path.isfile(build_copy + ".ini"), "Tamrel_S from the build folder wrote no settings beside itself")

        # The installed program: the user's configuration folder, nothing beside.
        installed = os.path.join(root, "usr", "bin", "Tamrel_S")
        os.makedirs(os.path.dirname(installed))
        os.makedirs(os.path.join(root, "usr", "share", "applications"))
        open(os.path.join(root, "usr", "share", "applications", "net.telemon.Tamrel_S.desktop"), "w").close()
        shutil.copy2(tamrel_s, installed)
        check(run_until_term([installed], work, env) == 0, "installed Tamrel_S did not end with 0")
        check(os.path.isfile(os.path.join(home, "cfg", "telemon", "Tamrel_S.ini")),
              "installed Tamrel_S wrote no $XDG_CONFIG_HOME/telemon/Tamrel_S.ini")
        check(sorted(os.listdir(os.path.dirname(installed))) == ["Tamrel_S"],
              f"installed Tamrel_S wrote beside itself: {os.listdir(os.path.dirname(installed))}")
        check(os.listdir(work) == [], f"installed Tamrel_S wrote into its current folder: {os.listdir(work)}")


def own_folder(ostrel):
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), QT_QPA_PLATFORM="offscreen")
        check(run_until_term([ostrel, "--own-folder"], home, env) == 0, "Ostrel --own-folder did not end with 0")
        folder = os.path.join(home, "Ostrel")
        check(os.path.isfile(os.path.join(folder, "Ostrel.ini")), "Ostrel --own-folder wrote no ~/Ostrel/Ostrel.ini")
        loose = [f for f in os.listdir(home) if f not in ("Ostrel", ".config", ".cache", ".local")]
        check(loose == [], f"Ostrel --own-folder left files in the home folder: {loose}")


def main():
    ostrel, tamrel_s, tamrel_c = sys.argv[1:4]
    without_display([ostrel, tamrel_s, tamrel_c])
    installed_tamrel(tamrel_s)
    own_folder(ostrel)
    if failures:
        sys.exit("\n".join(failures))
    print("no display: status 1 and the message; installed Tamrel_S: settings in the configuration folder; "
          "--own-folder: ~/Ostrel")


if __name__ == "__main__":
    main()
