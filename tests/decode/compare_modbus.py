"""MODBUS RTU and MODBUS/TCP: our decoder's fields against tshark's.

The corpus is corpus/modbus_pymodbus.txt (requests and responses built by
pymodbus 3.0's RTU and socket framers from its request and response objects,
recorded once by `compare_modbus.py --record`) and corpus/modbus_hand.txt
(frames written here: other units and values, exceptions of every listed
function, bad CRCs). A line "#: rtu request" (or rtu response, tcp request,
tcp response) says what the frames below it are: tshark tells a request
from a response by the direction of the packet, so a response is sent from
the server's port.

Compared per frame: unit, function, exception code, addresses, counts,
byte count, register values, coil and input bits, written data, CRC
status and the MBAP fields, each wherever tshark shows it.

    compare_modbus.py DECODE_DUMP     compare, exit 1 on a disagreement
    compare_modbus.py --record        rewrite corpus/modbus_pymodbus.txt
"""

import copy
import os
import re
import sys

import tshark_dissect
from tshark_dissect import dissect, our_decoding

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = [os.path.join(HERE, "corpus", name) for name in ("modbus_pymodbus.txt", "modbus_hand.txt")]
TCP_PORT = 502
RTU_PORT = 5020

TSHARK_KEYS = {
    "mbrtu.unit_id": "unit", "mbtcp.unit_id": "unit", "mbtcp.trans_id": "trans",
    "mbtcp.prot_id": "prot", "mbtcp.len": "len", "modbus.func_code": "func",
    "modbus.exception_code": "exception", "modbus.reference_num": "reference",
    "modbus.read_reference_num": "reference", "modbus.write_reference_num": "write_reference",
    "modbus.bit_cnt": "count", "modbus.word_cnt": "count", "modbus.read_word_cnt": "count",
    "modbus.write_word_cnt": "write_count", "modbus.byte_cnt": "byte_count",
    "modbus.regval_uint16": "registers", "modbus.bitval": "bits", "modbus.data": "data",
    "mbrtu.crc16.status": "crc", "modbus.reference_type": "reference_type", "modbus.mei": "mei",
    "modbus.read_device_id": "device_id_code", "modbus.conformity_level": "conformity",
    "modbus.more_follows": "more_follows", "modbus.next_object_id": "next_object",
    "modbus.num_objects": "objects", "modbus.object_id": "object_ids", "modbus.objects_len": "object_lengths",
    "modbus.object_str_value": "object_values",
}
LIST_KEYS = {"registers", "bits", "reference_type", "object_ids", "object_lengths", "object_values"}
# tshark shows these as hex ("0x83"), ours in decimal
HEX_KEYS = {"conformity", "more_follows"}

OUR_KEYS = {
    "Unit identifier": "unit", "Transaction identifier": "trans", "Protocol identifier": "prot",
    "Length": "len", "Exception code": "exception", "Starting address": "reference",
    "Output address": "reference", "Register address": "reference",
    "Read starting address": "reference", "Write starting address": "write_reference",
    "Quantity of coils": "count", "Quantity of inputs": "count", "Quantity of outputs": "count",
    "Quantity of registers": "count", "Quantity to read": "count", "Quantity to write": "write_count",
    "Byte count": "byte_count", "Write byte count": "byte_count", "FIFO pointer address": "reference",
    "FIFO count": "count", "Record length": "count", "MEI type": "mei", "Read device ID code": "device_id_code",
    "Conformity level": "conformity", "More follows": "more_follows", "Next object ID": "next_object",
    "Number of objects": "objects",
}
OUR_LISTS = {"Reference type": "reference_type", "Object ID": "object_ids", "Object length": "object_lengths"}


def read_corpus():
    """(kind, direction, frame) for every frame line of the corpus files."""
    frames = []
    for path in CORPUS:
        kind = direction = None
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.strip()
                marker = re.match(r"#:\s*(rtu|tcp)\s+(request|response)$", line)
                if marker:
                    kind, direction = marker.groups()
                elif line and not line.startswith("#"):
                    if kind is None:
                        raise SystemExit("%s: a frame before the first '#:' line" % path)
                    frames.append((kind, direction, bytes.fromhex(line)))
    return frames


def leading_int(text):
    m = re.match(r"(0x[0-9A-Fa-f]+|\d+)", text)
    return int(m.group(1), 0)


