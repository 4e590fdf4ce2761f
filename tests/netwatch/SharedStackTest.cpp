#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "IPWatch.h"
#include "QueuedUiDispatcher.h"
#include "ScriptedStack.h"
#include "SocketStack.h"

namespace {

TEST(SharedStackTest, SecondComponentReusesTheRunningStack) {
    auto first = std::make_shared<StackScript>();
    auto second = std::make_shared<StackScript>();
    ASSERT_EQ(SharedStack(), nullptr);
    {
        TNetComponent a(ScriptedFactory(first));
        TSocketStack* stack = SharedStack();
        ASSERT_NE(stack, nullptr);
        EXPECT_EQ(StackUsers(), 1);
        TNetComponent b(ScriptedFactory(second));
        EXPECT_EQ(SharedStack(), stack);
        EXPECT_EQ(StackUsers(), 2);
        EXPECT_EQ(first->Created, 1);
        EXPECT_EQ(second->Created, 0);
    }
    EXPECT_EQ(SharedStack(), nullptr);
    EXPECT_EQ(StackUsers(), 0);
    EXPECT_EQ(first->Destroyed, 1);
}

TEST(SharedStackTest, DestroyingTheFirstOfTwoKeepsTheStack) {
    auto script = std::make_shared<StackScript>();
    auto first = std::make_unique<TNetComponent>(ScriptedFactory(script));
    TNetComponent second(ScriptedFactory(script));
    TSocketStack* stack = SharedStack();
    first.reset();
    EXPECT_EQ(SharedStack(), stack);
    EXPECT_EQ(StackUsers(), 1);
    EXPECT_EQ(script->Destroyed, 0);
}

TEST(SharedStackTest, AfterTheLastComponentANewOneStartsAfresh) {
    auto script = std::make_shared<StackScript>();
    { TNetComponent once(ScriptedFactory(script)); }
    EXPECT_EQ(script->Destroyed, 1);
    TNetComponent again(ScriptedFactory(script));
    EXPECT_EQ(script->Created, 2);
    EXPECT_NE(SharedStack(), nullptr);
    EXPECT_EQ(StackUsers(), 1);
}

struct FailingStartRow {
    const char* Name;
    TStackFactory Factory;
    const char* ExpectedText;
    const char* ExpectedClass;
};

TEST(SharedStackTest, FailingStartLeavesNoStackAndKeepsTheText) {
    const FailingStartRow rows[] = {
        {"start-up", []() -> std::unique_ptr<TSocketStack> { throw EStackInitializationFailed(); },
         "Winsock Initialization Error.", "EStackInitializationFailed"},
        {"no stack", [] { return std::unique_ptr<TSocketStack>(); },
         "Winsock Initialization Error.", "EStackInitializationFailed"},
    };
    QueuedUiDispatcher dispatcher;
    for (const FailingStartRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_THAT(
            [&] { TIPWatch watch(row.Factory, dispatcher); },
            ::testing::Throws<ENetException>(::testing::AllOf(
                ::testing::Property(&ENetException::what, ::testing::StrEq(row.ExpectedText)),
                ::testing::Property(&ENetException::ClassName,
                                    ::testing::StrEq(row.ExpectedClass)))));
        EXPECT_EQ(SharedStack(), nullptr);
        EXPECT_EQ(StackUsers(), 0);
    }
    // A later component with a working stack starts normally.
    auto script = std::make_shared<StackScript>();
    TNetComponent working(ScriptedFactory(script));
    EXPECT_EQ(StackUsers(), 1);
    EXPECT_EQ(script->Created, 1);
}

}  // namespace
