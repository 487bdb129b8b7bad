// The point table from decoded frames of each protocol, its check against a
// point list (each mark provoked once), the list's reader refusing bad files
// by their line, and the table's bounds and exports.
#include "analysis/Points.h"

#include "frame/Crc.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using analysis::Direction;
using analysis::PointModel;
using analysis::PointProtocol;
using Bytes = std::vector<std::uint8_t>;

constexpr auto kTo = Direction::ToDevice;
constexpr auto kFrom = Direction::FromDevice;
constexpr std::int64_t kStart = 1'765'000'000'000'000;

Bytes Hex(std::string_view text)
{
    const auto r = HexTextToBytes(text);
    EXPECT_TRUE(r.ok()) << text;
    return r.bytes;
}

Bytes WithModbusCrc(std::string_view text)
{
    Bytes b = Hex(text);
    const std::uint16_t crc = CrcModbus(b);
    b.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    b.push_back(static_cast<std::uint8_t>(crc >> 8));
    return b;
}

// A DNP3 link frame around "control, destination, source (low byte first),
// user data", each block's CRC added.
Bytes Dnp3(std::string_view typed)
{
    const Bytes t = Hex(typed);
    Bytes header{0x05, 0x64, static_cast<std::uint8_t>(5 + t.size() - 5)};
    header.insert(header.end(), t.begin(), t.begin() + 5);
    Bytes out = header;
    auto crc = [&out](std::span<const std::uint8_t> block) {
        const std::uint16_t c = CrcDnp(block);
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    };
    crc(header);
    for (std::size_t at = 5; at < t.size(); at += 16) {
        const std::span<const std::uint8_t> block(t.data() + at, std::min<std::size_t>(16, t.size() - at));
        out.insert(out.end(), block.begin(), block.end());
        crc(block);
    }
    return out;
}

struct Sent {
    Direction direction;
    Bytes bytes;
};

// "IEC104 1 4001 短浮点数 12.5 | IV | 控制 确认": the cells a row shows.
std::string RowText(const PointModel& m, const analysis::PointRow& row)
{
    std::string out = analysis::PointCell(m, row, 0) + " " + analysis::PointCell(m, row, 1) + " "
        + analysis::PointCell(m, row, 2) + " " + analysis::PointCell(m, row, 4) + " " + analysis::PointCell(m, row, 5)
        + " |" + analysis::PointCell(m, row, 7) + "|";
    if (row.key.direction == analysis::PointDirection::Command)
        out += " " + analysis::PointCell(m, row, 15) + " " + analysis::PointCell(m, row, 16);
    if (row.hasDeviceTime)
        out += " @" + analysis::PointCell(m, row, 9);
    return out;
}

struct FrameCase {
    const char* name;
    decode::Protocol protocol;
    std::vector<Sent> frames;
    std::vector<std::string> rows; // every row, in the model's order
};

class PointFrames : public testing::TestWithParam<FrameCase> {};

TEST_P(PointFrames, GiveTheirRows)
{
    const FrameCase& c = GetParam();
    analysis::PointSettings settings;
    settings.protocol = c.protocol;
    PointModel model(settings);
    std::int64_t t = kStart;
    for (const Sent& s : c.frames)
        model.Feed(s.bytes, s.direction, t += 1000, 7);
    std::vector<std::string> rows;
    for (const auto& row : model.Rows())
        rows.push_back(RowText(model, row));
    EXPECT_EQ(rows, c.rows);
}