def ours(fields, frame):
    """Our fields as the comparison's keys."""
    out = {}
    function = None
    registers, bits, data = [], [], ""
    for f in fields:
        name, value = f["name"], f["value"]
        raw = frame[f["offset"]:f["offset"] + f["length"]].hex()
        if name == "Function code":
            function = leading_int(value)
            out["func"] = str(function & 0x7F)
        elif name == "CRC":
            out["crc"] = "1" if f["verdict"] == "good" else "0"
        elif name in OUR_LISTS:
            out.setdefault(OUR_LISTS[name], []).append(str(leading_int(value)))
        elif name == "Object value" and f["depth"] == 2 and value.startswith('"'):
            out.setdefault("object_values", []).append(value[1:-1])
        elif name == "Record data":
            data = raw  # the last record's, as in theirs()
        elif name in OUR_KEYS and OUR_KEYS[name] not in out:
            out[OUR_KEYS[name]] = str(leading_int(value))
        elif re.match(r"(Coils|Inputs) \d+-\d+$", name):
            bits += value.split()
        elif re.match(r"Outputs \d+-\d+$", name) or name in ("Output value", "Register value", "Output data"):
            data += raw
        elif re.match(r"FIFO value \d+$", name):
            data += raw
        elif name == "Server data":  # tshark shows the byte count with it
            data += frame[f["offset"] - 1:f["offset"] + f["length"]].hex()
        elif re.match(r"(Register|Value) \d+$", name) and function == 23:
            data += raw
        elif re.match(r"(Register|Value) \d+$", name):
            registers.append(str(leading_int(value)))
    if registers:
        out["registers"] = registers
    if bits:
        out["bits"] = bits
    if data:
        out["data"] = data
    return out


def theirs(row):
    out = {}
    for field, values in row.items():
        if not values:
            continue
        key = TSHARK_KEYS[field]
        if key in LIST_KEYS:
            out[key] = values
        elif key == "data" and row.get("modbus.func_code") in (["20"], ["21"]):
            # tshark 4.0 shows each record's data but the last running on to the PDU's end
            out[key] = values[-1].replace(":", "")
        elif key == "data":
            out[key] = values[0].replace(":", "")
        elif key in HEX_KEYS:
            out[key] = str(int(values[0], 0))
        else:
            out.setdefault(key, values[0])
    return out


def dissect_as(frames, kind, direction):
    """tshark's rows for frames of one kind and direction."""
    transport, port, name = ("tcp", TCP_PORT, "mbtcp") if kind == "tcp" else ("udp", RTU_PORT, "mbrtu")
    fields = [f for f in TSHARK_KEYS if f.split(".")[0] in ("modbus", name)]
    packet = tshark_dissect._packet
    if direction == "response":  # from the server's port to the client's
        tshark_dissect._packet = lambda payload, tr, sport, dport: packet(payload, tr, dport, sport)
    try:
        return dissect(frames, fields, transport, port, name, ["mbrtu.crc_verification:TRUE"])
    finally:
        tshark_dissect._packet = packet


def compare(decode_dump):
    corpus = read_corpus()
    total = agree = unread = 0
    keys = {}
    for kind in ("rtu", "tcp"):
        kind_total = kind_agree = kind_values = kind_differ = 0
        for direction in ("request", "response"):
            frames = [f for k, d, f in corpus if k == kind and d == direction]
            if not frames:
                continue
            rows = dissect_as(frames, kind, direction)
            decoded = our_decoding(decode_dump, frames, "modbusrtu" if kind == "rtu" else "modbustcp",
                                   direction="to-device" if direction == "request" else "from-device")
            for frame, row, fields in zip(frames, rows, decoded):
                want, got = theirs(row), ours(fields, frame)
                kind_total += 1
                if "func" not in want:
                    if kind == "rtu" and len(frame) == 4:
                        # tshark takes no RTU frame of a lone function code (a request without data)
                        kind_total -= 1
                        unread += 1
                        continue
                    print("%s %s %s: tshark shows no function" % (kind, direction, frame.hex(" ")))
                    continue
                for k in want:
                    keys[k] = keys.get(k, 0) + 1
                differ = {k: (v, got.get(k)) for k, v in want.items() if got.get(k) != v}
                kind_values += len(want)
                kind_differ += len(differ)
                if differ:
                    print("%s %s %s: tshark, ours differ: %s" % (kind, direction, frame.hex(" "), differ))
                else:
                    kind_agree += 1
        label = "MODBUS RTU" if kind == "rtu" else "MODBUS/TCP"
        print("%s: %d frames compared, %d agree" % (label, kind_total, kind_agree))
        print("%s summary: %d frames, %d values compared, %d agree, %d disagree"
              % (label, kind_total, kind_values, kind_values - kind_differ, kind_differ))
        total += kind_total
        agree += kind_agree
    if unread:
        print("%d RTU frames of a function code alone left out: tshark does not read them" % unread)
    print("values compared: " + ", ".join("%s %d" % kv for kv in sorted(keys.items())))
    return 0 if agree == total and total > 0 else 1


