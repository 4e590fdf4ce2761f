#include "Form1Harness.h"
#include "PlanSettingsPanel.h"
#include "TempDir.h"
#include "UiFakes.h"
#include "plan/PlanFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class FakeInterfaces final : public InterfaceList {
  public:
    std::vector<std::string> Names() const override { return names; }
    std::vector<std::string> names = {"eth0", "usb0"};
};

const std::string kPlanFile = SamplePlanText();

// A number text written with a comma, in the user's number form.
QString Num(const char* commaText) {
    return QString::fromUtf8(commaText).replace(QLatin1Char(','), QLocale().decimalPoint());
}

// The working folder with the settings record and a plan file, and a panel
// over it.
struct PanelHarness {
    PanelHarness() {
        WriteBytes(dir / "Propert.dat", kProp);
        WriteBytes(dir / "Vimo.toml", kPlanFile);
    }

    PlanSettingsPanel& Open() {
        panel = std::make_unique<PlanSettingsPanel>(dir.Path(), interfaces, boxes);
        return *panel;
    }

    template <class Control>
    Control* Get(const char* name) const {
        return Ctl<Control>(*panel, name);
    }
    void Type(const char* edit, const QString& text) const { Get<QLineEdit>(edit)->setText(text); }
    QTableWidgetItem* Cell(int row, int column) const {
        return Get<QTableWidget>("ratesTable")->item(row, column);
    }
    QString Status() const { return Get<QLabel>("statusLabel")->text(); }
    bool SaveEnabled() const { return Get<QPushButton>("saveButton")->isEnabled(); }
    void Click(const char* button) const { Get<QPushButton>(button)->click(); }
    std::string PlanText() const { return ReadBytes(dir / "Vimo.toml"); }
    std::vector<std::string> FolderFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static constexpr const char* kProp = "settings record bytes";
    TempDir dir;
    FakeInterfaces interfaces;
    RecordingBoxes boxes;
    std::unique_ptr<PlanSettingsPanel> panel;
};

constexpr int kSat = 5;
constexpr int kFrom = 7;
constexpr int kTo = 8;
constexpr int kPrice = 9;

TEST(PlanSettingsPanel, ShowsThePlanFileInTheUsersNumberForm) {
    PanelHarness h;
    h.Open();
    EXPECT_EQ(h.Get<QLineEdit>("startDayEdit")->text(), "14");
    EXPECT_EQ(h.Get<QLineEdit>("budgetKopecksEdit")->text(), "5000");
    EXPECT_EQ(h.Get<QLineEdit>("budgetMinutesEdit")->text(), "1200");
    EXPECT_EQ(h.Get<QLineEdit>("alertsEdit")->text(), "80, 100");
    EXPECT_TRUE(h.Get<QGroupBox>("planGroup")->isChecked());
    EXPECT_EQ(h.Get<QLineEdit>("connectionFeeEdit")->text(), "10");
    EXPECT_EQ(h.Get<QLineEdit>("includedMinutesEdit")->text(), "60");
    EXPECT_EQ(h.Get<QLineEdit>("kopecksPerMbEdit")->text(), Num("12,5"));

    ASSERT_EQ(h.Get<QTableWidget>("ratesTable")->rowCount(), 2);
    for (int day = 0; day < 7; ++day) {
        EXPECT_EQ(h.Cell(0, day)->checkState(), day >= kSat ? Qt::Checked : Qt::Unchecked);
        EXPECT_EQ(h.Cell(1, day)->checkState(), day < kSat ? Qt::Checked : Qt::Unchecked);
    }
    EXPECT_EQ(h.Cell(0, kFrom)->text(), "");
    EXPECT_EQ(h.Cell(0, kPrice)->text(), Num("1,5"));
    EXPECT_EQ(h.Cell(1, kFrom)->text(), "21:00");
    EXPECT_EQ(h.Cell(1, kTo)->text(), "07:00");
    EXPECT_EQ(h.Cell(1, kPrice)->text(), Num("1,8"));

    // The file's interface, absent from the machine, first and ticked.
    const QListWidget* list = h.Get<QListWidget>("interfacesList");
    ASSERT_EQ(list->count(), 3);
    const std::pair<QString, Qt::CheckState> rows[] = {
        {"ppp9", Qt::Checked}, {"eth0", Qt::Unchecked}, {"usb0", Qt::Unchecked}};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(list->item(row)->text(), rows[row].first);
        EXPECT_EQ(list->item(row)->checkState(), rows[row].second);
    }
    EXPECT_TRUE(h.Get<QCheckBox>("meteredOnlyCheck")->isChecked());
    EXPECT_TRUE(h.SaveEnabled());
    EXPECT_EQ(h.Status(), "");
}

