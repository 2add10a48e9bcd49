#include "platform/Archive.h"

#include "platform/CFileException.h"
#include "platform/UniqueFd.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using tl::ArchiveReader;
using tl::ArchiveWriter;

namespace {

struct SocketPair {
    SocketPair() {
        int fds[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
        a.reset(fds[0]);
        b.reset(fds[1]);
    }
    tl::UniqueFd a;
    tl::UniqueFd b;
};

// Everything the other end has written until it closed.
std::string Drain(int fd) {
    std::string bytes;
    char chunk[65536];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, static_cast<std::size_t>(n));
    return bytes;
}

// Reads one string from a stream of these few bytes that then ends.
std::string Feed(SocketPair& pair, const std::string& bytes) {
    EXPECT_EQ(::write(pair.a.get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    pair.a.reset();
    ArchiveReader reader(pair.b.get());
    return reader.ReadString();
}

} // namespace

TEST(Archive, StringLengthPrefixesSwitchAt255And0xFFFE) {
    EXPECT_EQ(tl::EncodeStringLength(0), std::string(1, '\0'));
    EXPECT_EQ(tl::EncodeStringLength(254), "\xFE");
    EXPECT_EQ(tl::EncodeStringLength(255), std::string("\xFF\xFF\x00", 3));
    EXPECT_EQ(tl::EncodeStringLength(256), std::string("\xFF\x00\x01", 3));
    EXPECT_EQ(tl::EncodeStringLength(65533), "\xFF\xFD\xFF");
    EXPECT_EQ(tl::EncodeStringLength(65534), std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7));
    EXPECT_EQ(tl::EncodeStringLength(70000), std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7));
}

TEST(Archive, WritesDwordsLittleEndianAndStringsAfterTheirPrefix) {
    SocketPair pair;
    {
        ArchiveWriter writer(pair.a.get());
        writer.WriteDword(0x01020304);
        writer.WriteString("BRR");
        writer.WriteString("");
        writer.Flush();
    }
    pair.a.reset();
    EXPECT_EQ(Drain(pair.b.get()), std::string("\x04\x03\x02\x01\x03"
                                               "BRR\x00",
                                               9));
}

TEST(Archive, LongStringsAndManyValuesCrossTheBufferIntact) {
    for (const std::size_t length : {254u, 255u, 4095u, 4096u, 65533u, 65534u, 200000u}) {
        SocketPair pair;
        std::string text(length, 'x');
        text.front() = '\'';
        text.back() = '\n';
        std::thread writerThread([&pair, &text, length] {
            ArchiveWriter writer(pair.a.get());
            writer.WriteString(text);
            writer.WriteDword(static_cast<DWORD>(length));
            writer.Flush();
        });
        ArchiveReader reader(pair.b.get());
        EXPECT_EQ(reader.ReadString(), text) << length;
        EXPECT_EQ(reader.ReadDword(), length);
        writerThread.join();
    }
}

TEST(Archive, AStreamThatEndsInsideAValueIsAnEndOfFileError) {
    for (const std::string& bytes : {std::string(),
                                     std::string("\x05"
                                                 "abc"),
                                     std::string("\xFF\x10"), std::string("\xFF\xFF\xFF\x01\x00")}) {
        SocketPair pair;
        try {
            Feed(pair, bytes);
            ADD_FAILURE() << "no exception for " << bytes.size() << " bytes";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), CArchiveException::endOfFile);
            EXPECT_EQ(e.GetErrorMessage(), "An attempt was made to access an unnamed file past its end.");
        }
    }
}

TEST(Archive, PrefixesThisEncodingNeverWritesAreRefused) {
    for (const std::string& bytes : {std::string("\xFF\xFE\xFF"
                                                 "abc",
                                                 6),
                                     std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF")}) {
        SocketPair pair;
        EXPECT_THROW(Feed(pair, bytes), CArchiveException);
    }
}

TEST(Archive, AnAnnouncedHugeStringThatNeverComesCostsNoHugeAllocation) {
    // 4 GiB - 2 announced, 3 bytes sent: the reader fails at the end instead of reserving 4 GiB.
    SocketPair pair;
    EXPECT_THROW(Feed(pair, std::string("\xFF\xFF\xFF\xFE\xFF\xFF\xFF"
                                        "abc",
                                        10)),
                 CArchiveException);
}

TEST(Archive, WritingToAClosedPeerThrowsInsteadOfRaisingSigpipe) {
    SocketPair pair;
    pair.b.reset();
    ArchiveWriter writer(pair.a.get());
    writer.WriteString("BR");
    try {
        writer.Flush();
        ADD_FAILURE() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.OsError(), 232u);
        EXPECT_EQ(e.GetErrorMessage(), "The pipe is being closed.");
    }
}
