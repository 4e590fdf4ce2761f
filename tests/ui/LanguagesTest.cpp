// The texts a person looks for, in each language the program speaks. Each
// row puts its language's catalogues in force as the program does at start
// and builds the window under them; the data files stay the same in every
// language.
#include "Catalogues.h"
#include "Form1Harness.h"
#include "OverviewWindow.h"
#include "files/FileIO.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

struct LanguageTexts {
    UiLanguage Language;
    // The tray menu, top down, and the window's tabs.
    std::vector<std::string> Menu;
    std::vector<std::string> Tabs;
    // After one online minute on a Sunday at 2 kopecks a minute, with a
    // connection fee of 1 hryvnia and a budget of 1.10: the money of today,
    // the tray tip and the budget's alert.
    std::string DayMoney;
    std::string Tip;
    std::string Alert;
    std::string ExitQuestion;
    // A caption of the settings and the statistics pages.
    std::string TariffGroup;
    std::string DayChoice;
    // The overview: its title, the plan's tab, a group of the plan panel,
    // and the cycle.
    std::string OverviewTitle;
    std::string PlanTab;
    std::string BudgetGroup;
    std::string CycleText;
};

void PrintTo(const LanguageTexts& texts, std::ostream* out) {
    *out << LanguageCode(texts.Language);
}

const LanguageTexts kLanguages[] = {
    {UiLanguage::Russian,
     {"Главная", "Статистика", "Настройки", "О программе", "Обзор", "Выход"},
     {"Главная", "Статистика", "Настройки", "О программе"},
     "1 гр. 2 коп.",
     "День : 1 мин. (1,02 гр.)\nМес.  : 1 мин. (1,02 гр.)",
     "Vimo\nИзрасходовано 80% бюджета: 1 гр. 2 коп. из 1 гр. 10 коп.",
     "\rВы действительно хотите выключить программу ?",
     "Тариф",
     "День",
     "Vimo — обзор",
     "&План и бюджет",
     "Бюджет на период",
     "Цикл с 01.08.2004 по 31.08.2004, осталось 17 дн."},
    {UiLanguage::Ukrainian,
     {"Головна", "Статистика", "Параметри", "Про програму", "Огляд", "Вихід"},
     {"Головна", "Статистика", "Параметри", "Про програму"},
     "1 грн 2 коп.",
     "День : 1 хв. (1,02 грн)\nМіс.  : 1 хв. (1,02 грн)",
     "Vimo\nВитрачено 80% бюджету: 1 грн 2 коп. з 1 грн 10 коп.",
     "\rВи справді хочете вимкнути програму?",
     "Тариф",
     "День",
     "Vimo — огляд",
     "&План і бюджет",
     "Бюджет на період",
     "Цикл з 01.08.2004 по 31.08.2004, залишилося 17 днів"},
    {UiLanguage::English,
     {"Main", "Statistics", "Settings", "About", "Overview", "Quit"},
     {"Main", "Statistics", "Settings", "About"},
     "1 UAH 2 kop.",
     "Day : 1 min (1.02 UAH)\nMonth : 1 min (1.02 UAH)",
     "Vimo\n80% of the budget used: 1 UAH 2 kop. of 1 UAH 10 kop.",
     "\rDo you really want to quit the program?",
     "Rate",
     "Day",
     "Vimo — overview",
     "&Plan and budget",
     "Budget per period",
     "Cycle 01.08.2004 to 31.08.2004, 17 days left"},
};

const char* const kPlan =
    "[budget]\nkopecks = 110\n[plan]\nconnection_fee = 100\n[[plan.rate]]\n"
    "days = [\"sun\"]\nkopecks_per_minute = 2\n";

std::map<std::string, std::string> FilesIn(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), folder).string()] = ReadBytes(entry.path());
        }
    }
    return files;
}

class Languages : public ::testing::TestWithParam<LanguageTexts> {};

}  // namespace

TEST_P(Languages, TheWindowTrayAndNoticesSpeakTheCataloguesLanguage) {
    const LanguageTexts& texts = GetParam();
    Catalogues catalogues(texts.Language);
    catalogues.Install();

    Form1Harness h;
    WriteBytes(h.dir / "Vimo.toml", kPlan);
    TForm1& form = h.Start();
    h.Tick(true);

    std::vector<std::string> menu;
    for (const char* item : {"N1", "N2", "N3", "N4", "N7", "N6"}) {
        menu.push_back(Ctl<QAction>(form, item)->text().toStdString());
    }
    EXPECT_EQ(menu, texts.Menu);
    const QTabBar* tabs = Ctl<QTabBar>(form, "TabControl1");
    std::vector<std::string> tabTexts;
    for (int i = 0; i < tabs->count(); ++i) {
        tabTexts.push_back(tabs->tabText(i).toStdString());
    }
    EXPECT_EQ(tabTexts, texts.Tabs);
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit2")->text().toStdString(), texts.DayMoney);
    EXPECT_EQ(h.Tips().back().toStdString(), texts.Tip);
    EXPECT_EQ(h.Balloons().join('|').toStdString(), texts.Alert);
    EXPECT_EQ(Ctl<QGroupBox>(form, "GroupBox3")->title().toStdString(), texts.TariffGroup);
    EXPECT_EQ(Ctl<QRadioButton>(form, "RadioGroup1Day")->text().toStdString(), texts.DayChoice);

    Ctl<QAction>(form, "N7")->trigger();
    OverviewWindow* overview = form.Overview();
    ASSERT_NE(overview, nullptr);
    EXPECT_EQ(overview->windowTitle().toStdString(), texts.OverviewTitle);
    const auto* pages = overview->findChild<QTabWidget*>();
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->tabText(pages->count() - 1).toStdString(), texts.PlanTab);
    EXPECT_EQ(Ctl<QGroupBox>(*overview, "budgetGroup")->title().toStdString(), texts.BudgetGroup);
    EXPECT_EQ(Ctl<QLabel>(*overview, "CycleDates")->text().toStdString(), texts.CycleText);

    Ctl<QAction>(form, "N6")->trigger();
    ASSERT_FALSE(h.boxes.shown.empty());
    EXPECT_EQ(h.boxes.shown.back().text, texts.ExitQuestion);
}

INSTANTIATE_TEST_SUITE_P(EachLanguage, Languages, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) {
                             return std::string(LanguageCode(info.param.Language));
                         });

// Other programs and older copies read the data files: a session counted in
// any language writes them byte for byte as in Russian.
TEST(Languages, TheDataFilesAreTheSameInEveryLanguage) {
    std::map<UiLanguage, std::map<std::string, std::string>> written;
    for (const UiLanguage language :
         {UiLanguage::Russian, UiLanguage::Ukrainian, UiLanguage::English}) {
        Catalogues catalogues(language);
        catalogues.Install();
        Form1Harness h;
        WriteBytes(h.dir / "Vimo.toml", kPlan);
        h.Start();
        for (const bool online : {true, true, true, false, true, false}) {
            h.Tick(online);
        }
        h.Kill();
        written[language] = FilesIn(h.dir.Path());
    }
    ASSERT_GE(written[UiLanguage::Russian].size(), 5u);
    EXPECT_EQ(written[UiLanguage::Ukrainian], written[UiLanguage::Russian]);
    EXPECT_EQ(written[UiLanguage::English], written[UiLanguage::Russian]);
}