TEST(PlanSettingsPanel, AWrongFieldSaysSoBesideItAndBesideTheButtonAndNothingIsSaved) {
    struct Case {
        const char* edit;  // none: the rates table's cell of rule 2
        int column;
        QString typed;
        const char* problem;
        QString hint;
        QString named;  // beside "Сохранить" and in the tooltip, in Russian
    };
    const Case cases[] = {
        {"startDayEdit", 0, "32", "startDayProblem", "от 1 до 31",
         "«День начала периода»: от 1 до 31"},
        {"startDayEdit", 0, Num("14,5"), "startDayProblem", "целое число от 1 до 31",
         "«День начала периода»: целое число от 1 до 31"},
        {"budgetMinutesEdit", 0, "0", "budgetMinutesProblem", "от 1 до 1000000",
         "«Минуты»: от 1 до 1000000"},
        {"alertsEdit", 0, "80, 80", "alertsProblem", "80 указано дважды",
         "«Оповещать при, %»: 80 указано дважды"},
        {"connectionFeeEdit", 0, "-1", "connectionFeeProblem", "от 0 до 1000000",
         "«Плата за подключение, коп.»: от 0 до 1000000"},
        {"kopecksPerMbEdit", 0, Num("1,2345"), "kopecksPerMbProblem",
         "не больше трёх десятичных знаков",
         "«Цена мегабайта, коп.»: не больше трёх десятичных знаков"},
        {"kopecksPerMbEdit", 0, "1x", "kopecksPerMbProblem", "число, например " + Num("1,5"),
         "«Цена мегабайта, коп.»: число, например " + Num("1,5")},
        {nullptr, kPrice, "1,2,3", "ratesProblem", "Правило 2: число, например " + Num("1,5"),
         "Правило 2, «Коп./мин»: число, например " + Num("1,5")},
        {nullptr, kFrom, "25:00", "ratesProblem", "Правило 2: время ЧЧ:ММ, например 21:00",
         "Правило 2, «С»: время ЧЧ:ММ, например 21:00"},
    };
    PanelHarness h;
    PlanSettingsPanel& panel = h.Open();
    // Lower than its fields: the button's row stays in sight below them.
    panel.resize(560, 500);
    panel.show();
    const QLabel* beside = h.Get<QLabel>("saveBlockedLabel");
    for (const Case& c : cases) {
        const auto type = [&](const QString& text) {
            c.edit ? h.Type(c.edit, text) : h.Cell(1, c.column)->setText(text);
        };
        const QString before =
            c.edit ? h.Get<QLineEdit>(c.edit)->text() : h.Cell(1, c.column)->text();
        type(c.typed);
        const QLabel* problem = h.Get<QLabel>(c.problem);
        EXPECT_EQ(problem->text(), c.hint) << c.problem;
        EXPECT_EQ(problem->toolTip(), c.named);
        EXPECT_EQ(beside->text(), "Не сохраняется: " + c.named);
        QApplication::processEvents();
        EXPECT_TRUE(beside->isVisible());
        EXPECT_TRUE(panel.rect().contains(QRect(beside->mapTo(&panel, QPoint()), beside->size())));
        EXPECT_FALSE(h.SaveEnabled()) << c.problem;
        if (!c.edit) {
            // Selected, the wrong cell is still red rather than the selection's blue.
            auto* table = h.Get<QTableWidget>("ratesTable");
            table->setCurrentCell(1, c.column);
            const QPoint inside =
                table->visualItemRect(h.Cell(1, c.column)).topLeft() + QPoint(2, 2);
            const QColor tint = table->viewport()->grab().toImage().pixelColor(inside);
            EXPECT_GT(tint.red() - tint.blue(), 60) << tint.name().toStdString();
        }
        h.panel->Save();
        EXPECT_EQ(h.Status(), "Не сохранено: исправьте отмеченные поля.");
        EXPECT_EQ(h.PlanText(), kPlanFile);

        type(before);
        EXPECT_EQ(problem->text(), "") << c.problem;
        EXPECT_EQ(beside->text(), "");
        EXPECT_TRUE(h.SaveEnabled()) << c.problem;
    }
}