const FrameCase kFrameCases[] = {
    {"Iec104SinglePointsEachAddressedWithQuality", decode::Protocol::Auto,
     {{kFrom, Hex("68 16 00 00 0E 00 01 03 14 00 01 00 01 00 00 01 02 00 00 00 03 00 00 91")}},
     {"IEC104 1 1 单点遥信 1 合 ||", "IEC104 1 2 单点遥信 0 分 ||", "IEC104 1 3 单点遥信 1 合 |IV BL|"}},
    {"Iec104SequenceCountsAddressesOn", decode::Protocol::Auto,
     {{kFrom, Hex("68 11 02 00 0E 00 01 84 14 00 01 00 64 00 00 01 00 41 20")}},
     {"IEC104 1 100 单点遥信 1 合 ||", "IEC104 1 101 单点遥信 0 分 ||", "IEC104 1 102 单点遥信 1 合 |NT|",
      "IEC104 1 103 单点遥信 0 分 |SB|"}},
    {"Iec104DoublePointStepAndBitstring", decode::Protocol::Iec104,
     {{kFrom, Hex("68 0E 00 00 00 00 03 01 03 00 05 00 0A 00 00 02")},
      {kFrom, Hex("68 0F 00 00 00 00 05 01 03 00 05 00 0B 00 00 FB 01")},
      {kFrom, Hex("68 12 00 00 00 00 07 01 03 00 05 00 0C 00 00 78 56 34 12 00")}},
     {"IEC104 5 10 双点遥信 2 合 ||", "IEC104 5 11 步位置 -5 |OV|", "IEC104 5 12 32位串 0x12345678 ||"}},
    {"Iec104MeasuredValuesScaled", decode::Protocol::Auto,
     {{kFrom, Hex("68 10 00 00 00 00 09 01 03 00 01 00 01 40 00 00 40 00")},
      {kFrom, Hex("68 10 00 00 00 00 0B 01 03 00 01 00 02 40 00 9C FF 00")},
      {kFrom, Hex("68 12 00 00 00 00 0D 01 03 00 01 00 03 40 00 00 00 48 41 80")},
      {kFrom, Hex("68 12 00 00 00 00 0F 01 25 00 01 00 01 64 00 E8 03 00 00 A0")}},
     {"IEC104 1 16385 归一化值 0.5 ||", "IEC104 1 16386 标度化值 -100 ||", "IEC104 1 16387 短浮点数 12.5 |IV|",
      "IEC104 1 25601 累计量 1000 |IV CY|"}},
    {"Iec104TimeTagCp56", decode::Protocol::Auto,
     {{kFrom, Hex("68 19 00 00 00 00 24 01 03 00 01 00 01 40 00 00 00 48 41 00 82 14 1E 0A 09 0C 1A")}},
     {"IEC104 1 16385 短浮点数 12.5 || @2026-12-09 10:30:05.250"}},
    {"Iec104CommandActivationConfirmationTermination", decode::Protocol::Auto,
     {{kTo, Hex("68 0E 00 00 00 00 2D 01 06 00 01 00 01 60 00 01")},
      {kFrom, Hex("68 0E 00 00 00 00 2D 01 07 00 01 00 01 60 00 01")},
      {kFrom, Hex("68 0E 00 00 00 00 2D 01 0A 00 01 00 01 60 00 01")}},
     {"IEC104 1 24577 单点命令 1 合 || 控制 终止"}},
    {"Iec104NegativeConfirmation", decode::Protocol::Auto,
     {{kTo, Hex("68 0E 00 00 00 00 2E 01 06 00 01 00 02 60 00 02")},
      {kFrom, Hex("68 0E 00 00 00 00 2E 01 47 00 01 00 02 60 00 02")}},
     {"IEC104 1 24578 双点命令 2 合 || 控制 否定"}},
    {"Iec101VariableFrame", decode::Protocol::Iec101,
     {{kFrom, Hex("68 0D 0D 68 08 01 0D 01 03 01 02 40 00 00 C8 42 00 67 16")}},
     {"IEC101 1 16386 短浮点数 100 ||"}},
    {"ModbusTcpReadsPairedWithRequests", decode::Protocol::Auto,
     {{kTo, Hex("00 01 00 00 00 06 01 03 00 64 00 02")},
      {kFrom, Hex("00 01 00 00 00 07 01 03 04 00 0A FF FF")},
      {kTo, Hex("00 02 00 00 00 06 01 01 00 00 00 03")},
      {kFrom, Hex("00 02 00 00 00 04 01 01 01 05")},
      {kTo, Hex("00 03 00 00 00 06 01 02 00 07 00 01")},
      {kFrom, Hex("00 03 00 00 00 04 01 02 01 01")},
      {kTo, Hex("00 04 00 00 00 06 02 04 00 00 00 01")},
      {kFrom, Hex("00 04 00 00 00 05 02 04 02 12 34")}},
     {"MODBUS 1 HR:100 保持寄存器 10 ||", "MODBUS 1 HR:101 保持寄存器 65535 ||", "MODBUS 1 CO:0 线圈 1 合 ||",
      "MODBUS 1 CO:1 线圈 0 分 ||", "MODBUS 1 CO:2 线圈 1 合 ||", "MODBUS 1 DI:7 离散输入 1 合 ||",
      "MODBUS 2 IR:0 输入寄存器 4660 ||"}},
    {"ModbusTcpRequestsOutstandingTogetherPairedByTransaction", decode::Protocol::Auto,
     {{kTo, Hex("00 07 00 00 00 06 01 03 00 00 00 01")},
      {kTo, Hex("00 08 00 00 00 06 01 03 00 05 00 01")},
      {kFrom, Hex("00 07 00 00 00 05 01 03 02 00 01")},
      {kFrom, Hex("00 08 00 00 00 05 01 03 02 00 02")}},
     {"MODBUS 1 HR:0 保持寄存器 1 ||", "MODBUS 1 HR:5 保持寄存器 2 ||"}},
    {"ModbusResponseWithoutItsRequestGivesNothing", decode::Protocol::Auto,
     {{kFrom, Hex("00 01 00 00 00 07 01 03 04 00 0A FF FF")},
      {kTo, Hex("00 02 00 00 00 06 01 03 00 64 00 02")},
      {kFrom, Hex("00 03 00 00 00 07 01 03 04 00 0A FF FF")}},
     {}},
    {"ModbusWritesConfirmedAndRefused", decode::Protocol::Auto,
     {{kTo, Hex("00 05 00 00 00 06 01 06 00 10 01 F4")},
      {kFrom, Hex("00 05 00 00 00 06 01 06 00 10 01 F4")},
      {kTo, Hex("00 06 00 00 00 06 01 05 00 03 FF 00")},
      {kFrom, Hex("00 06 00 00 00 03 01 85 02")}},
     {"MODBUS 1 HR:16 保持寄存器 500 || 控制 确认", "MODBUS 1 CO:3 线圈 1 合 || 控制 否定"}},
    {"ModbusRtuReadPaired", decode::Protocol::ModbusRtu,
     {{kTo, WithModbusCrc("11 04 00 08 00 01")}, {kFrom, WithModbusCrc("11 04 02 00 2A")}},
     {"MODBUS 17 IR:8 输入寄存器 42 ||"}},
    {"Dnp3AnalogInputsWithFlags", decode::Protocol::Auto,
     {{kFrom, Dnp3("44 03 00 04 00 C0 C0 81 00 00 1E 01 00 00 01 01 FB FF FF FF 21 A0 86 01 00")}},
     {"DNP3 4 g30/0 模拟量输入 -5 ||", "DNP3 4 g30/1 模拟量输入 100000 |OVER_RANGE|"}},
    {"Dnp3FragmentOfTwoFramesReadWhole", decode::Protocol::Auto,
     {{kFrom, Dnp3("44 03 00 04 00 40 C0 81 00 00 1E 01 00 00 01 01 FB")},
      {kFrom, Dnp3("44 03 00 04 00 81 FF FF FF 21 A0 86 01 00")}},
     {"DNP3 4 g30/0 模拟量输入 -5 ||", "DNP3 4 g30/1 模拟量输入 100000 |OVER_RANGE|"}},
    {"Dnp3BinaryEventIsItsStaticPoint", decode::Protocol::Auto,
     {{kFrom, Dnp3("44 03 00 04 00 C0 C0 81 00 00 01 02 00 03 03 81")},
      {kFrom, Dnp3("44 03 00 04 00 C1 C1 81 00 00 02 01 17 01 03 00")}},
     {"DNP3 4 g1/3 二进制输入 0 分 |OFFLINE|"}},
    {"Dnp3SelectConfirmedOrRefusedByEachStatus", decode::Protocol::Auto,
     {{kTo, Dnp3("C4 04 00 03 00 D7 D7 03 29 01 17 01 04 D2 04 00 00 00 29 02 17 01 05 FE FF 00 29 03 17 01 06 00 00 "
                 "10 40 00")},
      {kFrom, Dnp3("44 03 00 04 00 D7 D7 81 00 00 29 01 17 01 04 D2 04 00 00 04 29 02 17 01 05 FE FF 0C 29 03 17 01 "
                   "06 00 00 10 40 00")}},
     {"DNP3 4 g40/4 模拟量输出 1234 || 控制 否定", "DNP3 4 g40/5 模拟量输出 -2 || 控制 否定",
      "DNP3 4 g40/6 模拟量输出 2.25 || 控制 确认"}},
    {"Dnp3ControlRelayOutputBlocksTheirState", decode::Protocol::Auto,
     {{kTo, Dnp3("C4 04 00 03 00 C7 C7 05 0C 01 17 01 00 04 01 64 00 00 00 64 00 00 00 00")},
      {kTo, Dnp3("C4 04 00 03 00 D8 D8 04 0C 01 28 01 00 0C 00 41 02 FA 00 00 00 EE 02 00 00 00")}},
     {"DNP3 4 g10/0 二进制输出 0 分 || 控制 激活", "DNP3 4 g10/12 二进制输出 1 合 || 控制 激活"}},
    {"Dnp3ReadRequestCarriesNoValues", decode::Protocol::Auto,
     {{kTo, Dnp3("C4 04 00 03 00 C0 C1 01 3C 02 06 3C 03 06 3C 04 06 3C 01 06")}},
     {}},
    {"CdtMeasurementsAndSignals", decode::Protocol::Auto,
     {{kFrom, Hex("EB 90 EB 90 EB 90 71 61 04 01 00 FE 00 10 00 20 00 36 01 FB 0F 00 01 54 02 00 00 FF 87 70 03 FF "
                  "07 01 08 B3")}},
     {"CDT 1 YC:0 遥测 16 ||", "CDT 1 YC:1 遥测 32 ||", "CDT 1 YC:2 遥测 -5 ||", "CDT 1 YC:3 遥测 256 ||",
      "CDT 1 YC:4 遥测 0 ||", "CDT 1 YC:5 遥测 2047 |IV|", "CDT 1 YC:6 遥测 2047 ||", "CDT 1 YC:7 遥测 -2047 ||"}},
    {"CdtPulseCountsBinaryBcdAndInvalid", decode::Protocol::Auto,
     {{kFrom, Hex("EB 90 EB 90 EB 90 71 85 03 01 00 D4 A0 78 56 34 00 7A A1 56 34 12 20 31 A2 10 00 00 80 26")}},
     {"CDT 1 DD:0 电度 3430008 ||", "CDT 1 DD:1 电度 123456 ||", "CDT 1 DD:2 电度 16 |IV|"}},
};

