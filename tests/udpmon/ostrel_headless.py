#!/usr/bin/python3
"""ostrel-headless as a real process on loopback, with real datagrams and
kernel-chosen ports: the trigger rules' matching and first-match order with
more than three rules, answers to --to and, with --reply-to-sender, to a peer
whose socket is connected to the listening port; ASCII mode; timed-save
files; the pcapng read back by tshark; SIGHUP starting a new capture file;
SIGTERM and SIGINT writing everything; a bad rule refused with exit status 2.
Every wait is bounded."""
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time

PROGRAM = sys.argv[1]
FAILURES = []


def check(condition, message):
    if not condition:
        FAILURES.append(message)


class Headless:
    """The program started in `folder` with its standard output to a file
    (so block-buffered) and its port read back from standard error."""

    def __init__(self, folder, *args):
        self.folder = folder
        self.out_path = os.path.join(folder, "out.txt")
        self.err_path = os.path.join(folder, "err.txt")
        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            self.proc = subprocess.Popen([PROGRAM, "--listen", "0", *args], cwd=folder, stdout=out, stderr=err)
        deadline = time.monotonic() + 30
        self.port = None
        while self.port is None:
            with open(self.err_path, encoding="utf-8") as err:
                found = re.search(r"listening on 0\.0\.0\.0:(\d+)", err.read())
            if found:
                self.port = int(found.group(1))
            elif self.proc.poll() is not None or time.monotonic() > deadline:
                self.proc.kill()
                sys.exit(f"ostrel-headless {args} did not start: {open(self.err_path).read()}")
            else:
                time.sleep(0.02)

    def send(self, payload):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.sendto(payload, ("127.0.0.1", self.port))

    def stop(self, signal_number=signal.SIGTERM):
        self.proc.send_signal(signal_number)
        try:
            status = self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            status = "killed after 30 s"
        check(status == 0, f"ended with status {status} after signal {signal_number}")
        with open(self.out_path, "rb") as out:
            return out.read().decode("utf-8").splitlines()


def receiver():
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.bind(("127.0.0.1", 0))
    s.settimeout(0.2)
    return s


def drain(s, wait=1.0):
    """Datagrams until none came for `wait` seconds (bounded to 10 s)."""
    got, deadline, quiet_until = [], time.monotonic() + 10, time.monotonic() + wait
    while time.monotonic() < min(deadline, quiet_until):
        try:
            data, source = s.recvfrom(65536)
            got.append((data, source))
            quiet_until = time.monotonic() + wait
        except socket.timeout:
            pass
    return got


def tshark(path):
    """(source, source port, destination, destination port, payload hex) per
    frame, and tshark's expert notes (bad checksums, malformed packets)."""
    run = subprocess.run(["/usr/bin/tshark", "-n", "-r", path, "-o", "udp.check_checksum:TRUE",
                          "-o", "ip.check_checksum:TRUE", "-T", "fields", "-E", "separator=/t", "-e", "ip.src",
                          "-e", "udp.srcport", "-e", "ip.dst", "-e", "udp.dstport", "-e", "data.data",
                          "-e", "_ws.expert"], capture_output=True, text=True, timeout=60)
    rows = [line.split("\t") for line in run.stdout.splitlines()]
    return [tuple(r[:4]) + (r[4],) for r in rows], [r[5] for r in rows if len(r) > 5 and r[5]]


def saved_lines(folder):
    """The lines of receive0.dat, receive1.dat, ... in order, date lines apart."""
    files, lines = [], []
    n = 0
    while os.path.exists(os.path.join(folder, f"receive{n}.dat")):
        with open(os.path.join(folder, f"receive{n}.dat"), "rb") as f:
            text = f.read().decode("utf-8")
        check(text.endswith("\r\n"), f"receive{n}.dat lines end in CR LF")
        rows = text.split("\r\n")[:-1]
        check(re.match(r"\d", rows[0]) is not None, f"receive{n}.dat starts with its date line: {rows[0]!r}")
        files.append(rows[0])
        lines += rows[1:]
        n += 1
    return files, lines


