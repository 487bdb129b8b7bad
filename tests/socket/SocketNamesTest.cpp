#include "socket/WSocket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netdb.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

std::string Raised(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ESocketException& e) {
        return e.what();
    }
    return "(no exception)";
}

// A name that no resolver can send a query for (a label longer than 63
// characters), so the lookup fails without any network traffic.
const QString unknownHost = QString(70, QLatin1Char('q')) + QStringLiteral(".test");

} // namespace

TEST(IsDottedQuad, TellsFourNumbersFromHostNames)
{
    const struct {
        const char* text;
        bool quad;
    } cases[] = {
        {"1.2.3.4", true},        {" 10.0.0.1 ", true},     {"255.255.255.255", true},
        {"0.0.0.0", true},        {"1.2.3", false},         {"1..2.3", false},
        {"1.2.3.256", false},     {"256.1.2.3", false},     {"1.2.3.4x", false},
        {"1.2.3.4 x", false},     {".1.2.3.4", false},      {" .1.2.3", false},
        {"1.2.3.", false},        {"1.2.3.4.5", false},     {"", false},
        {"localhost", false},     {"99999999999.1.1.1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsDottedQuad(QString::fromLatin1(c.text)), c.quad) << c.text;
}

TEST(WSocketResolveHost, ConvertsDottedQuadsAndNames)
{
    EXPECT_EQ(WSocketResolveHost(QStringLiteral("127.0.0.1")), htonl(0x7F000001));
    EXPECT_EQ(WSocketResolveHost(QStringLiteral(" 10.0.0.1 ")), htonl(0x0A000001));
    EXPECT_EQ(WSocketResolveHost(QStringLiteral("255.255.255.255")), htonl(0xFFFFFFFF));
    EXPECT_EQ(WSocketResolveHost(QStringLiteral("localhost")), htonl(0x7F000001));
}

TEST(WSocketResolveHost, RefusesWithTheTextInTheMessage)
{
    EXPECT_EQ(Raised([] { (void)WSocketResolveHost(QString()); }), "WSocketResolveHost: '' Invalid Hostname.");
    const QString tooLong(257, QLatin1Char('a'));
    EXPECT_EQ(Raised([&] { (void)WSocketResolveHost(tooLong); }),
              "WSocketResolveHost: '" + tooLong.toStdString() + "' Invalid Hostname.");
    // Leading zeros are octal to the address parser, and 9 is no octal digit.
    EXPECT_EQ(Raised([] { (void)WSocketResolveHost(QStringLiteral("1.2.3.09")); }),
              "WSocketResolveHost: '1.2.3.09' Invalid IP address.");
    EXPECT_EQ(Raised([] { (void)WSocketResolveHost(unknownHost); }),
              "WSocketResolveHost: Cannot convert host address '" + unknownHost.toStdString() + "', Error #11001");
}

TEST(WSocketResolvePort, ReadsLeadingDigitsAndRefusesWhatIsNoPort)
{
    const struct {
        const char* text;
        int port; // -1: "WSocketResolvePort: Invalid Port."
    } cases[] = {
        {"1888", 1888}, {"1888x", 1888}, {"0", 0}, {"65535", 65535}, {"007", 7},
        {"", -1}, {"65536", -1}, {"67424", -1}, {"99999999999999999999", -1},
        {"1234567890123456789012345678901", -1}, {"12345678901234567890123456789012", -1},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        if (c.port >= 0)
            EXPECT_EQ(WSocketResolvePort(text, QStringLiteral("udp")), c.port) << c.text;
        else
            EXPECT_EQ(Raised([&] { (void)WSocketResolvePort(text, QStringLiteral("udp")); }),
                      "WSocketResolvePort: Invalid Port.")
                << c.text;
    }
}

TEST(WSocketResolvePort, LooksUpServiceNames)
{
    EXPECT_EQ(Raised([] { (void)WSocketResolvePort(QStringLiteral("no-such-service"), QStringLiteral("tcp")); }),
              "WSocketResolvePort: Cannot convert port 'no-such-service', Error #11004");
    servent* echo = getservbyname("echo", "udp");
    if (echo == nullptr)
        GTEST_SKIP() << "this machine has no service database";
    EXPECT_EQ(WSocketResolvePort(QStringLiteral("echo"), QStringLiteral("udp")), 7);
    EXPECT_EQ(WSocketResolvePort(QStringLiteral("echo"), QString()), 7);
}

TEST(WSocketResolveProto, KnowsTcpAndUdpAndNumbers)
{
    EXPECT_EQ(WSocketResolveProto(QStringLiteral("udp")), 17);
    EXPECT_EQ(WSocketResolveProto(QStringLiteral("tcp")), 6);
    EXPECT_EQ(WSocketResolveProto(QStringLiteral(" udp ")), 17);
    EXPECT_EQ(WSocketResolveProto(QStringLiteral("17")), 17);
    EXPECT_EQ(WSocketResolveProto(QStringLiteral(" 6x")), 6);
    EXPECT_EQ(Raised([] { (void)WSocketResolveProto(QString()); }), "WSocketResolveProto: Invalid Protocol.");
    EXPECT_EQ(Raised([] { (void)WSocketResolveProto(QString(32, QLatin1Char('u'))); }),
              "WSocketResolveProto: Invalid Protocol.");
    EXPECT_EQ(Raised([] { (void)WSocketResolveProto(QStringLiteral("xyzzy")); }),
              "WSocketResolveProto: Cannot convert protocol 'xyzzy', Error #11004");
}

TEST(ErrorText, GivesTheTextOfEachNumber)
{
    const struct {
        int number;
        const char* text;
    } cases[] = {
        {0, "No Error"},
        {10004, "Interrupted system call"},
        {10022, "Invalid argument"},
        {10035, "Operation would block"},
        {10038, "Socket operation on non-socket"},
        {10047, "Address family not supported by protocol family"},
        {10048, "Address already in use"},
        {10053, "Connection aborted"},
        {10054, "Connection reset by peer"},
        {10057, "Socket is not connected"},
        {10058, "Can't send after socket shutdown"},
        {10061, "Connection refused"},
        {10071, "Too many levels of remote in path"},
        {10091, "Network sub-system is unusable"},
        {10093, "WinSock not initialized"},
        {11001, "Host not found"},
        {11004, "No Data"},
        {10099, "Not a WinSock error"},
        {10072, "Not a WinSock error"},
        {-1, "Not a WinSock error"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorText(c.number), c.text) << c.number;
}

TEST(WSocketErrorFromErrno, TranslatesNativeErrors)
{
    const struct {
        int posix;
        int number;
    } cases[] = {
        {0, 0},
        {EWOULDBLOCK, 10035}, {EAGAIN, 10035}, {EINPROGRESS, 10036}, {EINVAL, 10022},
        {ENOTSOCK, 10038},    {EBADF, 10038},  {EADDRINUSE, 10048},  {EADDRNOTAVAIL, 10049},
        {ECONNABORTED, 10053}, {EPIPE, 10053}, {ECONNRESET, 10054},  {ENOBUFS, 10055},
        {ENOTCONN, 10057},    {ETIMEDOUT, 10060}, {ECONNREFUSED, 10061}, {EHOSTUNREACH, 10065},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WSocketErrorFromErrno(c.posix), c.number) << std::strerror(c.posix);
    EXPECT_EQ(WSocketErrorFromLookup(EAI_NONAME), 11001);
    EXPECT_EQ(WSocketErrorFromLookup(EAI_AGAIN), 11002);
    EXPECT_EQ(WSocketErrorFromLookup(EAI_FAIL), 11003);
}

TEST(TBuffer, FillsDrainsAndRefillsFromItsStart)
{
    TBuffer chunk(0);
    EXPECT_EQ(chunk.Size(), 1514);

    std::string data(2000, 'x');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i % 251);
    EXPECT_EQ(chunk.Append(data.data(), 1000), 1000);
    EXPECT_EQ(chunk.Append(data.data() + 1000, 1000), 514);
    EXPECT_EQ(chunk.Append(data.data(), 10), 0);

    int len = 0;
    const char* front = chunk.Front(len);
    ASSERT_EQ(len, 1514);
    EXPECT_EQ(std::string(front, 1514), data.substr(0, 1514));

    EXPECT_EQ(chunk.Consume(500), 500);
    front = chunk.Front(len);
    ASSERT_EQ(len, 1014);
    EXPECT_EQ(front[0], data[500]);
    // Full even though part of it was read: the chunk refills only when empty.
    EXPECT_EQ(chunk.Append(data.data(), 1), 0);

    EXPECT_EQ(chunk.Consume(5000), 1014);
    EXPECT_EQ(chunk.Front(len), nullptr);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(chunk.Append(data.data() + 7, 3), 3);
    front = chunk.Front(len);
    ASSERT_EQ(len, 3);
    EXPECT_EQ(front[0], data[7]);
    EXPECT_EQ(chunk.Consume(-4), 0);
}
