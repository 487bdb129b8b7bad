#pragma once

#include "decode/Decode.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace monitor {

// How a line of a text window becomes the frame the decode window shows.

// The rule the line was written or will be sent by.
enum class FrameLineRule {
    Receive,      // a received hex line, perhaps after the time and the peer's address, each and two spaces
    ReceiveAscii, // a line received in ASCII mode: text, no hex pairs
    Send,         // a send line: the text before "//" and before two spaces
    SendAsTyped,  // a send line sent as it stands (no comment, no trimming)
    SendAscii     // a line sent in ASCII mode
};

struct FrameOfLine {
    enum class Kind {
        Frame,   // bytes holds the frame
        Empty,   // nothing to send or show
        NotHex,  // text that is not hex pair notation (a note, a typo)
        Ascii    // an ASCII-mode line: its text is not a frame's hex pairs
    };
    Kind kind = Kind::Empty;
    std::vector<std::uint8_t> bytes;
};

// The frame a line holds under `rule`. Pair k is the characters 3k-2 and
// 3k-1 of the line's UTF-8 text, as everywhere else in both programs. A
// received line that is not pair notation as a whole is read from after its
// first or second two spaces (the time display's "14:05:09  01 03 ", the
// peer's "14:05:09.120  [::1]:5000  01 03 ").
[[nodiscard]] FrameOfLine FrameOfLineText(const QString& line, FrameLineRule rule);

// The frames of the lines before line `line` of a window (`lineAt` gives a
// line's text) that hold one under `rule`, oldest first: the nearest `most`
// of them. Lines that hold none (notes, ASCII lines, empty lines) are passed
// over.
inline constexpr int kEarlierFrames = 64;
[[nodiscard]] std::vector<std::vector<std::uint8_t>> EarlierFrames(const std::function<QString(int)>& lineAt,
                                                                   int line, FrameLineRule rule,
                                                                   int most = kEarlierFrames);

// What the decode window shows for a line: the decoded tree, or one line
// saying why there is nothing to decode; `badLines` are the lines of check
// codes and lengths that do not verify.
struct DecodeView {
    QStringList lines;
    QList<int> badLines;
};
using Decoder = decode::Decoded (*)(decode::Bytes frame, const decode::Options& options);
[[nodiscard]] DecodeView DecodeLineView(const QString& line, FrameLineRule rule, const decode::Options& options,
                                        Decoder decoder = &decode::Decode);
// The same for a frame's bytes.
[[nodiscard]] DecodeView DecodeFrameView(decode::Bytes frame, const decode::Options& options,
                                         Decoder decoder = &decode::Decode);

} // namespace monitor