INSTANTIATE_TEST_SUITE_P(Points, PointFrames, testing::ValuesIn(kFrameCases),
                         [](const testing::TestParamInfo<FrameCase>& i) { return std::string(i.param.name); });

// The fast reading of plain IEC 104 frames gives the rows the decoder's
// fields give, over every APDU of the decoder's corpus (each type and
// element), every corruption of their bytes one at a time, and all of them
// in one datagram.
TEST(PointModel, FastIec104ReadingAsTheDecoders)
{
    std::vector<Bytes> frames;
    std::ifstream corpus(TELEMON_DECODE_CORPUS "/iec104.txt");
    for (std::string line; std::getline(corpus, line);)
        if (!line.empty() && line[0] != '#')
            frames.push_back(Hex(line));
    ASSERT_GT(frames.size(), 40u);
    const std::size_t whole = frames.size();
    for (std::size_t i = 0; i < whole; ++i) {
        for (std::size_t at = 6; at < frames[i].size(); ++at) {
            Bytes changed = frames[i];
            changed[at] ^= static_cast<std::uint8_t>(0x80 | at);
            frames.push_back(std::move(changed));
        }
    }
    Bytes all;
    for (std::size_t i = 0; i < whole; ++i)
        all.insert(all.end(), frames[i].begin(), frames[i].end());
    frames.push_back(all);
    for (const Bytes& frame : frames) {
        analysis::PointSettings fast, fields;
        fast.protocol = fields.protocol = decode::Protocol::Iec104;
        fields.fastIec104 = false;
        PointModel a(fast), b(fields);
        a.Feed(frame, kFrom, kStart, 1);
        b.Feed(frame, kFrom, kStart, 1);
        ASSERT_EQ(a.Size(), b.Size()) << BytesToHexText(frame);
        for (std::size_t r = 0; r < a.Size(); ++r) {
            for (std::size_t c = 0; c < analysis::PointColumns().size(); ++c)
                EXPECT_EQ(analysis::PointCell(a, a.Row(r), c), analysis::PointCell(b, b.Row(r), c))
                    << BytesToHexText(frame) << " column " << c;
            EXPECT_TRUE(a.Row(r).value == b.Row(r).value
                        || (std::isnan(a.Row(r).value) && std::isnan(b.Row(r).value)));
            EXPECT_EQ(a.Row(r).deviceTimeUs, b.Row(r).deviceTimeUs);
        }
    }
}

