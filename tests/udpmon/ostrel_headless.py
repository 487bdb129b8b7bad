#!/usr/bin/python3
"""ostrel-headless as a real process on loopback, with real datagrams and
kernel-chosen ports: the trigger rules' matching and first-match order with
more than three rules, answers to --to (from one port, or from a new port
each with --new-port-each-time) and, with --reply-to-sender, to a peer
whose socket is connected to the listening port; ASCII mode; timed-save
files; the point table of --points checked against --point-list; the
pcapng read back by tshark; SIGHUP starting a new capture file;
SIGTERM and SIGINT writing everything; a bad rule refused with exit status 2;
no file made before the port is had, no capture written over or through a
link; a full disk (a tmpfs, as root) costing whole packets only, counted;
errors at most one a second. Every wait is bounded."""
import os
import re
import signal
import socket
import subprocess
import sys
import shutil
import tempfile
import time

PROGRAM = sys.argv[1]
FAILURES = []
# The checks that read the program's messages read their English texts.
ENGLISH = {k: v for k, v in os.environ.items() if k not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES")}
ENGLISH["LANG"] = "en_US.UTF-8"


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
            self.proc = subprocess.Popen([PROGRAM, "--listen", "0", *args], cwd=folder, stdout=out, stderr=err,
                                         env=ENGLISH)
        deadline = time.monotonic() + 30
        self.port = None
        while self.port is None:
            with open(self.err_path, encoding="utf-8") as err:
                found = re.search(r"listening on (?:0\.0\.0\.0|\[::\]):(\d+)", err.read())
            if found:
                self.port = int(found.group(1))
            elif self.proc.poll() is not None or time.monotonic() > deadline:
                self.proc.kill()
                sys.exit(f"ostrel-headless {args} did not start: {open(self.err_path).read()}")
            else:
                time.sleep(0.02)

    def errors(self):
        with open(self.err_path, encoding="utf-8") as err:
            return err.read().splitlines()

    def send(self, payload):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.sendto(payload, ("127.0.0.1", self.port))

    def stop(self, signal_number=signal.SIGTERM, expected=0):
        self.proc.send_signal(signal_number)
        try:
            status = self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            status = "killed after 30 s"
        check(status == expected, f"ended with status {status} after signal {signal_number}")
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
    # "Possible traceroute" is a guess from the port number alone (ports
    # from 33434 on), which a port the kernel chose may fall on: no fault.
    notes = [r[5] for r in rows if len(r) > 5 and r[5]]
    # tshark may give the guess's heading ("Expert Info (Chat/Sequence): ")
    # apart from its text: a heading left alone says nothing either.
    notes = [re.sub(r"Possible traceroute: hop #\d+(, attempt #\d+)?,?", "", note).strip(", ") for note in notes]
    notes = [n for n in notes if n and not re.fullmatch(r"(Expert Info \(Chat/\w+\):\s*,?\s*)+", n)]
    return [tuple(r[:4]) + (r[4],) for r in rows], notes


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
        check(len(set(source[1] for _, source in answers)) == 1 and answers[0][1][1] != program.port,
              f"answers to --to leave from one port of their own: {answers}")
        time.sleep(1.0)  # at least one timed save of 0.6 s has run
        os.kill(program.proc.pid, signal.SIGHUP)
        deadline = time.monotonic() + 10
        while not os.path.exists(os.path.join(folder, "cap.1.pcapng")) and time.monotonic() < deadline:
            time.sleep(0.05)
        check(os.path.exists(os.path.join(folder, "cap.1.pcapng")), "SIGHUP starts cap.1.pcapng")
        program.send(b"\x01\x03\x00\x1a")
        after_hup = drain(peer)
        check([a for a, _ in after_hup] == [b"\xa1"] and after_hup[0][1] == answers[0][1],
              f"the answer after SIGHUP, from the same port: {after_hup}")
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


def new_port_each_time():
    """--new-port-each-time: each answer to --to from a port of its own."""
    with tempfile.TemporaryDirectory() as folder:
        peer = receiver()
        program = Headless(folder, "--to", f"127.0.0.1:{peer.getsockname()[1]}", "--new-port-each-time",
                           "--quiet", "--trigger", "01 03=05 06")
        for _ in range(3):
            program.send(b"\x01\x03")
            time.sleep(0.05)  # the socket of an answer is closed before the next opens
        answers = drain(peer)
        check([a for a, _ in answers] == [b"\x05\x06"] * 3, f"answers with --new-port-each-time: {answers}")
        ports = [source[1] for _, source in answers]
        check(len(set(ports)) == 3 and program.port not in ports, f"a new port for each answer: {ports}")
        program.stop()
        peer.close()


def ipv6_loopback():
    try:
        with socket.socket(socket.AF_INET6, socket.SOCK_DGRAM) as s:
            s.bind(("::1", 0))
        return True
    except OSError:
        return False


def both_families():
    """A listener on "::" takes peers of both families and answers each
    from the listening port; --to [::1]:PORT sends to an IPv6 peer;
    --ipv4-only listens on 0.0.0.0 and no IPv6 peer reaches it."""
    if not ipv6_loopback():
        print("ostrel-headless: no IPv6 loopback address (::1): the IPv6 cases are skipped")
        return
    with tempfile.TemporaryDirectory() as folder:
        program = Headless(folder, "--reply-to-sender", "--trigger", "01 03=05 06")
        check("listening on [::]:" in program.errors()[0], f"listens on both families: {program.errors()}")
        for family, host in ((socket.AF_INET, "127.0.0.1"), (socket.AF_INET6, "::1")):
            with socket.socket(family, socket.SOCK_DGRAM) as peer:
                peer.bind((host, 0))
                peer.settimeout(0.2)
                peer.sendto(b"\x01\x03", (host, program.port))
                got = drain(peer)
                check([(a, s[0]) for a, s in got] == [(b"\x05\x06", host)]
                      and all(s[1] == program.port for _, s in got),
                      f"the answer to a peer at {host}, from the listening port: {got}")
        lines = program.stop()
        check(lines == ["01 03 ", "01 03 "], f"lines of both families: {lines}")

        six = socket.socket(socket.AF_INET6, socket.SOCK_DGRAM)
        six.bind(("::1", 0))
        six.settimeout(0.2)
        program = Headless(folder, "--to", f"[::1]:{six.getsockname()[1]}", "--trigger", "01 03=05 06")
        program.send(b"\x01\x03")
        got = drain(six)
        check([a for a, _ in got] == [b"\x05\x06"], f"answers to --to [::1]:PORT: {got}")
        program.stop()
        six.close()

        # Each family's peer is a link of its own in the events, named by its address.
        program = Headless(folder, "--quiet", "--events", "six.csv")
        for family, host in ((socket.AF_INET, "127.0.0.1"), (socket.AF_INET6, "::1")):
            with socket.socket(family, socket.SOCK_DGRAM) as peer:
                for ns in (0, 1, 3):
                    peer.sendto(bytes([0x68, 0x10, ns << 1, 0, 0, 0, 0x09, 0x01, 0x03, 0x00, 0x01, 0x00,
                                       0x01, 0x00, 0x00, 0x64, 0x00, 0x00]), (host, program.port))
                    time.sleep(0.02)
        program.stop()
        with open(os.path.join(folder, "six.csv"), encoding="utf-8") as events:
            gaps = [line.split(",")[3] for line in events.read().splitlines() if ",gap," in line]
        check(gaps == ["127.0.0.1", "::1"], f"a gap on each family's link, named by its address: {gaps}")

        program = Headless(folder, "--ipv4-only", "--trigger", "01 03=05 06", "--reply-to-sender")
        check("listening on 0.0.0.0:" in program.errors()[0], f"--ipv4-only: {program.errors()}")
        with socket.socket(socket.AF_INET6, socket.SOCK_DGRAM) as peer:
            peer.settimeout(0.2)
            peer.sendto(b"\x01\x03", ("::1", program.port))
            check(drain(peer, 0.5) == [], "no IPv6 peer reaches a listener of --ipv4-only")
        program.send(b"\x01\x03")
        check(program.stop() == ["01 03 "], "--ipv4-only still takes IPv4 peers")


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
    """A refused rule, a bad option and a point list with a fault end the
    start with their message, and --help is printed, in the language chosen
    by --lang or else by the environment."""
    folder = tempfile.mkdtemp(prefix="ostrel-headless-lang-")
    point_list = os.path.join(folder, "list.csv")
    with open(point_list, "w", encoding="utf-8") as f:
        f.write("protocol,station,address\nXYZ,1,1\n")
    rule = ["--trigger", "01 03=05", "--trigger", "01 ?? **=05"]
    wildcards_zh = "触发报文通配符大于两个,请修改!"
    wildcards_en = "Too many wildcards in the trigger frame, please correct it!"
    cases = [
        ("C locale", "C", rule, 2, wildcards_zh),
        ("English desktop", "en_US.UTF-8", rule, 2, wildcards_en),
        ("Chinese desktop", "zh_CN.UTF-8", rule, 2, wildcards_zh),
        ("--lang zh on an English desktop", "en_US.UTF-8", ["--lang", "zh", *rule], 2, wildcards_zh),
        ("--lang=en under the C locale", "C", ["--lang=en", *rule], 2, wildcards_en),
        ("point list, English desktop", "en_US.UTF-8", ["--point-list", point_list], 1,
         'point list ' + point_list + ': Line 2: Unknown protocol "XYZ"'),
        ("point list, C locale", "C", ["--point-list", point_list], 1,
         '点表清单 ' + point_list + ': 第2行: 协议 "XYZ" 不认识'),
        ("unknown language", "en_US.UTF-8", ["--lang", "fr"], 2, "ostrel-headless: --lang: 'fr' is not zh or en."),
        ("option error, --lang zh", "en_US.UTF-8", ["--lang", "zh", "--multicast-ttl", "300"], 2,
         "ostrel-headless: --multicast-ttl：'300' 不是 0 到 255 之间的数。\n请用 'ostrel-headless --help' 查看更多信息。\n"),
        ("option error, --lang en", "zh_CN.UTF-8", ["--lang", "en", "--multicast-ttl", "300"], 2,
         "ostrel-headless: --multicast-ttl: '300' is not a number from 0 to 255.\n"
         "Try 'ostrel-headless --help' for more information.\n"),
        ("--help, Chinese desktop", "zh_CN.UTF-8", ["--help"], 0, "用法：ostrel-headless [选项]\n"),
    ]
    for name, lang, args, status, message in cases:
        env = {k: v for k, v in os.environ.items() if k not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES")}
        env["LANG"] = lang
        run = subprocess.run([PROGRAM, "--listen", "0", *args], capture_output=True, timeout=30, env=env, cwd=folder)
        # --help on standard output, every fault on standard error.
        shown, other = (run.stdout, run.stderr) if status == 0 else (run.stderr, run.stdout)
        text = shown.decode("utf-8")
        check(run.returncode == status and message in text and other == b"",
              f"{name}: status {run.returncode}, {text!r}, {other!r}")
    # Scripts read the port from this line, so its words stay in every language.
    env = {k: v for k, v in os.environ.items() if k not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES")}
    env["LANG"] = "zh_CN.UTF-8"
    with subprocess.Popen([PROGRAM, "--listen", "0"], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                          env=env, cwd=folder) as proc:
        first = proc.stderr.readline().decode("utf-8").strip()
        proc.terminate()
    check(re.fullmatch(r"ostrel-headless: listening on (?:0\.0\.0\.0|\[::\]):\d+", first), f"listening line, Chinese desktop: {first!r}")
    shutil.rmtree(folder)


def earlier_captures():
    """A busy port makes no file; a capture name that exists, as a file or as
    a link, is passed over for the next free number, at start and at SIGHUP."""
    with tempfile.TemporaryDirectory() as folder:
        earlier = bytes(range(256)) * 20
        victim = os.path.join(folder, "victim")
        for name in ("cap.1.pcapng", "victim"):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(earlier)
        os.symlink(victim, os.path.join(folder, "cap.pcapng"))
        os.symlink(victim, os.path.join(folder, "cap.3.pcapng"))
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as busy:
            busy.bind(("0.0.0.0", 0))
            run = subprocess.run([PROGRAM, "--listen", str(busy.getsockname()[1]), "--pcap", "cap.1.pcapng"],
                                 cwd=folder, capture_output=True, timeout=30)
        check(run.returncode == 1 and sorted(os.listdir(folder)) == ["cap.1.pcapng", "cap.3.pcapng", "cap.pcapng",
                                                                     "victim"],
              f"a busy port: status {run.returncode}, files {sorted(os.listdir(folder))}")

        program = Headless(folder, "--quiet", "--pcap", "cap.pcapng")
        program.send(b"\x01")
        os.kill(program.proc.pid, signal.SIGHUP)
        deadline = time.monotonic() + 10
        while not os.path.exists(os.path.join(folder, "cap.4.pcapng")) and time.monotonic() < deadline:
            time.sleep(0.05)
        program.send(b"\x02")
        time.sleep(0.3)
        program.stop()
        errors = program.errors()
        check(any("cap.pcapng is a symbolic link" in e for e in errors)
              and any("cap.3.pcapng is a symbolic link" in e for e in errors)
              and any(e.endswith("capture to cap.2.pcapng") and "listening on" in e for e in errors)
              and any(e.endswith("capture to cap.4.pcapng") for e in errors), f"standard error: {errors}")
        for name in ("cap.1.pcapng", "victim"):
            with open(os.path.join(folder, name), "rb") as f:
                check(f.read() == earlier, f"{name} kept")
        check(os.path.islink(os.path.join(folder, "cap.3.pcapng")), "the link cap.3.pcapng kept")
        for name, payload in (("cap.2.pcapng", "01"), ("cap.4.pcapng", "02")):
            received, notes = tshark(os.path.join(folder, name))
            check([r[4] for r in received] == [payload] and not notes, f"{name}: {received} {notes}")


def timed_save_errors():
    """A timed save failing at every tick (its folder moved away) says so at most
    once a second; the last save fails and the status says it."""
    with tempfile.TemporaryDirectory() as folder:
        saves = os.path.join(folder, "saves")
        os.mkdir(saves)
        program = Headless(folder, "--quiet", "--save-minutes", "0.0002", "--save-dir", saves)
        os.rename(saves, saves + ".gone")
        start = time.monotonic()
        while time.monotonic() - start < 2.5:
            program.send(b"\x01")
            time.sleep(0.01)
        program.stop(expected=1)
        errors = [e for e in program.errors() if "listening on" not in e]
        check(2 <= len(errors) <= 5, f"timed-save errors in 2.5 s, the last save's included: {errors}")


def full_disk():
    """A capture on a full tmpfs: whole packets lost and counted, told at most
    once a second and once when there is room again; every packet in the file
    read; status 1."""
    if os.geteuid() != 0:
        print("ostrel-headless: the full-disk case is skipped: mounting a tmpfs needs root")
        return
    with tempfile.TemporaryDirectory() as folder:
        disk = os.path.join(folder, "disk")
        os.mkdir(disk)
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=128k", "tmpfs", disk], check=True)
        try:
            filler = os.path.join(disk, "filler")
            with open(filler, "wb") as f:
                f.write(bytes(64 * 1024))
            program = Headless(folder, "--quiet", "--pcap", os.path.join(disk, "cap.pcapng"))
            payloads = [k.to_bytes(2, "big") + bytes(998) for k in range(270)]
            for payload in payloads[:250]:
                program.send(payload)
                time.sleep(0.004)
            time.sleep(1.2)
            os.remove(filler)
            for payload in payloads[250:]:
                program.send(payload)
                time.sleep(0.004)
            time.sleep(0.3)
            program.stop(expected=1)
            errors = program.errors()
            received, notes = tshark(os.path.join(disk, "cap.pcapng"))
        finally:
            subprocess.run(["umount", disk], check=True)
        read = [r[4] for r in received]
        lost = len(payloads) - len(read)
        expected = [p.hex() for p in payloads if p.hex() in read]
        check(0 < lost < 250 and read == expected and read[-20:] == [p.hex() for p in payloads[250:]] and not notes,
              f"full disk: tshark read {len(read)} of {len(payloads)}, notes {notes}")
        failures = [e for e in errors if "capture not written" in e]
        again = [e for e in errors if "again, after" in e]
        check(1 <= len(failures) <= 3 and len(again) == 1 and errors[-1].endswith(f": {lost} packets lost: they "
                                                                                  "could not be written to the capture"),
              f"full disk: {lost} lost, standard error {errors}")


def link_events():
    """--events: a gap in the device's N(S) and the TESTFR round trip that a
    trigger answers, as CSV lines flushed as they are found, in the next free
    numbered file; the summary line on standard error at SIGTERM."""
    def i_frame(ns):
        return bytes([0x68, 0x10, (ns << 1) & 0xFF, ns >> 7, 0, 0, 0x09, 0x01, 0x03, 0x00, 0x01, 0x00,
                      0x01, 0x00, 0x00, 0x64, 0x00, 0x00])
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "ev.csv"), "w") as taken:
            taken.write("keep\n")
        peer = receiver()
        program = Headless(folder, "--quiet", "--events", "ev.csv", "--to", f"127.0.0.1:{peer.getsockname()[1]}",
                           "--trigger", "68 04 43 00 00 00=68 04 83 00 00 00")
        path = os.path.join(folder, "ev.1.csv")
        for frame in (b"\x68\x04\x43\x00\x00\x00", i_frame(0), i_frame(1), i_frame(3)):
            program.send(frame)
            time.sleep(0.02)
        answers = drain(peer, 0.3)
        check([a for a, _ in answers] == [b"\x68\x04\x83\x00\x00\x00"], f"TESTFR answered: {answers}")
        deadline, lines = time.monotonic() + 10, []
        while time.monotonic() < deadline and not any(",gap," in line for line in lines):
            time.sleep(0.05)
            with open(path, encoding="utf-8") as events:
                lines = events.read().splitlines()
        check(lines[:1] == ["serial,time,time_us,link,direction,protocol,kind,severity,text,frame,frame_us"],
              f"the header line first: {lines[:1]}")
        kinds = [line.split(",")[6:8] for line in lines[1:]]
        check(["gap", "fault"] in kinds and ["testfr", "info"] in kinds,
              f"gap and TESTFR events written before the end: {lines}")
        gap = next((line for line in lines if ",gap," in line), "")
        check(",127.0.0.1,from-device,iec104," in gap and i_frame(3).hex(" ").upper() in gap, f"the gap's frame: {gap}")
        program.stop()
        with open(os.path.join(folder, "ev.csv")) as taken:
            check(taken.read() == "keep\n", "an existing events file is never written over")
        errors = program.errors()
        check(any("events to ev.1.csv" in e for e in errors) and len(errors) >= 3 and "gap" in errors[-1],
              f"the events file named and the summary line last on standard error: {errors}")
        peer.close()


def points():
    """--points and --point-list: the table written at each timed save and
    at SIGTERM, replacing the file whole, with the list's marks; the summary
    on standard error; a list with a fault refused at start with 1, naming
    its line."""
    def scaled(ioa, value):
        return bytes([0x68, 0x10, 0, 0, 0, 0, 0x0B, 0x01, 0x03, 0x00, 0x01, 0x00, ioa & 0xFF, ioa >> 8, 0x00,
                      value & 0xFF, (value >> 8) & 0xFF, 0x00])
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "bad.csv"), "w", encoding="utf-8") as bad:
            bad.write("protocol,station,address\nIEC104,1,100\nIEC104,1,x\n")
        refused = subprocess.run([PROGRAM, "--listen", "0", "--point-list", "bad.csv"], cwd=folder,
                                 capture_output=True, timeout=30, env=ENGLISH)
        check(refused.returncode == 1 and "Line 3" in refused.stderr.decode("utf-8"),
              f"a bad list refused naming its line: {refused.returncode} {refused.stderr!r}")
        check(not os.path.exists(os.path.join(folder, "p.csv")), "nothing made after a refused list")
        unwritable = subprocess.run([PROGRAM, "--listen", "0", "--points", "no-such-folder/p.csv"], cwd=folder,
                                    capture_output=True, timeout=30, env=ENGLISH)
        check(unwritable.returncode == 1 and "cannot write the points file" in unwritable.stderr.decode("utf-8"),
              f"a points file that cannot be written ends the start: {unwritable.returncode} {unwritable.stderr!r}")
        with open(os.path.join(folder, "list.csv"), "w", encoding="utf-8") as good:
            good.write("protocol,station,address,name,type,unit,low,high\n"
                       "IEC104,1,100,Feeder,标度化值,A,0,50\nIEC104,1,200,Spare,,,,\n")
        program = Headless(folder, "--quiet", "--points", "p.csv", "--point-list", "list.csv",
                           "--save-minutes", "0.005")
        path = os.path.join(folder, "p.csv")
        program.send(scaled(100, 70))
        program.send(scaled(300, 5))
        deadline, rows = time.monotonic() + 10, []
        while time.monotonic() < deadline and not any(",100,Feeder,标度化值,70," in row for row in rows):
            time.sleep(0.05)
            if os.path.exists(path):
                with open(path, encoding="utf-8-sig") as table:
                    rows = table.read().splitlines()
        check(any(",100,Feeder,标度化值,70," in row and row.endswith(",越限") for row in rows),
              f"the table written at a timed save, out of range marked: {rows}")
        program.send(scaled(100, 20))
        time.sleep(0.1)
        program.stop()
        with open(path, encoding="utf-8-sig") as table:
            rows = table.read().splitlines()
        check(rows[:1] and rows[0].startswith("协议,站址,点号,名称,类型,值,单位"), f"the header row: {rows[:1]}")
        by_address = {row.split(",")[2]: row for row in rows[1:]}
        check(",20," in by_address.get("100", "") and by_address.get("100", "").endswith(",监视,,"),
              f"the last value at SIGTERM, no longer out of range: {rows}")
        check(by_address.get("200", "").endswith("未收到") and by_address.get("300", "").endswith("不在点表"),
              f"missing and unlisted points marked: {rows}")
        check(not [name for name in os.listdir(folder) if name.startswith("p.csv.")], "no temporary file left")
        errors = program.errors()
        check(errors and "points: 2 seen" in errors[-1] and "1 missing" in errors[-1],
              f"the summary line last on standard error: {errors}")


def main():
    points()
    link_events()
    rules_to_and_capture()
    new_port_each_time()
    both_families()
    reply_to_sender()
    ascii_mode()
    bad_rule()
    earlier_captures()
    timed_save_errors()
    full_disk()
    if FAILURES:
        sys.exit("\n".join(FAILURES))
    print("ostrel-headless: rules, answers, ASCII mode, timed save, capture, link events and signals as expected")


if __name__ == "__main__":
    main()
