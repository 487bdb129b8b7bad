#!/usr/bin/python3
"""ostrel-headless beyond one unicast peer, as a real process: its pcapng
capture (read back by tshark) records where each datagram was sent to (the
host's own address, a multicast group joined with --join, a broadcast
address, ::1 and an IPv6 group) in the datagram's own family, an answer
sent to an IPv6 --to as IPv6 too, and the answers it sends to a group
leave with the TTL or hop limit of --multicast-ttl on the interface of
--multicast-if, as the receiving socket is told by the system (IP_RECVTTL,
IP_PKTINFO and their IPv6 kin).

Multicast needs an interface that carries it: the script runs itself again
in a network namespace of its own (unshare -rn) with the loopback
interface's MULTICAST flag set and a pair of virtual Ethernet interfaces
v0/v1; the loopback interface drops IPv6 multicast sent on it, so IPv6
groups go over v0. Without a namespace the multicast cases are skipped
(and said so); the rest runs. Every wait is bounded."""
import os
import re
import socket
import struct
import subprocess
import sys
import tempfile
import time

# The program's start and stop, and the failures list, are shared with the
# unicast script beside this one.
from ostrel_headless import FAILURES, Headless, check

PROGRAM = sys.argv[1]
SKIPPED = []

GROUP4 = "239.255.31.7"
GROUP6 = "ff15::31:7"
ANSWER_GROUP4 = "239.255.31.8"
ANSWER_GROUP6 = "ff15::31:8"
# Linux's numbers, which this Python may not name.
IP_RECVTTL = getattr(socket, "IP_RECVTTL", 12)
IP_PKTINFO = getattr(socket, "IP_PKTINFO", 8)


def in_namespace_again():
    """Runs the script again in a network namespace of its own, when one can
    be made and this is not one already."""
    if os.environ.get("TELEMON_NETNS"):
        return
    probe = subprocess.run(["unshare", "-rn", "sh", "-c", "ip link set lo up multicast on"],
                           capture_output=True)
    if probe.returncode != 0:
        return
    os.environ["TELEMON_NETNS"] = "1"
    os.execvp("unshare", ["unshare", "-rn", "sh", "-c",
                          "ip link set lo up multicast on && ip route add 224.0.0.0/4 dev lo && exec \"$0\" \"$@\"",
                          sys.executable, os.path.abspath(__file__), PROGRAM])


def ip(*args):
    return subprocess.run(["ip", *args], capture_output=True).returncode == 0


def veth_pair():
    """v0 and v1, up, with IPv6 addresses usable at once (no duplicate
    address detection); False when the namespace cannot have them."""
    return (ip("link", "add", "v0", "type", "veth", "peer", "name", "v1") and ip("link", "set", "v0", "up")
            and ip("link", "set", "v1", "up") and ip("-6", "addr", "add", "fd31::1/64", "dev", "v0", "nodad")
            and ip("-6", "addr", "add", "fd31::2/64", "dev", "v1", "nodad")
            and ip("-6", "addr", "add", "fe80::31:1/64", "dev", "v0", "nodad")
            and ip("-6", "addr", "add", "fe80::31:2/64", "dev", "v1", "nodad"))


def sender(family, interface=None):
    s = socket.socket(family, socket.SOCK_DGRAM)
    if interface is not None and family == socket.AF_INET:
        s.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF,
                     struct.pack("4s4si", b"\0" * 4, b"\0" * 4, socket.if_nametoindex(interface)))
    elif interface is not None:
        s.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_MULTICAST_IF, socket.if_nametoindex(interface))
    return s


def tshark(path):
    """(source, destination, source port, destination port, payload hex) per
    frame, IPv4 or IPv6 alike, and tshark's expert notes."""
    run = subprocess.run(["/usr/bin/tshark", "-n", "-r", path, "-o", "udp.check_checksum:TRUE",
                          "-o", "ip.check_checksum:TRUE", "-T", "fields", "-E", "separator=/t",
                          "-e", "ip.src", "-e", "ipv6.src", "-e", "ip.dst", "-e", "ipv6.dst", "-e", "udp.srcport",
                          "-e", "udp.dstport", "-e", "data.data", "-e", "_ws.expert"],
                         capture_output=True, text=True, timeout=60)
    rows = [line.split("\t") for line in run.stdout.splitlines()]
    notes = [r[7] for r in rows if len(r) > 7 and r[7]]
    notes = [re.sub(r"Possible traceroute: hop #\d+(, attempt #\d+)?,?", "", n).strip(", ") for n in notes]
    notes = [n for n in notes if n and not re.fullmatch(r"(Expert Info \(Chat/\w+\):\s*,?\s*)+", n)]
    return [(r[0] or r[1], r[2] or r[3], r[4], r[5], r[6]) for r in rows if len(r) > 6], notes