// --- The check against a list -----------------------------------------------

TEST(PointCheck, EachMarkOnceAndTheCounts)
{
    analysis::PointList list;
    std::string error;
    ASSERT_TRUE(list.Read("\xEF\xBB\xBF"
                          "address,protocol,station,name,type,unit,low,high,remark\n"
                          "16385,IEC104,1,\"Feeder 1, P\",短浮点数,MW,0,20,x\n"
                          "16386,IEC104,1,Feeder 2 P,M_ME_NC_1,MW,0,20,\n"
                          "16387,IEC104,1,Breaker,单点遥信,,,\n"
                          "16388,IEC104,1,Bad quality,短浮点数,,,\n"
                          "16389,IEC104,1,Never sent,短浮点数,,,\n",
                          error))
        << error;
    PointModel model;
    model.SetList(list);
    // 16385 in range, 16386 out of range, 16387 a float where the list says
    // a single point, 16388 invalid, 16390 on no list; 16389 never comes.
    const std::vector<std::pair<std::string, std::string>> frames = {
        {"16385", "68 12 00 00 00 00 0D 01 03 00 01 00 01 40 00 00 00 48 41 00"},
        {"16386", "68 12 00 00 00 00 0D 01 03 00 01 00 02 40 00 00 00 C8 41 00"},
        {"16387", "68 12 00 00 00 00 0D 01 03 00 01 00 03 40 00 00 00 80 3F 00"},
        {"16388", "68 12 00 00 00 00 0D 01 03 00 01 00 04 40 00 00 00 80 3F 80"},
        {"16390", "68 12 00 00 00 00 0D 01 03 00 01 00 06 40 00 00 00 80 3F 00"},
    };
    for (const auto& [ioa, hex] : frames)
        model.Feed(Hex(hex), kFrom, kStart, 1);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"16385", ""},       {"16386", "越限"}, {"16387", "类型不符"}, {"16388", "品质异常"},
        {"16389", "未收到"}, {"16390", "不在点表"},
    };
    ASSERT_EQ(model.Size(), expected.size());
    for (const auto& [address, marks] : expected) {
        bool found = false;
        for (const auto& row : model.Rows()) {
            if (analysis::PointCell(model, row, 2) != address)
                continue;
            found = true;
            EXPECT_EQ(analysis::PointCell(model, row, 17), marks) << address;
        }
        EXPECT_TRUE(found) << address;
    }
    EXPECT_EQ(analysis::PointCell(model, model.Row(0), 3), "Feeder 1, P");
    EXPECT_EQ(analysis::PointCell(model, model.Row(0), 6), "MW");
    const analysis::PointCounts c = model.Counts();
    EXPECT_EQ(c.seen, 5u);
    EXPECT_EQ(c.listed, 5u);
    EXPECT_EQ(c.onList, 4u);
    EXPECT_EQ(c.missing, 1u);
    EXPECT_EQ(c.unlisted, 1u);
    EXPECT_EQ(c.outOfRange, 1u);
    EXPECT_EQ(c.wrongType, 1u);
    EXPECT_EQ(c.badQuality, 1u);

    // The missing point arrives: its row (the same index) loses the mark.
    const std::size_t missingRow = 4;
    ASSERT_EQ(analysis::PointCell(model, model.Row(missingRow), 2), "16389");
    model.Feed(Hex("68 12 00 00 00 00 0D 01 03 00 01 00 05 40 00 00 00 80 3F 00"), kFrom, kStart + 1, 1);
    EXPECT_EQ(model.Size(), expected.size());
    EXPECT_EQ(analysis::PointCell(model, model.Row(missingRow), 17), "");
    EXPECT_EQ(model.Row(missingRow).updates, 1u);
    EXPECT_EQ(model.Counts().missing, 0u);
}

