#include "ErrorHandler.h"
#include "UiFakes.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

TEST(ErrorBoxText, AppendsAFullStopOnlyAfterCharactersSortingAfterIt) {
    const struct {
        std::string message, shown;
    } cases[] = {
        {"Disk full", "Disk full."},
        {"I/O error 28", "I/O error 28."},
        {"Cannot open file Res/OnLine.ico", "Cannot open file Res/OnLine.ico."},
        {"Ends with a stop.", "Ends with a stop."},
        {"Ends with a comma,", "Ends with a comma,"},  // ',' sorts before '.'
        {"Ends with a dash-", "Ends with a dash-"},
        {"Ends with a slash/", "Ends with a slash/."},
        {"Текст по-русски", "Текст по-русски."},  // UTF-8 bytes sort after '.'
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
    }
}

TEST(ApplicationErrorText, NamesClassModuleAndMessage) {
    EXPECT_EQ(ApplicationErrorText("ESocketError", "vimo", nullptr, "Cannot start the stack"),
              "Exception ESocketError in module vimo at 00000000.\nCannot start the stack.");
    EXPECT_EQ(ApplicationErrorText("E", "vimo", nullptr, "Done."),
              "Exception E in module vimo at 00000000.\nDone.");
    EXPECT_EQ(ApplicationErrorText("E", "vimo", nullptr, ""),
              "Exception E in module vimo at 00000000.\n");
}

// Every box also leaves a line in the log; the line names the file a file
// step failed on, which the box's text, the run-time's own, does not.
TEST(TopLevelErrorHandler, ShowsEveryErrorWithEmptyCaptionAndGoesOn) {
    RecordingBoxes boxes;
    std::ostringstream log;
    TopLevelErrorHandler handler(boxes, log);

    EXPECT_FALSE(handler.Guard([] { throw EInOutError(101, "Disk full", "Table.dat"); }));
    EXPECT_FALSE(handler.Guard([] { throw EInOutError(5, "File access denied"); }));
    EXPECT_FALSE(handler.Guard([] { throw std::runtime_error("plain\r\ntwo lines"); }));
    EXPECT_FALSE(handler.Guard([] { throw 42; }));
    bool ran = false;
    EXPECT_TRUE(handler.Guard([&] { ran = true; }));

    EXPECT_TRUE(ran);
    using Shown = RecordingBoxes::Shown;
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{{"Error", "", "Disk full."},
                                               {"Error", "", "File access denied."},
                                               {"Error", "", "plain\r\ntwo lines."},
                                               {"Error", "", "Unknown error."}}));
    EXPECT_EQ(log.str(),
              "vimo: error: Disk full. (Table.dat)\n"
              "vimo: error: File access denied.\n"
              "vimo: error: plain  two lines.\n"
              "vimo: error: Unknown error.\n");
}

// Boxes wait modally while the minute tick goes on, so an unattended failing
// tick opens box inside box; their number stays bounded.
TEST(TopLevelErrorHandler, NestedBoxesStayBounded) {
    class NestingBoxes final : public NullBoxes {
      public:
        void Error(const std::string&, const std::string&) override {
            ++shown;
            deepest = std::max(deepest, ++open);
            if (nextFailure) {
                nextFailure();  // the next tick fails while this box is open
            }
            --open;
        }
        std::function<void()> nextFailure;
        int shown = 0;
        int open = 0;
        int deepest = 0;
    } boxes;
    TopLevelErrorHandler handler(boxes);
    int ticks = 0;
    boxes.nextFailure = [&] {
        if (++ticks < 50) {
            handler.Guard([] { throw EInOutError(101, "Disk full"); });
        }
    };
    handler.Guard([] { throw EInOutError(101, "Disk full"); });
    EXPECT_EQ(ticks, TopLevelErrorHandler::kMaxOpenBoxes);
    EXPECT_EQ(boxes.deepest, TopLevelErrorHandler::kMaxOpenBoxes);
    EXPECT_EQ(boxes.shown, TopLevelErrorHandler::kMaxOpenBoxes);
    // Once the boxes are closed, errors are shown again.
    boxes.nextFailure = nullptr;
    handler.Guard([] { throw EInOutError(101, "Disk full"); });
    EXPECT_EQ(boxes.shown, TopLevelErrorHandler::kMaxOpenBoxes + 1);
}

TEST(ReportApplicationError, ShowsClassAndTextAndEndsWithCodeOne) {
    class EStackTrouble : public Exception {
      public:
        using Exception::Exception;
        const char* ClassName() const noexcept override { return "EStackTrouble"; }
    };
    RecordingBoxes boxes;
    std::ostringstream log;
    EXPECT_EQ(
        ReportApplicationError(boxes, EStackTrouble("Winsock Initialization Error."), "vimo", log),
        1);
    EXPECT_EQ(ReportApplicationError(boxes, std::runtime_error("out of memory"), "vimo", log), 1);
    EXPECT_EQ(log.str(),
              "vimo: error: Exception EStackTrouble in module vimo at 00000000. Winsock "
              "Initialization Error.\n"
              "vimo: error: Exception Exception in module vimo at 00000000. out of memory.\n");
    using Shown = RecordingBoxes::Shown;
    EXPECT_EQ(
        boxes.shown,
        (std::vector<Shown>{
            {"Error", "Application Error",
             "Exception EStackTrouble in module vimo at 00000000.\nWinsock Initialization Error."},
            {"Error", "Application Error",
             "Exception Exception in module vimo at 00000000.\nout of memory."}}));
}