def record():
    """The pymodbus frames: each function's request and response that the decoder reads, and exceptions."""
    from pymodbus.bit_read_message import (ReadCoilsRequest, ReadCoilsResponse,
                                           ReadDiscreteInputsRequest, ReadDiscreteInputsResponse)
    from pymodbus.bit_write_message import (WriteMultipleCoilsRequest, WriteMultipleCoilsResponse,
                                            WriteSingleCoilRequest, WriteSingleCoilResponse)
    from pymodbus.factory import ClientDecoder
    from pymodbus.framer.rtu_framer import ModbusRtuFramer
    from pymodbus.framer.socket_framer import ModbusSocketFramer
    from pymodbus.pdu import ExceptionResponse
    from pymodbus.register_read_message import (ReadHoldingRegistersRequest, ReadHoldingRegistersResponse,
                                                ReadInputRegistersRequest, ReadInputRegistersResponse,
                                                ReadWriteMultipleRegistersRequest,
                                                ReadWriteMultipleRegistersResponse)
    from pymodbus.register_write_message import (WriteMultipleRegistersRequest, WriteMultipleRegistersResponse,
                                                 WriteSingleRegisterRequest, WriteSingleRegisterResponse)
    from pymodbus.diag_message import ReturnQueryDataRequest, ReturnQueryDataResponse
    from pymodbus.file_message import ReadFifoQueueRequest, ReadFifoQueueResponse
    from pymodbus.other_message import (GetCommEventCounterRequest, GetCommEventCounterResponse,
                                        GetCommEventLogRequest, GetCommEventLogResponse,
                                        ReadExceptionStatusRequest, ReadExceptionStatusResponse,
                                        ReportSlaveIdRequest, ReportSlaveIdResponse)
    from pymodbus.register_write_message import MaskWriteRegisterRequest, MaskWriteRegisterResponse
    requests = [
        ReadCoilsRequest(19, 37, unit=17), ReadCoilsRequest(0, 1, unit=1),
        ReadDiscreteInputsRequest(196, 22, unit=3), ReadHoldingRegistersRequest(107, 3, unit=1),
        ReadHoldingRegistersRequest(40000, 125, unit=247), ReadInputRegistersRequest(8, 1, unit=9),
        WriteSingleCoilRequest(172, True, unit=4), WriteSingleCoilRequest(7, False, unit=4),
        WriteSingleRegisterRequest(1, 3, unit=5), WriteSingleRegisterRequest(65535, 65535, unit=5),
        WriteMultipleCoilsRequest(19, [True, False, True, True, False, False, True, True, True, False], unit=6),
        WriteMultipleRegistersRequest(1, [10, 258], unit=7),
        ReadWriteMultipleRegistersRequest(read_address=3, read_count=6, write_address=14,
                                          write_registers=[255, 255, 255], unit=8),
    ]
    responses = [
        ReadCoilsResponse([True, False, True, True, False, False, True, True, True, True, False, True,
                           False, True, True, False, False, True, False, False, True, True, False, True,
                           False, True, True, True, False, False, False, False, True, True, False, True,
                           True], unit=17),
        ReadCoilsResponse([True], unit=1),
        ReadDiscreteInputsResponse([False, False, True, True, False, True, False, True] * 2, unit=3),
        ReadHoldingRegistersResponse([555, 0, 100], unit=1),
        ReadInputRegistersResponse([10], unit=9),
        WriteSingleCoilResponse(172, True, unit=4), WriteSingleRegisterResponse(1, 3, unit=5),
        WriteMultipleCoilsResponse(19, 10, unit=6), WriteMultipleRegistersResponse(1, 2, unit=7),
        ReadWriteMultipleRegistersResponse([254, 0xFFFF, 0x1234, 0, 1, 2], unit=8),
        ExceptionResponse(1, 1, unit=1), ExceptionResponse(2, 2, unit=2), ExceptionResponse(3, 2, unit=1),
        ExceptionResponse(4, 3, unit=4), ExceptionResponse(5, 4, unit=5), ExceptionResponse(6, 6, unit=6),
        ExceptionResponse(15, 3, unit=7), ExceptionResponse(16, 4, unit=2), ExceptionResponse(23, 11, unit=8),
    ]
    # the functions without addresses and counts, after the others
    requests += [
        ReadExceptionStatusRequest(unit=2), ReturnQueryDataRequest(0xA537, unit=2),
        GetCommEventCounterRequest(unit=3), GetCommEventLogRequest(unit=3), ReportSlaveIdRequest(unit=4),
        MaskWriteRegisterRequest(4, 0x00F2, 0x0025, unit=5), ReadFifoQueueRequest(0x04DE, unit=6),
    ]
    # pymodbus 3.0 sends the FIFO count in bytes: ours shows it bad, tshark as a word count
    responses += [
        ReadExceptionStatusResponse(0x6D, unit=2), ReturnQueryDataResponse(0xA537, unit=2),
        GetCommEventCounterResponse(0x0108, unit=3),
        GetCommEventLogResponse(status=True, message_count=0x0121, event_count=0x0108, events=[0x20, 0x00], unit=3),
        ReportSlaveIdResponse(b"\x11\x22", True, unit=4),
        MaskWriteRegisterResponse(4, 0x00F2, 0x0025, unit=5), ReadFifoQueueResponse([0x01B8, 0x1284], unit=6),
    ]
    # file records and device identification, after the others; pymodbus 3.0
    # writes a Read File Record response's reference type where the sub-response's
    # length belongs, so that response comes from the protocol document instead
    # (modbus_hand.txt)
    from pymodbus.file_message import (FileRecord, ReadFileRecordRequest, WriteFileRecordRequest,
                                       WriteFileRecordResponse)
    from pymodbus.mei_message import ReadDeviceInformationRequest, ReadDeviceInformationResponse
    written = [FileRecord(file_number=4, record_number=7, record_data=b"\x06\xaf\x04\xbe\x10\x0d"),
               FileRecord(file_number=9, record_number=9999, record_data=b"\x12\x34")]
    requests += [
        ReadFileRecordRequest([FileRecord(file_number=4, record_number=1, record_length=2),
                               FileRecord(file_number=3, record_number=9, record_length=2)], unit=9),
        WriteFileRecordRequest(written[:1], unit=9), WriteFileRecordRequest(written, unit=10),
        ReadDeviceInformationRequest(read_code=1, object_id=0, unit=11),
        ReadDeviceInformationRequest(read_code=4, object_id=5, unit=11),
    ]
    responses += [
        WriteFileRecordResponse(written[:1], unit=9), WriteFileRecordResponse(written, unit=10),
        ReadDeviceInformationResponse(read_code=1, information={0: b"Company", 1: b"PM-1", 2: b"v2.1"}, unit=11),
        ReadDeviceInformationResponse(read_code=4, information={5: b"T-800"}, unit=11),
        ExceptionResponse(20, 2, unit=9), ExceptionResponse(21, 4, unit=10), ExceptionResponse(43, 1, unit=11),
    ]
    lines = ["# MODBUS frames built by pymodbus 3.0's framers from its request and",
             "# response objects; written by compare_modbus.py --record, do not edit."]
    for kind, framer in (("rtu", ModbusRtuFramer), ("tcp", ModbusSocketFramer)):
        for direction, messages in (("request", requests), ("response", responses)):
            lines.append("#: %s %s" % (kind, direction))
            for tid, message in enumerate(messages, start=1):
                message.transaction_id = tid
                # a copy: pymodbus counts a device identification's objects again at each encoding
                lines.append(framer(ClientDecoder()).buildPacket(copy.deepcopy(message)).hex(" ").upper())
    with open(CORPUS[0], "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    if sys.argv[1:] == ["--record"]:
        record()
        sys.exit(0)
    if len(sys.argv) != 2:
        sys.exit("usage: compare_modbus.py DECODE_DUMP | --record")
    sys.exit(compare(sys.argv[1]))