// Tab runs top to bottom and leaves the rates table; Alt and a letter of its
// own reaches each control, none taken by the overview around the panel.
TEST(PlanSettingsPanel, TheKeyboardReachesEveryControlInOrder) {
    PanelHarness h;
    PlanSettingsPanel& panel = h.Open();
    panel.show();
    QApplication::setActiveWindow(&panel);
    const std::vector<std::string> order = {
        "startDayEdit",       "budgetKopecksEdit",   "budgetMinutesEdit",   "budgetMegabytesEdit",
        "alertsEdit",         "providerKopecksEdit", "providerMinutesEdit", "providerMegabytesEdit",
        "providerButton",     "planGroup",           "connectionFeeEdit",   "includedMinutesEdit",
        "kopecksPerMbEdit",   "ratesTable",          "addRateButton",       "removeRateButton",
        "rateUpButton",       "rateDownButton",      "interfacesList",      "newInterfaceEdit",
        "addInterfaceButton", "meteredOnlyCheck",    "saveButton",          "reloadButton"};
    h.Get<QLineEdit>("startDayEdit")->setFocus();
    std::vector<std::string> reached = {QApplication::focusWidget()->objectName().toStdString()};
    while (reached.size() < order.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget()->objectName().toStdString());
    }
    EXPECT_EQ(reached, order);

    // The overview's own: its tabs "График", "Последние сеансы", "План и
    // бюджет" and "Закрыть".
    QStringList letters = {"Г", "С", "П", "З"};
    for (QWidget* control : panel.findChildren<QWidget*>()) {
        if (!(control->focusPolicy() & Qt::TabFocus)) {
            continue;
        }
        QString caption;
        if (const auto* button = qobject_cast<QAbstractButton*>(control)) {
            caption = button->text();
        } else if (const auto* group = qobject_cast<QGroupBox*>(control)) {
            caption = group->title();
        }
        for (const QLabel* label : panel.findChildren<QLabel*>()) {
            if (label->buddy() == control) {
                caption = label->text();
            }
        }
        const QString letter = QKeySequence::mnemonic(caption).toString();
        EXPECT_FALSE(letter.isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(letters.contains(letter)) << caption.toStdString();
        letters << letter;
    }
    EXPECT_EQ(letters.size(), 4 + 24);
}

TEST(PlanSettingsPanel, SavedFieldsReadBackFromTheFile) {
    PanelHarness h;
    h.Open();
    int saved = 0;
    QObject::connect(h.panel.get(), &PlanSettingsPanel::Saved, [&saved] { ++saved; });
    h.Type("startDayEdit", " 1 ");
    h.Type("budgetMinutesEdit", "600");
    h.Type("alertsEdit", "100; 50");
    h.Type("kopecksPerMbEdit", Num("0,125"));
    // A point where the number form has a comma: people type both.
    h.Cell(0, kPrice)->setText("2.5");
    h.Cell(1, 0)->setCheckState(Qt::Unchecked);
    QListWidget* list = h.Get<QListWidget>("interfacesList");
    list->item(0)->setCheckState(Qt::Unchecked);
    list->item(2)->setCheckState(Qt::Checked);
    h.Get<QCheckBox>("meteredOnlyCheck")->setChecked(false);
    ASSERT_TRUE(h.SaveEnabled());
    h.Click("saveButton");

    EXPECT_EQ(h.Status(), "Сохранено.");
    EXPECT_EQ(saved, 1);
    PlanSettings expected;
    expected.CycleStartDay = 1;
    // The stop has no fields, and stays as the file has it.
    expected.Budget = BudgetSettings{5000, 600, 2048, {50, 100}, 100, 90};
    expected.Plan = PlanTariff{
        10, 60, 125, {{0b1100000, std::nullopt, 2500}, {0b0011110, ClockWindow{1260, 420}, 1800}}};
    expected.Counting = CountingSettings{std::vector<std::string>{"usb0"}, std::nullopt};
    EXPECT_EQ(ParsePlanText(h.PlanText()), expected);
    // The fields show what was written; the settings record is not touched.
    EXPECT_EQ(h.Get<QLineEdit>("startDayEdit")->text(), "1");
    EXPECT_EQ(h.Get<QLineEdit>("alertsEdit")->text(), "50, 100");
    EXPECT_EQ(ReadBytes(h.dir / "Propert.dat"), PanelHarness::kProp);
    EXPECT_EQ(h.FolderFiles(), (std::vector<std::string>{"Propert.dat", "Vimo.toml"}));
}

