"""Frames dissected by tshark, for comparing our decoders with an independent one.

Each frame is written to a capture as one packet of its own stream (its own
source port, so TCP dissectors never join two frames), then tshark reads the
capture with the dissector chosen by "decode as" and prints the fields asked
for. The capture is written here rather than by text2pcap, so that the
addresses, ports and flags are ours to choose.
"""

import os
import shutil
import struct
import subprocess
import tempfile

TSHARK = shutil.which("tshark") or "/usr/bin/tshark"


def _checksum(data: bytes) -> int:
    if len(data) % 2:
        data += b"\0"
    s = sum(struct.unpack("!%dH" % (len(data) // 2), data))
    while s >> 16:
        s = (s & 0xFFFF) + (s >> 16)
    return ~s & 0xFFFF


def _packet(payload: bytes, transport: str, sport: int, dport: int) -> bytes:
    src, dst = bytes([10, 0, 0, 1]), bytes([10, 0, 0, 2])
    if transport == "udp":
        l4 = struct.pack("!HHHH", sport, dport, 8 + len(payload), 0) + payload
        proto = 17
    else:  # tcp, one segment with PSH and ACK
        l4 = struct.pack("!HHIIBBHHH", sport, dport, 1, 1, 5 << 4, 0x18, 65535, 0, 0) + payload
        proto = 6
    pseudo = src + dst + struct.pack("!BBH", 0, proto, len(l4))
    csum = _checksum(pseudo + l4)
    if transport == "udp":
        l4 = l4[:6] + struct.pack("!H", csum or 0xFFFF) + l4[8:]
    else:
        l4 = l4[:16] + struct.pack("!H", csum) + l4[18:]
    ip = struct.pack("!BBHHHBBH4s4s", 0x45, 0, 20 + len(l4), 0, 0x4000, 64, proto, 0, src, dst)
    ip = ip[:10] + struct.pack("!H", _checksum(ip)) + ip[12:]
    eth = bytes(6) + bytes([2, 0, 0, 0, 0, 1]) + struct.pack("!H", 0x0800)
    return eth + ip + l4


def write_pcap(path: str, frames, transport: str, port: int) -> None:
    """A classic pcap: frame k from port 40000 + k to `port`, one second apart."""
    with open(path, "wb") as f:
        f.write(struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 1))
        for k, frame in enumerate(frames):
            pkt = _packet(bytes(frame), transport, 40000 + k, port)
            f.write(struct.pack("<IIII", k, 0, len(pkt), len(pkt)))
            f.write(pkt)


def dissect(frames, fields, transport="tcp", port=2404, decode_as=None, prefs=()):
    """tshark's values of `fields` for each frame: one dict per frame, each
    field mapped to the list of its occurrences (as tshark prints them)."""
    with tempfile.TemporaryDirectory() as tmp:
        cap = os.path.join(tmp, "frames.pcap")
        write_pcap(cap, frames, transport, port)
        cmd = [TSHARK, "-r", cap, "-n", "-o", "tcp.desegment_tcp_streams:FALSE",
               "-T", "fields", "-E", "separator=/t", "-E", "occurrence=a", "-E", "aggregator=|"]
        if decode_as:
            cmd += ["-d", "%s.port==%d,%s" % (transport, port, decode_as)]
        for p in prefs:
            cmd += ["-o", p]
        for name in fields:
            cmd += ["-e", name]
        out = subprocess.run(cmd, check=True, capture_output=True, text=True).stdout
    rows = []
    for line in out.splitlines():
        cols = line.split("\t")
        cols += [""] * (len(fields) - len(cols))
        rows.append({name: (col.split("|") if col else []) for name, col in zip(fields, cols)})
    if len(rows) != len(frames):
        raise RuntimeError("tshark printed %d rows for %d frames" % (len(rows), len(frames)))
    return rows


def our_decoding(decode_dump: str, frames, protocol="auto", sizes=None, direction=None):
    """Our decoder's fields for each frame, from the decode_dump program: one
    list of dicts (depth, name, offset, length, value, verdict, expected) per frame.
    direction: "to-device" or "from-device" where the frames went one way."""
    cmd = [decode_dump, "--protocol", protocol]
    if direction:
        cmd += ["--direction", direction]
    if sizes:
        cmd += ["--iec101-sizes", ",".join(str(s) for s in sizes)]
    text = "".join(bytes(f).hex(" ") + "\n" for f in frames)
    out = subprocess.run(cmd, input=text, check=True, capture_output=True, text=True).stdout
    result = [[] for _ in frames]
    for line in out.splitlines():
        index, depth, name, offset, length, value, verdict, expected = line.split("\t")
        result[int(index)].append(dict(depth=int(depth), name=name, offset=int(offset),
                                       length=int(length), value=value, verdict=verdict,
                                       expected=expected))
    return result
