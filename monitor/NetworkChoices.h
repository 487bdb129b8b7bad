#pragma once

class IniFile;

namespace monitor {

// The network and line choices a user makes in a monitor's windows and
// expects back at the next start: the peer's address and the milliseconds
// in front of each received line ("显示源地址", "毫秒") and listening for
// IPv4 peers only. All are off at start.
struct NetworkChoices {
    bool showSource = false;
    bool millis = false;
    bool ipv4Only = false;
};

// Section "Network" of the program's settings file, keys "Show Source",
// "Milliseconds" and "IPv4 Only" ("1" when on). A key stands in the file
// only while its choice is on, so the file of a user who never turned one on
// stays byte for byte as it was, and a program that knows none of them reads
// the rest of the file as before. Any value but "1" reads as off.
[[nodiscard]] NetworkChoices ReadNetworkChoices(const IniFile& file);
// Writes the keys into `file` (the caller writes the file).
void StoreNetworkChoices(IniFile& file, const NetworkChoices& choices);

} // namespace monitor