// --- The list's reader ------------------------------------------------------

struct BadList {
    const char* name;
    const char* csv;
    const char* error; // the start of the message
};

class PointListRefuses : public testing::TestWithParam<BadList> {};

TEST_P(PointListRefuses, NamingTheLine)
{
    const BadList& c = GetParam();
    analysis::PointList list;
    std::string error;
    ASSERT_TRUE(list.Read("protocol,station,address\nIEC104,1,1\n", error)) << error;
    EXPECT_FALSE(list.Read(c.csv, error));
    EXPECT_EQ(error.substr(0, std::string_view(c.error).size()), c.error) << error;
    EXPECT_EQ(list.Entries().size(), 1u) << "the list read before is kept whole";
}

const BadList kBadLists[] = {
    {"NoHeader", "", "没有标题行"},
    {"HeaderLacksAddress", "protocol,station,name\n", "第1行: 标题行缺少列 \"address\""},
    {"ColumnTwice", "protocol,station,address,站址\n", "第1行: 列 \"站址\" 出现两次"},
    {"UnknownProtocol", "protocol,station,address\nIEC104,1,1\nIEC999,1,2\n", "第3行: 协议 \"IEC999\""},
    {"StationTooLarge", "protocol,station,address\n\nIEC104,70000,1\n", "第3行: 站址 \"70000\""},
    {"AddressOfAnotherProtocol", "protocol,station,address\nMODBUS,1,g30/5\n", "第2行: 点号 \"g30/5\""},
    {"UnknownType", "protocol,station,address,type\nIEC104,1,1,foo\n", "第2行: 类型 \"foo\""},
    {"LowNotANumber", "protocol,station,address,low\nIEC104,1,1,1O\n", "第2行: 下限 \"1O\""},
    {"LowAboveHigh", "protocol,station,address,low,high\nIEC104,1,1,5,1\n", "第2行: 下限大于上限"},
    {"SamePointTwice", "protocol,station,address\nMODBUS,1,40001\nMODBUS,1,HR:0\n", "第3行: 这个点在前面已经有了"},
    {"QuoteNotClosed", "protocol,station,address,name\nIEC104,1,1,\"a\nIEC104,1,2,b\n", "第2行: 引号没有结束"},
    {"TextAfterQuote", "protocol,station,address,name\nIEC104,1,1,\"a\"b\n", "第2行: 引号后面的文字"},
    {"LineCountedAcrossQuotedBreak", "protocol,station,address,name\nIEC104,1,1,\"a\nb\"\nIEC104,x,2,c\n",
     "第4行: 站址 \"x\""},
};