def capture_destinations(multicast, six_multicast, ipv4_only):
    """Each datagram in the capture from its sender to where it was sent, on
    a dual-stack socket and on an IPv4 one (whose system calls differ)."""
    six_multicast = six_multicast and not ipv4_only
    with tempfile.TemporaryDirectory() as folder:
        args = ["--ipv4-only"] if ipv4_only else []
        if multicast:
            args += ["--join", GROUP4 + "%lo"]
        if six_multicast:
            args += ["--join", GROUP6 + "%v0"]
        program = Headless(folder, "--pcap", "cap.pcapng", *args)
        port = program.port
        cases = [  # (family, destination, sending interface, payload)
            (socket.AF_INET, "127.0.0.1", None, b"\x01"),
            (socket.AF_INET, "127.255.255.255", None, b"\x02\x02"),
        ]
        if not ipv4_only:
            cases.append((socket.AF_INET6, "::1", None, b"\x03"))
        if multicast:
            cases.append((socket.AF_INET, GROUP4, "lo", b"\x04"))
        elif not ipv4_only:
            SKIPPED.append("IPv4 group: no network namespace with a multicast loopback interface")
        if six_multicast:
            cases.append((socket.AF_INET6, GROUP6, "v0", b"\x05"))
        elif not ipv4_only:
            SKIPPED.append("IPv6 group: no pair of virtual Ethernet interfaces in a namespace")
        expected = []
        for family, destination, interface, payload in cases:
            with sender(family, interface) as s:
                s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
                s.bind(("::" if family == socket.AF_INET6 else "0.0.0.0", 0))
                s.sendto(payload, (destination, port))
                sent_from = s.getsockname()[1]
            # The source the system gave: ::1 over loopback, the interface's
            # own address over v0, and none to a group over the loopback
            # interface, which has no address of link scope.
            source = {"::1": "::1", GROUP6: "fd31::1", GROUP4: "0.0.0.0"}.get(destination, "127.0.0.1")
            expected.append((source, destination, str(sent_from), str(port), payload.hex()))
            time.sleep(0.05)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and len(open(program.out_path, "rb").read()) == 0:
            time.sleep(0.05)
        lines = program.stop()
        mode = "IPv4 only" if ipv4_only else "dual stack"
        check(lines == [" ".join(f"{b:02X}" for b in c[3]) + " " for c in cases],
              f"{mode}: lines of every destination: {lines}")
        received, notes = tshark(os.path.join(folder, "cap.pcapng"))
        check(received == expected and not notes, f"{mode}: capture {received} {notes}, expected {expected}")


def answer_over_ipv6_captured(veth):
    """A request over ::1 and its answer to an IPv6 --to, both in the
    capture as IPv6 from the ports they left, the answer from the address
    the system sent it from (the link-local one of the interface named in
    the zone of a link-local destination)."""
    rows = [("[::1]", ("::1", 0, 0, 0), "::1")]  # (--to host, where the answers arrive, source)
    if veth:
        rows.append(("[fe80::31:2%v0]", ("fe80::31:2", 0, 0, socket.if_nametoindex("v1")), "fe80::31:1"))
    else:
        SKIPPED.append("answer to a link-local address: no pair of virtual Ethernet interfaces in a namespace")
    for host, arrival, source_address in rows:
        with tempfile.TemporaryDirectory() as folder, socket.socket(socket.AF_INET6, socket.SOCK_DGRAM) as answers:
            answers.bind(arrival)
            answers.settimeout(5)
            port = answers.getsockname()[1]
            program = Headless(folder, "--quiet", "--pcap", "cap.pcapng", "--to", f"{host}:{port}",
                               "--trigger", "01=02 0B")
            with socket.socket(socket.AF_INET6, socket.SOCK_DGRAM) as device:
                device.sendto(b"\x01", ("::1", program.port))
                request_port = device.getsockname()[1]
                try:
                    answer, source = answers.recvfrom(2048)
                except socket.timeout:
                    answer, source = None, (None, None)
            program.stop()
            received, notes = tshark(os.path.join(folder, "cap.pcapng"))
            expected = [("::1", "::1", str(request_port), str(program.port), "01"),
                        (source_address, arrival[0], str(source[1]), str(port), "020b")]
            check(answer == b"\x02\x0b" and received == expected and not notes,
                  f"answer to {host} {answer!r}: capture {received} {notes}, expected {expected}")


