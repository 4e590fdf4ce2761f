#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "ScriptedStack.h"
#include "SocketStack.h"

namespace {

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
    try {
        stack.FirstHostAddress();
        FAIL() << "an empty list must not yield an address";
    } catch (const EListError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (0)");
    }
}

TEST(HostAddressesTest, ResolverFailureRaisesSocketErrorWithItsCode) {
    auto script = std::make_shared<StackScript>();
    script->QueueFailure();
    ScriptedStack stack(script);
    try {
        stack.FirstHostAddress();
        FAIL() << "a failed lookup must raise";
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.SocketErrorCode, 11001);
        EXPECT_STREQ(error.what(), "Socket Error # 11001\r\n");
        EXPECT_STREQ(error.ClassName(), "ESocketError");
    }
}

TEST(CheckSocketResultTest, OnlyMinusOneRaisesWithTheLastError) {
    auto script = std::make_shared<StackScript>();
    script->FailureCode = 10061;
    ScriptedStack stack(script);
    EXPECT_NO_THROW(stack.CheckSocketResult(0));
    EXPECT_NO_THROW(stack.CheckSocketResult(5));
    try {
        stack.CheckSocketResult(-1);
        FAIL() << "-1 must raise";
    } catch (const ENetException& error) {
        const auto* socketError = dynamic_cast<const ESocketError*>(&error);
        ASSERT_NE(socketError, nullptr);
        EXPECT_EQ(socketError->SocketErrorCode, 10061);
        EXPECT_STREQ(error.what(), "Socket Error # 10061\r\nConnection refused.");
    }
}

TEST(StackErrorsTest, CarryTheirTextsAndFamily) {
    EStackCanNotLoadWinsock load("wsock32.dll");
    EXPECT_STREQ(load.what(), "wsock32.dll could not be loaded.");
    EXPECT_STREQ(load.ClassName(), "EStackCanNotLoadWinsock");
    EXPECT_NE(dynamic_cast<const ENetException*>(&load), nullptr);

    EStackInitializationFailed start;
    EXPECT_STREQ(start.what(), "Winsock Initialization Error.");
    EXPECT_STREQ(start.ClassName(), "EStackInitializationFailed");
    EXPECT_NE(dynamic_cast<const EStackError*>(&start), nullptr);
    EXPECT_NE(dynamic_cast<const Exception*>(&start), nullptr);
}

}  // namespace