def rules_to_and_capture():
    """Five rules, answers to --to, timed save and a capture; SIGHUP and
    SIGTERM."""
    with tempfile.TemporaryDirectory() as folder:
        peer = receiver()
        to_port = peer.getsockname()[1]
        saves = os.path.join(folder, "saves")
        os.mkdir(saves)
        program = Headless(folder, "--to", f"127.0.0.1:{to_port}",
                           "--trigger", "01 03 ?? 1A=A1", "--trigger", "68 ** 16=A2 A2",
                           "--trigger", "01 03 77 1A=A3", "--trigger", "07 07=A5", "--trigger", "0a 0b=A4",
                           "--save-minutes", "0.01", "--save-dir", saves, "--pcap", "cap.pcapng")
        frames = [b"\x01\x03\x77\x1a", b"\x01\x03\x77\x1a\x00", b"\x68\x00\x16", b"\x68\x16",
                  b"\x68\x01\x02\x03\x16", b"\x0a\x0b", b"\x07", b"\x68\x16\x16"]
        for frame in frames:
            program.send(frame)
        answers = drain(peer)
        # First match only: 01 03 77 1A is rule 1's, never rule 3's; 07 is not 07 07.
        check([a for a, _ in answers] == [b"\xa1", b"\xa2\xa2", b"\xa2\xa2", b"\xa4", b"\xa2\xa2"],
              f"answers to --to: {answers}")
        check(all(source[1] != program.port for _, source in answers), "answers to --to leave from a new port")
        time.sleep(1.0)  # at least one timed save of 0.6 s has run
        os.kill(program.proc.pid, signal.SIGHUP)
        deadline = time.monotonic() + 10
        while not os.path.exists(os.path.join(folder, "cap.1.pcapng")) and time.monotonic() < deadline:
            time.sleep(0.05)
        check(os.path.exists(os.path.join(folder, "cap.1.pcapng")), "SIGHUP starts cap.1.pcapng")
        program.send(b"\x01\x03\x00\x1a")
        check([a for a, _ in drain(peer)] == [b"\xa1"], "the answer after SIGHUP")
        lines = program.stop()
        hex_lines = [" ".join(f"{b:02X}" for b in f) + " " for f in frames + [b"\x01\x03\x00\x1a"]]
        check(lines == hex_lines, f"standard output after SIGTERM: {lines}")
        dates, saved = saved_lines(saves)
        check(len(dates) >= 2, f"timed-save files while running and at the end: {dates}")
        check(saved == hex_lines, f"timed-save lines: {saved}")

        received, notes = tshark(os.path.join(folder, "cap.pcapng"))
        check(not notes, f"tshark notes on cap.pcapng: {notes}")
        into = [r for r in received if r[3] == str(program.port)]
        out = [r for r in received if r[1] != str(program.port) and r[3] == str(to_port)]
        check([r[4] for r in into] == [f.hex() for f in frames], f"captured requests: {into}")
        check(all(r[0] == "127.0.0.1" and r[2] == "127.0.0.1" for r in received), f"addresses: {received}")
        check([r[4] for r in out] == ["a1", "a2a2", "a2a2", "a4", "a2a2"], f"captured answers: {out}")
        check(len(received) == len(frames) + 5, f"cap.pcapng holds {len(received)} frames")
        check(set(r[1] for r in out) == set(str(s[1]) for _, s in answers), "captured answers' source ports")
        after, notes = tshark(os.path.join(folder, "cap.1.pcapng"))
        check([r[4] for r in after] == ["0103001a", "a1"] and not notes, f"cap.1.pcapng: {after} {notes}")
        peer.close()


def reply_to_sender():
    """Answers from the listening port to a peer connected to it; SIGINT."""
    with tempfile.TemporaryDirectory() as folder:
        program = Headless(folder, "--reply-to-sender", "--quiet", "--trigger", "01 03=05 06", "--pcap", "c.pcapng")
        peer = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        peer.bind(("127.0.0.1", 0))
        peer.connect(("127.0.0.1", program.port))  # takes datagrams from that port only
        peer.settimeout(0.2)
        for _ in range(3):
            peer.send(b"\x01\x03")
        peer.send(b"")
        got = drain(peer)
        check([a for a, _ in got] == [b"\x05\x06"] * 3, f"answers to the connected peer: {got}")
        lines = program.stop(signal.SIGINT)
        check(lines == [], f"--quiet writes nothing: {lines}")
        received, notes = tshark(os.path.join(folder, "c.pcapng"))
        me = str(peer.getsockname()[1])
        check(received == [("127.0.0.1", me, "127.0.0.1", str(program.port), "0103"),
                           ("127.0.0.1", str(program.port), "127.0.0.1", me, "0506")] * 3
              + [("127.0.0.1", me, "127.0.0.1", str(program.port), "")] and not notes,
              f"c.pcapng: {received} {notes}")
        peer.close()


def ascii_mode():
    """Text lines, no answers, timed-save files with their date line only."""
    with tempfile.TemporaryDirectory() as folder:
        peer = receiver()
        program = Headless(folder, "--ascii", "--to", f"127.0.0.1:{peer.getsockname()[1]}",
                           "--trigger", "**=05", "--save-minutes", "10")
        program.send(b"AB\x00CD")
        program.send("温度".encode("utf-8"))
        program.send(b"\x00x")
        check(drain(peer, 0.5) == [], "no answer in ASCII mode")
        lines = program.stop()
        check(lines == ["AB", "温度", ""], f"ASCII lines: {lines}")
        dates, saved = saved_lines(folder)
        check(len(dates) == 1 and saved == [], f"ASCII timed save: {dates} {saved}")
        peer.close()


def bad_rule():
    run = subprocess.run([PROGRAM, "--listen", "0", "--trigger", "01 03=05", "--trigger", "01 ?? **=05"],
                         capture_output=True, timeout=30)
    err = run.stderr.decode("utf-8")
    check(run.returncode == 2 and "触发报文通配符大于两个,请修改!" in err and run.stdout == b"",
          f"a bad rule: status {run.returncode}, {err!r}")


def main():
    rules_to_and_capture()
    reply_to_sender()
    ascii_mode()
    bad_rule()
    if FAILURES:
        sys.exit("\n".join(FAILURES))
    print("ostrel-headless: rules, answers, ASCII mode, timed save, capture and signals as expected")


if __name__ == "__main__":
    main()
