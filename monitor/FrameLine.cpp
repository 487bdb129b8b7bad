#include "monitor/FrameLine.h"

#include <algorithm>

#include "decode/Text.h"
#include "frame/HexText.h"

#include <QByteArray>
#include <QCoreApplication>

#include <string_view>

namespace monitor {

namespace {

// The texts that may stand in front of a received line's pairs: the time
// and the peer's address.
constexpr int kReceivePrefixes = 2;

// Made when shown, in the language of the translations installed by then.
QString EmptyLineText()
{
    return QCoreApplication::translate("monitor::FrameLine", "光标所在行没有报文");
}
QString NotHexLineText()
{
    return QCoreApplication::translate("monitor::FrameLine", "光标所在行不是十六进制报文");
}
QString AsciiLineText()
{
    return QCoreApplication::translate("monitor::FrameLine", "ASCII码模式的报文行没有可解析的字节");
}

// The pairs of a text; Empty when it holds no whole pair.
FrameOfLine FromPairs(std::string_view text)
{
    FrameOfLine result;
    FrameParseResult parsed = HexTextToBytes(text);
    if (!parsed.ok()) {
        result.kind = FrameOfLine::Kind::NotHex;
        return result;
    }
    if (!parsed.bytes.empty()) {
        result.kind = FrameOfLine::Kind::Frame;
        result.bytes = std::move(parsed.bytes);
    }
    return result;
}

} // namespace

FrameOfLine FrameOfLineText(const QString& line, FrameLineRule rule)
{
    if (line.isEmpty())
        return {};
    if (rule == FrameLineRule::ReceiveAscii || rule == FrameLineRule::SendAscii)
        return {FrameOfLine::Kind::Ascii, {}};
    const QByteArray utf8 = line.toUtf8();
    const std::string_view text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    switch (rule) {
    case FrameLineRule::Receive: {
        // The time and the peer's address may each stand in front of the
        // pairs, each followed by two spaces.
        FrameOfLine found = FromPairs(text);
        std::string_view rest = text;
        for (int prefix = 0; prefix < kReceivePrefixes && found.kind == FrameOfLine::Kind::NotHex; ++prefix) {
            const std::size_t gap = rest.find("  ");
            if (gap == std::string_view::npos)
                break;
            rest = rest.substr(gap + 2);
            found = FromPairs(rest);
        }
        return found;
    }
    case FrameLineRule::Send:
        return FromPairs(TrimSendLine(text));
    case FrameLineRule::SendAsTyped:
    case FrameLineRule::ReceiveAscii:
    case FrameLineRule::SendAscii:
        break;
    }
    return FromPairs(text);
}

std::vector<std::vector<std::uint8_t>> EarlierFrames(const std::function<QString(int)>& lineAt, int line,
                                                     FrameLineRule rule, int most)
{
    std::vector<std::vector<std::uint8_t>> frames;
    for (int k = line - 1; k >= 0 && static_cast<int>(frames.size()) < most; --k) {
        FrameOfLine frame = FrameOfLineText(lineAt(k), rule);
        if (frame.kind == FrameOfLine::Kind::Frame)
            frames.push_back(std::move(frame.bytes));
    }
    std::ranges::reverse(frames);
    return frames;
}

DecodeView DecodeLineView(const QString& line, FrameLineRule rule, const decode::Options& options, Decoder decoder)
{
    DecodeView view;
    const FrameOfLine frame = FrameOfLineText(line, rule);
    switch (frame.kind) {
    case FrameOfLine::Kind::Empty:
        view.lines << EmptyLineText();
        return view;
    case FrameOfLine::Kind::NotHex:
        view.lines << NotHexLineText();
        return view;
    case FrameOfLine::Kind::Ascii:
        view.lines << AsciiLineText();
        return view;
    case FrameOfLine::Kind::Frame:
        break;
    }
    return DecodeFrameView(frame.bytes, options, decoder);
}

DecodeView DecodeFrameView(decode::Bytes frame, const decode::Options& options, Decoder decoder)
{
    DecodeView view;
    const decode::TreeText tree = decode::RenderTree(decoder(frame, options), options.translate);
    view.lines.reserve(static_cast<qsizetype>(tree.lines.size()));
    for (const std::string& text : tree.lines)
        view.lines << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (const std::size_t index : tree.badLines)
        view.badLines << static_cast<int>(index);
    return view;
}

} // namespace monitor