INSTANTIATE_TEST_SUITE_P(Points, PointListRefuses, testing::ValuesIn(kBadLists),
                         [](const testing::TestParamInfo<BadList>& i) { return std::string(i.param.name); });

TEST(PointList, TemplateReadsBackOneRowPerProtocol)
{
    analysis::PointList list;
    std::string error;
    ASSERT_TRUE(list.Read(analysis::PointListTemplate(), error)) << error;
    std::set<PointProtocol> protocols;
    for (const auto& e : list.Entries())
        protocols.insert(e.protocol);
    EXPECT_EQ(protocols.size(), analysis::kPointProtocolCount);
}

// The address texts an engineer types, and the one the table writes back.
TEST(PointAddress, TextsReadAndWritten)
{
    struct Case {
        PointProtocol protocol;
        const char* typed;
        const char* written; // "" : refused
    };
    const Case cases[] = {
        {PointProtocol::Iec104, "16385", "16385"},  {PointProtocol::Iec104, "16777216", ""},
        {PointProtocol::Modbus, "HR:100", "HR:100"}, {PointProtocol::Modbus, "40101", "HR:100"},
        {PointProtocol::Modbus, "300001", "IR:0"},   {PointProtocol::Modbus, "co17", "CO:17"},
        {PointProtocol::Modbus, "20001", ""},        {PointProtocol::Modbus, "40000", ""},
        {PointProtocol::Dnp3, "g30v1/5", "g30/5"},   {PointProtocol::Dnp3, "30/5", "g30/5"},
        {PointProtocol::Dnp3, "g30", ""},            {PointProtocol::Cdt, "yx:40", "YX:40"},
        {PointProtocol::Cdt, "F0:1", ""},
    };
    for (const Case& c : cases) {
        const auto a = analysis::ParseAddress(c.protocol, c.typed);
        if (std::string_view(c.written).empty()) {
            EXPECT_FALSE(a) << c.typed;
            continue;
        }
        ASSERT_TRUE(a) << c.typed;
        EXPECT_EQ(analysis::AddressText(c.protocol, *a), c.written);
    }
}

// --- Bounds, streams, changes and exports -----------------------------------

