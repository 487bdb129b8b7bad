#!/usr/bin/python3
"""Kills a monitor at random moments while it writes, and checks what it
leaves on disk after every round.

ostrel CHILD: the child listens, saves every 0.01 minute under a steady
stream of datagrams and rewrites Ostrel.ini at every close. Each round ends
with SIGKILL at a random moment, with SIGTERM followed by SIGKILL a few
milliseconds later (while the close writes the settings), or with SIGTERM
alone. After each round every receiveN.dat present must be whole (a date
line first, then only whole received lines, each ending in CR LF) and
Ostrel.ini must be the file of the last close or of the one before it,
whole, never a mix or empty.

tamrel CHILD: the same for Tamrel_S's settings file.

Rounds go on until KILLS SIGKILLs (default 50) have been sent."""
import os
import random
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

DATAGRAM = 64
HEX_LINE = re.compile(rb"^(?:[0-9A-F]{2} ){%d}$" % DATAGRAM)
OSTREL_LINES = 200
TAMREL_PADDING = 200000


def fail(message):
    sys.exit(f"FAILED: {message}")


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start(command, folder, log):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    log.seek(0)
    log.truncate()
    proc = subprocess.Popen(command, cwd=folder, env=env, stdout=subprocess.PIPE, stderr=log)
    line = proc.stdout.readline()
    if line.strip() != b"ready":
        proc.kill()
        proc.wait(timeout=30)
        fail(f"{command[0]} did not start: {line!r} {tail(log)}")
    return proc


def tail(log):
    log.flush()
    log.seek(0)
    return log.read().decode(errors="replace")[-600:]


def end_round(proc, rng, log):
    """Ends the child one of three ways; returns (kills sent, closed normally)."""
    time.sleep(rng.uniform(0.05, 1.5))
    way = rng.choice(("kill", "term-kill", "term-kill", "term"))
    if way == "kill":
        proc.send_signal(signal.SIGKILL)
    else:
        proc.send_signal(signal.SIGTERM)
        if way == "term-kill":
            time.sleep(rng.uniform(0.0, 0.03))
            proc.send_signal(signal.SIGKILL)
    try:
        status = proc.wait(timeout=60)
    except subprocess.TimeoutExpired:
        proc.kill()
        fail("the child did not end within 60 s")
    if way == "term" and status != 0:
        fail(f"a close on SIGTERM ended with status {status}: {tail(log)}")
    return (0 if way == "term" else 1), status == 0


def stream(port, stop):
    """Sends numbered datagrams to the port until told to stop, about 2000/s."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as out:
        n = 0
        while not stop.is_set():
            out.sendto(n.to_bytes(4, "big") * (DATAGRAM // 4), ("127.0.0.1", port))
            n += 1
            if n % 20 == 0:
                time.sleep(0.01)


def check_captures(folder):
    """Every receiveN.dat present is whole; returns (files, lines)."""
    files = lines = 0
    for name in os.listdir(folder):
        if not re.fullmatch(r"receive\d+\.dat", name):
            continue
        with open(os.path.join(folder, name), "rb") as f:
            data = f.read()
        files += 1
        if not data.endswith(b"\r\n"):
            fail(f"{name} does not end in CR LF ({len(data)} bytes)")
        rows = data[:-2].split(b"\r\n")
        date = rows[0]
        if not date or HEX_LINE.match(date) or not re.search(rb"\d", date):
            fail(f"{name} does not start with a date line: {date[:60]!r}")
        for row in rows[1:]:
            if not HEX_LINE.match(row):
                fail(f"{name} holds a line that is not a whole received line: {row[:80]!r}")
        lines += len(rows) - 1
    return files, lines


def ini_values(path):
    with open(path, "rb") as f:
        data = f.read()
    if not data:
        fail(f"{os.path.basename(path)} is empty")
    values = {}
    section = None
    for raw in data.splitlines():
        line = raw.decode("utf-8")
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif "=" in line:
            key, value = line.split("=", 1)
            values[(section, key)] = value
    return values


def ostrel_round_of(folder):
    """The round whose close wrote Ostrel.ini, checking that it is whole."""
    path = os.path.join(folder, "Ostrel.ini")
    if not os.path.exists(path):
        return None
    values = ini_values(path)
    count = int(values.get(("SendFrame", "SendLinesCount"), "-1"))
    if count != OSTREL_LINES:
        fail(f"Ostrel.ini holds {count} send lines, not {OSTREL_LINES}")
    rounds = set()
    for i in range(count):
        value = values.get(("SendFrame", f"Line{i}"))
        match = re.fullmatch(r"round (\d+) line %d 7{300}" % i, value or "")
        if not match:
            fail(f"Ostrel.ini: Line{i} is not whole: {(value or '')[:60]!r}")
        rounds.add(int(match.group(1)))
    if len(rounds) != 1:
        fail(f"Ostrel.ini mixes the lines of rounds {sorted(rounds)}")
    return rounds.pop()


def tamrel_round_of(path):
    if not os.path.exists(path):
        return None
    value = ini_values(path).get(("TCPServer", "Server Port"), "")
    match = re.fullmatch(r"round (\d+) 7{%d}" % TAMREL_PADDING, value)
    if not match:
        fail(f"{os.path.basename(path)}: the server port is not whole ({len(value)} characters)")
    return int(match.group(1))


def run(mode, child, wanted_kills):
    rng = random.Random()
    kills = rounds = files = lines = 0
    written = None  # the round whose close wrote the settings last
    with tempfile.TemporaryDirectory() as folder, tempfile.TemporaryFile() as log:
        settings = os.path.join(folder, "Tamrel_S.ini")
        while kills < wanted_kills:
            rounds += 1
            if mode == "ostrel":
                port = free_udp_port()
                proc = start([child, str(port), str(rounds), str(OSTREL_LINES)], folder, log)
                stop = threading.Event()
                sender = threading.Thread(target=stream, args=(port, stop))
                sender.start()
                sent, closed = end_round(proc, rng, log)
                stop.set()
                sender.join()
                f, n = check_captures(folder)
                files, lines = max(files, f), max(lines, n)
                found = ostrel_round_of(folder)
            else:
                proc = start([child, settings, str(rounds), str(TAMREL_PADDING)], folder, log)
                sent, closed = end_round(proc, rng, log)
                found = tamrel_round_of(settings)
            kills += sent
            if closed and found != rounds:
                fail(f"round {rounds} closed normally but the settings are of round {found}")
            if found not in (written, rounds):
                fail(f"after round {rounds} the settings are of round {found}, neither old ({written}) nor new")
            written = found
        left = [n for n in os.listdir(folder) if not re.fullmatch(r"receive\d+\.dat|Ostrel\.ini|Tamrel_S\.ini", n)]
    print(f"{mode}: {rounds} rounds, {kills} SIGKILLs; {files} capture files with {lines} lines, all whole; "
          f"settings always whole; other files left behind: {sorted(left) or 'none'}")


def main():
    if len(sys.argv) not in (3, 4) or sys.argv[1] not in ("ostrel", "tamrel"):
        sys.exit("usage: crash_safety.py ostrel|tamrel CHILD [KILLS]")
    run(sys.argv[1], os.path.abspath(sys.argv[2]), int(sys.argv[3]) if len(sys.argv) == 4 else 50)


if __name__ == "__main__":
    main()