TEST(PlanSettingsPanel, RatesAreAddedMovedAndRemovedInTheirOrder) {
    PanelHarness h;
    h.Open();
    h.Click("addRateButton");
    ASSERT_EQ(h.Get<QTableWidget>("ratesTable")->rowCount(), 3);
    EXPECT_EQ(h.Get<QLabel>("ratesProblem")->text(), "Правило 3: укажите цену минуты");
    EXPECT_FALSE(h.SaveEnabled());
    h.Cell(2, kPrice)->setText("3");
    h.Cell(2, kFrom)->setText("7:00");
    h.Cell(2, kTo)->setText("09:00");
    EXPECT_EQ(h.Get<QLabel>("ratesProblem")->text(), "Правило 3: время ЧЧ:ММ, например 21:00");
    EXPECT_FALSE(h.SaveEnabled());
    h.Cell(2, kFrom)->setText("07:00");
    EXPECT_EQ(h.Get<QLabel>("ratesProblem")->text(), "");
    EXPECT_TRUE(h.SaveEnabled());

    // The new rule first, the weekend's removed.
    QTableWidget* table = h.Get<QTableWidget>("ratesTable");
    table->setCurrentCell(2, kPrice);
    h.Click("rateUpButton");
    h.Click("rateUpButton");
    h.Click("rateUpButton");
    EXPECT_EQ(table->currentRow(), 0);
    table->setCurrentCell(1, 0);
    h.Click("removeRateButton");
    h.Click("saveButton");
    ASSERT_EQ(h.Status(), "Сохранено.");
    EXPECT_EQ(ParsePlanText(h.PlanText()).Plan->Rates,
              (std::vector<RateRule>{{0x7f, ClockWindow{420, 540}, 3000},
                                     {0b0011111, ClockWindow{1260, 420}, 1800}}));
}

TEST(PlanSettingsPanel, InterfacesAddedByNameAndThePlanSwitchedOff) {
    PanelHarness h;
    h.Open();
    h.Type("newInterfaceEdit", "a-name-of-16-chr");
    h.Click("addInterfaceButton");
    EXPECT_EQ(h.Get<QLabel>("newInterfaceProblem")->text(), "имя интерфейса: от 1 до 15 знаков");
    EXPECT_EQ(h.Get<QListWidget>("interfacesList")->count(), 3);
    h.Type("newInterfaceEdit", " wwan0 ");
    h.Click("addInterfaceButton");
    EXPECT_EQ(h.Get<QLabel>("newInterfaceProblem")->text(), "");
    h.Type("newInterfaceEdit", "usb0");
    h.Click("addInterfaceButton");
    EXPECT_EQ(h.Get<QListWidget>("interfacesList")->count(), 4);

    // A wrong field of the plan does not count once the plan is off.
    h.Type("connectionFeeEdit", "-1");
    EXPECT_FALSE(h.SaveEnabled());
    h.Get<QGroupBox>("planGroup")->setChecked(false);
    EXPECT_TRUE(h.SaveEnabled());
    h.Click("saveButton");
    ASSERT_EQ(h.Status(), "Сохранено.");
    const PlanSettings read = ParsePlanText(h.PlanText());
    EXPECT_FALSE(read.Plan);
    EXPECT_EQ(read.Counting,
              (CountingSettings{std::vector<std::string>{"ppp9", "usb0", "wwan0"}, true}));
}

TEST(PlanSettingsPanel, AFileTheProgramRefusesIsLeftToBeMended) {
    PanelHarness h;
    const std::string broken = "[cycle]\nstart_day = 40\n";
    WriteBytes(h.dir / "Vimo.toml", broken);
    h.Open();
    EXPECT_EQ(h.Status(),
              "Vimo.toml, line 2: start_day must be 1 to 31\n"
              "Файл не изменён: исправьте его и нажмите «Перечитать».");
    EXPECT_FALSE(h.SaveEnabled());
    EXPECT_FALSE(h.Get<QWidget>("fields")->isEnabled());
    h.panel->Save();
    EXPECT_EQ(h.PlanText(), broken);

    WriteBytes(h.dir / "Vimo.toml", "[cycle]\nstart_day = 4\n");
    h.Click("reloadButton");
    EXPECT_EQ(h.Status(), "");
    EXPECT_EQ(h.Get<QLineEdit>("startDayEdit")->text(), "4");
    EXPECT_TRUE(h.SaveEnabled());
}