TEST(PointModel, RowLimitDropsNewPointsAndSaysSo)
{
    analysis::PointSettings settings;
    settings.maxRows = 2;
    PointModel model(settings);
    model.Feed(Hex("68 16 00 00 0E 00 01 03 14 00 01 00 01 00 00 01 02 00 00 00 03 00 00 91"), kFrom, kStart, 1);
    model.Feed(Hex("68 16 00 00 0E 00 01 03 14 00 01 00 01 00 00 00 02 00 00 00 03 00 00 91"), kFrom, kStart, 1);
    ASSERT_EQ(model.Size(), 2u);
    EXPECT_EQ(model.Row(0).updates, 2u) << "known points still update";
    EXPECT_EQ(model.Row(0).changes, 1u);
    EXPECT_EQ(model.Counts().dropped, 2u);
    EXPECT_NE(model.SummaryLine().find("limit reached"), std::string::npos) << model.SummaryLine();
}

TEST(PointModel, StreamChunksCutIntoFrames)
{
    const Bytes a = Hex("68 12 00 00 00 00 0D 01 03 00 01 00 01 40 00 00 00 48 41 00");
    const Bytes b = Hex("68 12 02 00 00 00 0D 01 03 00 01 00 02 40 00 00 00 48 41 00");
    Bytes both = a;
    both.insert(both.end(), b.begin(), b.end());
    PointModel model;
    // The first APDU cut in two, the second whole after the first's end.
    model.Feed(std::span(both).first(7), kFrom, kStart, 3, true);
    EXPECT_EQ(model.Size(), 0u);
    model.Feed(std::span(both).subspan(7), kFrom, kStart, 3, true);
    ASSERT_EQ(model.Size(), 2u);
    EXPECT_EQ(analysis::PointCell(model, model.Row(1), 2), "16386");
    EXPECT_EQ(model.Row(1).frame, b) << "a row keeps the frame it came in, not the chunk";
}

TEST(PointModel, ChangedSinceNamesOnlyTheRowsTouched)
{
    PointModel model;
    model.Feed(Hex("68 16 00 00 0E 00 01 03 14 00 01 00 01 00 00 01 02 00 00 00 03 00 00 91"), kFrom, kStart, 1);
    std::uint64_t now = 0;
    EXPECT_EQ(model.ChangedSince(0, now).size(), 3u);
    const std::uint64_t seen = now;
    model.Feed(Hex("68 0E 00 00 00 00 01 01 03 00 01 00 02 00 00 01"), kFrom, kStart, 1);
    std::uint64_t other = 0;
    EXPECT_EQ(model.ChangedSince(0, other).size(), 3u) << "a second reader from the start sees every row";
    EXPECT_EQ(model.ChangedSince(seen, now), std::vector<std::size_t>{1});
    EXPECT_TRUE(model.ChangedSince(now, now).empty());
    model.Feed(Hex("68 0E 00 00 00 00 01 01 03 00 01 00 03 00 00 01"), kFrom, kStart, 1);
    EXPECT_EQ(model.ChangedSince(seen, other), (std::vector<std::size_t>{1, 2})) << "an older reader";
    EXPECT_EQ(model.ChangedSince(now, now), std::vector<std::size_t>{2});
}

TEST(PointExports, CsvQuotesAndHtmlEscapes)
{
    analysis::PointList list;
    std::string error;
    ASSERT_TRUE(list.Read("protocol,station,address,name\nIEC104,1,1,\"<b>A, \"\"B\"\"</b>\"\nIEC104,1,9,=cmd\n",
                          error))
        << error;
    PointModel model;
    model.SetList(list);
    model.Feed(Hex("68 0E 00 00 00 00 01 01 03 00 01 00 01 00 00 01"), kFrom, kStart, 1);
    const std::string csv = analysis::PointsCsv(model);
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBF协议,站址,点号,名称,类型,值,单位,品质,传送原因,时标,到达时间,更新,变化,"
                                "首次,最近,方向,状态,标记\r\n"));
    EXPECT_NE(csv.find(",\"<b>A, \"\"B\"\"</b>\","), std::string::npos) << csv;
    EXPECT_NE(csv.find(",\"'=cmd\","), std::string::npos) << "a formula is kept as text";
    EXPECT_NE(csv.find("未收到\r\n"), std::string::npos);
    const std::string html = analysis::PointsHtml(model, "站 <1>");
    EXPECT_EQ(html.find("<b>A"), std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt;A, &quot;B&quot;&lt;/b&gt;"), std::string::npos);
    EXPECT_NE(html.find("<title>站 &lt;1&gt;</title>"), std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos);
    EXPECT_EQ(html.find("href="), std::string::npos);
}

} // namespace