def received_with_ancillary(s, wait=5.0):
    """(payload, hop limit or TTL, interface index) of one datagram, or None."""
    s.settimeout(wait)
    try:
        data, ancillary, _, _ = s.recvmsg(2048, 256)
    except socket.timeout:
        return None
    hops, interface = None, None
    for level, kind, value in ancillary:
        if (level, kind) in ((socket.IPPROTO_IP, socket.IP_TTL), (socket.IPPROTO_IPV6, socket.IPV6_HOPLIMIT)):
            hops = struct.unpack("i", value[:4])[0] if len(value) >= 4 else value[0]
        elif (level, kind) == (socket.IPPROTO_IP, IP_PKTINFO):
            interface = struct.unpack("i", value[:4])[0]
        elif (level, kind) == (socket.IPPROTO_IPV6, socket.IPV6_PKTINFO):
            interface = struct.unpack("16sI", value[:20])[1]
    return data, hops, interface


def group_receiver(family, group, interfaces):
    """A socket on a port of its own that joined `group` on each interface
    and is told each datagram's hop limit and arrival interface."""
    six = family == socket.AF_INET6
    r = socket.socket(family, socket.SOCK_DGRAM)
    r.bind(("::" if six else "0.0.0.0", 0))
    for name in interfaces:
        index = socket.if_nametoindex(name)
        if six:
            r.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_JOIN_GROUP,
                         socket.inet_pton(socket.AF_INET6, group) + struct.pack("@I", index))
        else:
            r.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP,
                         socket.inet_aton(group) + b"\0" * 4 + struct.pack("@i", index))
    if six:
        r.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_RECVHOPLIMIT, 1)
        r.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_RECVPKTINFO, 1)
    else:
        r.setsockopt(socket.IPPROTO_IP, IP_RECVTTL, 1)
        r.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
    return r


def answers_to_a_group(six_multicast):
    """An answer sent to a group: with --multicast-ttl and --multicast-if
    it leaves with that hop limit on that interface; without them with the
    system's (1, the interface its route names)."""
    cases = [  # (family, group, interfaces joined, options, hops expected, arrival interface expected)
        (socket.AF_INET, ANSWER_GROUP4, ["lo"], [], 1, "lo"),
        (socket.AF_INET, ANSWER_GROUP4, ["lo"], ["--multicast-ttl", "7"], 7, "lo"),
    ]
    if six_multicast:
        cases += [
            (socket.AF_INET, ANSWER_GROUP4, ["lo", "v0"], ["--multicast-ttl", "9", "--multicast-if", "v0"], 9, "v0"),
            (socket.AF_INET6, ANSWER_GROUP6, ["v0"], ["--multicast-ttl", "5", "--multicast-if", "v0"], 5, "v0"),
        ]
    for family, group, interfaces, options, hops, arrival in cases:
        label = f"answer to {group} with {options}"
        with group_receiver(family, group, interfaces) as r, tempfile.TemporaryDirectory() as folder:
            destination = f"[{group}]" if family == socket.AF_INET6 else group
            program = Headless(folder, "--quiet", "--to", f"{destination}:{r.getsockname()[1]}",
                               "--trigger", "01=02 0A", *options)
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as device:
                device.sendto(b"\x01", ("127.0.0.1", program.port))
            got = received_with_ancillary(r)
            program.stop()
            check(got == (b"\x02\x0a", hops, socket.if_nametoindex(arrival)),
                  f"{label}: received {got}, expected hop limit {hops} on {arrival}")


def main():
    in_namespace_again()
    namespace = bool(os.environ.get("TELEMON_NETNS"))
    six_multicast = namespace and veth_pair()
    if six_multicast:
        time.sleep(0.2)
    for ipv4_only in (False, True):
        capture_destinations(namespace, six_multicast, ipv4_only)
    answer_over_ipv6_captured(six_multicast)
    if namespace:
        answers_to_a_group(six_multicast)
    else:
        SKIPPED.append("answers to a group: no network namespace")
    for skipped in SKIPPED:
        print("skipped:", skipped)
    if FAILURES:
        sys.exit("\n".join(FAILURES))
    print("ok")


main()