TEST(PlanSettingsPanel, AFileChangedOnDiskIsReplacedOnlyWhenThePersonSaysSo) {
    PanelHarness h;
    h.Open();
    const std::string byHand = "[cycle]\nstart_day = 20\n";
    WriteBytes(h.dir / "Vimo.toml", byHand);
    h.Type("startDayEdit", "5");
    h.boxes.confirmAnswer = false;
    h.Click("saveButton");
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].kind, "Confirm");
    EXPECT_EQ(h.PlanText(), byHand);
    EXPECT_EQ(h.Status(), "Не сохранено: файл изменён вне окна; «Перечитать» покажет его.");

    h.boxes.confirmAnswer = true;
    h.Click("saveButton");
    EXPECT_EQ(h.Status(), "Сохранено.");
    EXPECT_EQ(ParsePlanText(h.PlanText()).CycleStartDay, 5);
    // Saved once, the file is the panel's again: no question the next time.
    h.Type("startDayEdit", "6");
    h.Click("saveButton");
    EXPECT_EQ(h.boxes.shown.size(), 2u);
    EXPECT_EQ(ParsePlanText(h.PlanText()).CycleStartDay, 6);
}

// The panel follows a hand edit of the file unless something is typed, and
// an untouched panel, over a file or none, has nothing to save.
TEST(PlanSettingsPanel, FollowsTheFileButKeepsWhatWasTyped) {
    const struct {
        bool noFile;
        const char* typed;  // nullptr: nothing typed
        const char* shown;
        const char* status;
    } cases[] = {
        {false, nullptr, "20", "Показан Vimo.toml, изменённый вне окна."},
        {true, nullptr, "20", "Показан Vimo.toml, изменённый вне окна."},
        {false, "5", "5",
         "Vimo.toml изменён вне окна; ваши правки не сохранены. «Перечитать» покажет файл."},
    };
    for (const auto& c : cases) {
        PanelHarness h;
        if (c.noFile) {
            fs::remove(h.dir / "Vimo.toml");
        }
        h.Open();
        if (c.typed != nullptr) {
            h.Type("startDayEdit", c.typed);
        }
        EXPECT_EQ(h.panel->HasUnsavedEdits(), c.typed != nullptr);
        WriteBytes(h.dir / "Vimo.toml", "[cycle]\nstart_day = 20\n");
        h.panel->FollowFile();
        EXPECT_EQ(h.Get<QLineEdit>("startDayEdit")->text(), c.shown);
        EXPECT_EQ(h.Status(), c.status);
    }
}

TEST(PlanSettingsPanel, AnUntouchedPanelWritesNothing) {
    PanelHarness h;
    fs::remove(h.dir / "Vimo.toml");
    h.Open();
    h.Click("saveButton");
    EXPECT_EQ(h.Status(), "Изменений нет: файл не записан.");
    EXPECT_EQ(h.FolderFiles(), (std::vector<std::string>{"Propert.dat"}));
}

// While it lives, no file of this process may grow past 0 bytes: every
// write to a file fails with EFBIG, for root as for anyone.
class NoFileMayGrow {
  public:
    NoFileMayGrow() {
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &limit_);
        const rlimit none{0, limit_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoFileMayGrow() {
        ::setrlimit(RLIMIT_FSIZE, &limit_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit limit_{};
    void (*previous_)(int) = nullptr;
};

TEST(PlanSettingsPanel, AFailedWriteShowsItsErrorAndKeepsWhatWasTyped) {
    PanelHarness h;
    h.Open();
    h.Type("startDayEdit", "3");
    {
        const NoFileMayGrow limit;
        h.Click("saveButton");
    }
    EXPECT_EQ(h.Status(), "Не сохранено (Vimo.toml): I/O error 27");
    if (::geteuid() != 0) {
        fs::permissions(h.dir.Path(), fs::perms::owner_write, fs::perm_options::remove);
        h.Click("saveButton");
        fs::permissions(h.dir.Path(), fs::perms::owner_write, fs::perm_options::add);
        EXPECT_EQ(h.Status(), "Не сохранено (Vimo.toml): File access denied");
    }
    EXPECT_EQ(h.Get<QLineEdit>("startDayEdit")->text(), "3");
    EXPECT_TRUE(h.SaveEnabled());
    EXPECT_EQ(h.PlanText(), kPlanFile);
    EXPECT_EQ(h.FolderFiles(), (std::vector<std::string>{"Propert.dat", "Vimo.toml"}));
    h.Click("saveButton");
    EXPECT_EQ(ParsePlanText(h.PlanText()).CycleStartDay, 3);
}

}  // namespace
