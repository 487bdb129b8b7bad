#pragma once

#include <string>

// Socket error numbers in the numbering the programs and their messages use
// (would block 10035, address in use 10048, host not found 11001, ...).
enum : int {
    WSAEINTR = 10004,
    WSAEBADF = 10009,
    WSAEACCES = 10013,
    WSAEFAULT = 10014,
    WSAEINVAL = 10022,
    WSAEMFILE = 10024,
    WSAEWOULDBLOCK = 10035,
    WSAEINPROGRESS = 10036,
    WSAEALREADY = 10037,
    WSAENOTSOCK = 10038,
    WSAEMSGSIZE = 10040,
    WSAEADDRINUSE = 10048,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOBUFS = 10055,
    WSAENOTCONN = 10057,
    WSAECONNREFUSED = 10061,
    WSANOTINITIALISED = 10093,
    WSAHOST_NOT_FOUND = 11001,
    WSATRY_AGAIN = 11002,
    WSANO_RECOVERY = 11003,
    WSANO_DATA = 11004
};

// The text of a socket error number; "Not a WinSock error" for numbers
// outside the table.
[[nodiscard]] std::string ErrorText(int errorNumber);

// Translates a POSIX errno value into the socket error numbering.
// 0 stays 0; a value without a counterpart becomes WSAEINVAL.
[[nodiscard]] int WSocketErrorFromErrno(int posixErrno);

// Translates a getaddrinfo() result code into 11001..11004.
[[nodiscard]] int WSocketErrorFromLookup(int gaiCode);

// The last socket error of the calling thread, as set by every failing
// platform call of the component.
[[nodiscard]] int WSocketGetLastError();
void WSocketSetLastError(int errorNumber);

// Sets the last socket error from the current errno and returns it.
int WSocketSetLastErrorFromErrno();
