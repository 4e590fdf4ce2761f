// The core's texts through the installed lookup: what the reader sees changes
// with the catalogue, what the data files hold does not.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/MoneyTexts.h"
#include "core/Translation.h"

namespace {

// A catalogue of a few texts, as a language's would give them.
std::string Catalogue(const char* context, const char* source, const char*, int count) {
    static const std::map<std::string, std::string> texts = {
        {"Money|%1 ч. %2 мин.", "%1 год. %2 хв."},
        {"Money|%1,%2 гр.", "%1,%2 грн"},
        {"Money|осталось %n дн.", "%n days left"},
        {"Test|%2 before %1", "%1 after %2"},
    };
    const auto found = texts.find(std::string(context) + "|" + source);
    if (found == texts.end()) {
        return {};
    }
    return count == 1 && found->second == "%n days left" ? "%n day left" : found->second;
}

class WithCatalogue : public ::testing::Test {
  protected:
    WithCatalogue() { InstallTextLookup(Catalogue); }
    ~WithCatalogue() override { InstallTextLookup(nullptr); }
};

TEST_F(WithCatalogue, TheScreensTextsChangeAndTheFilesTextsStay) {
    EXPECT_EQ(TimeText(75), "1 год. 15 хв.");
    EXPECT_EQ(KopecksToGrivn(972), "9,72 грн");
    EXPECT_EQ(DaysLeftText(1), "1 day left");
    EXPECT_EQ(DaysLeftText(3), "3 days left");
    // A text the catalogue lacks stays Russian.
    EXPECT_EQ(TimeText(45), "45 мин.");
    // The history lines' form.
    EXPECT_EQ(MinToTimeStr(75), "1 ч. 15 мин.");
}

TEST(Translation, FillingReplacesEachMarkerOnceAndLeavesMarkersInArguments) {
    struct Case {
        const char* pattern;
        std::string a, b;
        const char* filled;
    };
    const Case cases[] = {
        {"%1 из %2", "1 мин.", "5 мин.", "1 мин. из 5 мин."},
        {"%2, then %1", "a", "b", "b, then a"},
        {"%1% бюджета", "80", "", "80% бюджета"},
        {"%1 и %2", "%2", "x", "%2 и x"},
        {"%3 stays", "a", "b", "%3 stays"},
        {"100%", "a", "b", "100%"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FillText(c.pattern, {c.a, c.b}), c.filled) << c.pattern;
    }
}

}  // namespace
