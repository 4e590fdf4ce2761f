#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <ostream>
#include <vector>

#include "ScriptedStack.h"
#include "SocketErrorCodes.h"
#include "SocketStack.h"
#include "SocketStackLinux.h"

namespace {

using ::testing::AllOf;
using ::testing::Field;
using ::testing::Property;
using ::testing::StrEq;
using ::testing::Throws;

// An ESocketError with the number and the text.
auto SocketFailure(std::int32_t code, const char* text) {
    return Throws<ESocketError>(AllOf(Field(&ESocketError::SocketErrorCode, code),
                                      Property(&ESocketError::what, StrEq(text))));
}

struct ErrorTextRow {
    std::int32_t Code;
    const char* Expected;
};

void PrintTo(const ErrorTextRow& row, std::ostream* out) {
    *out << row.Code;
}

class SocketErrorTextTest : public ::testing::TestWithParam<ErrorTextRow> {};

TEST_P(SocketErrorTextTest, FormatsCodeAndTableText) {
    ScriptedStack stack(std::make_shared<StackScript>());
    EXPECT_EQ(stack.SocketErrorText(GetParam().Code), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SocketErrorTextTest,
    ::testing::Values(ErrorTextRow{10061, "Socket Error # 10061\r\nConnection refused."},
                      ErrorTextRow{10035, "Socket Error # 10035\r\nOperation would block. "},
                      ErrorTextRow{10066, "Socket Error # 10066\r\nDirectory not empty"},
                      ErrorTextRow{11001, "Socket Error # 11001\r\n"},
                      ErrorTextRow{-1, "Socket Error # -1\r\n"}));

// Failures the Linux stack meets: opening and reading the route table, and
// the netlink socket behind the interface list.
struct ErrnoRow {
    int Errno;
    std::int32_t Code;
    const char* Text;
};

void PrintTo(const ErrnoRow& row, std::ostream* out) {
    *out << "errno " << row.Errno;
}

class SocketErrorFromErrnoTest : public ::testing::TestWithParam<ErrnoRow> {};

TEST_P(SocketErrorFromErrnoTest, GivesTheSocketNumberAndItsText) {
    ScriptedStack stack(std::make_shared<StackScript>());
    const std::int32_t code = SocketErrorFromErrno(GetParam().Errno);
    EXPECT_EQ(code, GetParam().Code);
    EXPECT_EQ(stack.SocketErrorText(code), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SocketErrorFromErrnoTest,
    ::testing::Values(
        ErrnoRow{EINTR, 10004, "Socket Error # 10004\r\nInterrupted system call."},
        ErrnoRow{EACCES, 10013, "Socket Error # 10013\r\nAccess denied."},
        ErrnoRow{EPERM, 10013, "Socket Error # 10013\r\nAccess denied."},
        ErrnoRow{EMFILE, 10024, "Socket Error # 10024\r\nToo many open files."},
        ErrnoRow{ENFILE, 10024, "Socket Error # 10024\r\nToo many open files."},
        ErrnoRow{EAFNOSUPPORT, 10047,
                 "Socket Error # 10047\r\nAddress family not supported by protocol family."},
        ErrnoRow{ENOBUFS, 10055, "Socket Error # 10055\r\nNo buffer space available."},
        ErrnoRow{ENOMEM, 10055, "Socket Error # 10055\r\nNo buffer space available."},
        ErrnoRow{ENOENT, ENOENT, "Socket Error # 2\r\n"},
        ErrnoRow{EIO, EIO, "Socket Error # 5\r\n"}));

// Every socket number with a text is what some errno value maps to, and
// every mapped value has a text: a slip in either table shows here.
TEST(SocketErrorNumbersTest, EveryTextIsReachedAndEveryMappedNumberHasOne) {
    ScriptedStack stack(std::make_shared<StackScript>());
    const auto hasText = [&](std::int32_t code) {
        return !stack.SocketErrorText(code).ends_with("\r\n");
    };
    std::vector<std::int32_t> reached;
    for (int error = 1; error < 4096; ++error) {
        const std::int32_t code = SocketErrorFromErrno(error);
        if (code != error) {
            EXPECT_TRUE(hasText(code)) << "errno " << error << " gives " << code;
            reached.push_back(code);
        }
    }
    for (std::int32_t code = 10000; code < 12000; ++code) {
        if (hasText(code)) {
            EXPECT_NE(std::find(reached.begin(), reached.end(), code), reached.end()) << code;
        }
    }
}

TEST(AddressToTextTest, WritesBytesInStoredOrderWithoutLeadingZeros) {
    EXPECT_EQ(TSocketStack::AddressToText({192, 168, 0, 5}), "192.168.0.5");
    EXPECT_EQ(TSocketStack::AddressToText({127, 0, 0, 1}), "127.0.0.1");
    EXPECT_EQ(TSocketStack::AddressToText({255, 255, 255, 255}), "255.255.255.255");
}

TEST(HostAddressesTest, KeepsTheResolverOrderAndFirstComesFirst) {
    auto script = std::make_shared<StackScript>();
    script->Queue({"192.168.0.5", "127.0.0.1"});
    script->Queue({"127.0.0.1"});
    ScriptedStack stack(script);
    EXPECT_EQ(stack.HostAddresses(), (std::vector<std::string>{"192.168.0.5", "127.0.0.1"}));
    EXPECT_EQ(stack.FirstHostAddress(), "127.0.0.1");
    EXPECT_EQ(script->Lookups, 2);
}

TEST(HostAddressesTest, EmptyAnswerFailsWithTheListIndexError) {
    auto script = std::make_shared<StackScript>();
    script->Queue({});
    ScriptedStack stack(script);
    EXPECT_THAT([&] { stack.FirstHostAddress(); },
                ::testing::ThrowsMessage<EListError>(StrEq("List index out of bounds (0)")));
}

TEST(HostAddressesTest, ResolverFailureRaisesSocketErrorWithItsCode) {
    auto script = std::make_shared<StackScript>();
    script->QueueFailure();
    ScriptedStack stack(script);
    EXPECT_THAT(
        [&] { stack.FirstHostAddress(); },
        Throws<ESocketError>(AllOf(Field(&ESocketError::SocketErrorCode, 11001),
                                   Property(&ESocketError::what, StrEq("Socket Error # 11001\r\n")),
                                   Property(&ESocketError::ClassName, StrEq("ESocketError")))));
}

TEST(CheckSocketResultTest, OnlyMinusOneRaisesWithTheLastError) {
    auto script = std::make_shared<StackScript>();
    script->FailureCode = 10061;
    ScriptedStack stack(script);
    EXPECT_NO_THROW(stack.CheckSocketResult(0));
    EXPECT_NO_THROW(stack.CheckSocketResult(5));
    EXPECT_THAT([&] { stack.CheckSocketResult(-1); },
                SocketFailure(10061, "Socket Error # 10061\r\nConnection refused."));
}

// Out of descriptors, the Linux stack cannot open the route table and says
// so with the socket text.
TEST(LinuxStackTest, RunningOutOfDescriptorsReportsTooManyOpenFiles) {
    auto stack = MakeLinuxSocketStack();
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &original), 0);
    rlimit lowered = original;
    lowered.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    std::vector<int> held;
    for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) {
        held.push_back(fd);
    }
    const int openError = errno;
    EXPECT_THAT([&] { stack->HostAddresses(); },
                SocketFailure(10024, "Socket Error # 10024\r\nToo many open files."));
    for (int fd : held) {
        close(fd);
    }
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &original), 0);
    EXPECT_EQ(openError, EMFILE);
}

TEST(StackErrorsTest, CarryTheirTextsAndFamily) {
    EStackInitializationFailed start;
    EXPECT_STREQ(start.what(), "Winsock Initialization Error.");
    EXPECT_STREQ(start.ClassName(), "EStackInitializationFailed");
    EXPECT_NE(dynamic_cast<const EStackError*>(&start), nullptr);
    EXPECT_NE(dynamic_cast<const Exception*>(&start), nullptr);
}

}  // namespace
