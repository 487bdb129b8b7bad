#pragma once

#include "decode/Decode.h"

#include <cstddef>
#include <string>
#include <vector>

// A decoded frame as the lines of an indented tree: the protocol's name, then
// one line per field, indented two spaces per level below it. A field's line
// holds its offset (decimal, from the frame's start), its bytes as hex pairs,
// its name and its meaning; a check code or length that verifies ends in
// "(ok)", one that does not in "(bad, expected <value>)". The same lines are
// the text a copy gives, so a commissioning report reads what the window
// shows.

namespace decode {

struct TreeText {
    std::vector<std::string> lines;     // UTF-8, without line breaks
    std::vector<std::size_t> badLines;  // indices into lines, ascending
};

// `translate`: the translator of the words the lines add (the protocol's
// name, "(ok)", "(bad, expected ...)"); the fields' own texts are in the
// language they were decoded in (`Options::translate`).
[[nodiscard]] TreeText RenderTree(const Decoded& decoded, Translator translate = nullptr);

// One field's line, without the indentation.
[[nodiscard]] std::string FieldLine(const Field& field);

} // namespace decode
