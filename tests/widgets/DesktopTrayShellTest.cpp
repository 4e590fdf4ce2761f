#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "DBusMenuExporter.h"
#include "DesktopTrayShell.h"
#include "PrivateBus.h"

namespace {

constexpr int kDeadlineMs = 5000;
const QString kControlPath = QStringLiteral("/org/vimo/SniWatcher");
const QString kControlInterface = QStringLiteral("org.vimo.SniWatcher");
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

// Runs the event loop until the condition holds or the deadline passes; the
// shell under test answers the watcher from this loop.
bool WaitUntil(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(kDeadlineMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

// Never a blocking call: the callee may be this very process.
QDBusMessage CallAndWait(QDBusConnection& bus, const QDBusMessage& call) {
    QDBusPendingCall pending = bus.asyncCall(call);
    WaitUntil([&] { return pending.isFinished(); });
    return pending.reply();
}

// The tests' own watcher and host (tests/support/sni_watcher.py) as a
// process, with its record of what the item exports.
class SniWatcher {
  public:
    SniWatcher(QDBusConnection bus, const QString& address, const QString& python, bool host)
        : bus_(std::move(bus)) {
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList arguments{QStringLiteral(VIMO_SNI_WATCHER), QStringLiteral("--record"), Path(),
                              QStringLiteral("--bus"), address};
        if (!host) {
            arguments << QStringLiteral("--no-host");
        }
        process_.start(python, arguments);
        started_ = process_.waitForStarted(kDeadlineMs) && WaitUntil([this] {
                       return bus_.interface()->isServiceRegistered(kWatcherService).value();
                   });
    }
    ~SniWatcher() { Stop(); }

    bool Started() const { return started_; }

    // Ends it as a crash of the host would.
    void Stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(kDeadlineMs);
        }
    }

    QJsonObject Record() const {
        QFile file(Path());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    // The newest registered item as recorded, once `condition` holds for it.
    bool WaitForItem(const std::function<bool(const QJsonObject&)>& condition) {
        return WaitUntil([&] {
            const QJsonArray items = Record().value(QStringLiteral("items")).toArray();
            return !items.isEmpty() && condition(items.last().toObject());
        });
    }

    bool WaitForNoItem() {
        return WaitUntil([&] {
            const QJsonObject record = Record();
            return !record.isEmpty() && record.value(QStringLiteral("items")).toArray().isEmpty();
        });
    }

    QDBusMessage Command(const QString& method, const QVariantList& arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(kWatcherService, kControlPath,
                                                           kControlInterface, method);
        call.setArguments(arguments);
        return CallAndWait(bus_, call);
    }

  private:
    QString Path() const { return dir_.filePath(QStringLiteral("record.json")); }

    QDBusConnection bus_;
    QTemporaryDir dir_;
    QProcess process_;
    bool started_ = false;
};

QJsonArray MenuEntries(const QJsonObject& item) {
    return item[QStringLiteral("menu")][QStringLiteral("layout")][QStringLiteral("children")]
        .toArray();
}

QString EntryLabel(const QJsonValue& entry) {
    return entry[QStringLiteral("properties")][QStringLiteral("label")].toString();
}

QString ToolTipText(const QJsonObject& item) {
    return item[QStringLiteral("properties")][QStringLiteral("ToolTip")][QStringLiteral("text")]
        .toString();
}

// The first pixmap's size and first pixel, as the host receives them.
struct SentPixmap {
    int Width = 0;
    QByteArray FirstPixel;
};

SentPixmap FirstPixmap(const QJsonObject& item) {
    const QJsonValue pixmap =
        item[QStringLiteral("properties")][QStringLiteral("IconPixmap")].toArray().first();
    const QByteArray argb =
        QByteArray::fromBase64(pixmap[QStringLiteral("argb_base64")].toString().toLatin1());
    return {pixmap[QStringLiteral("width")].toInt(), argb.left(4)};
}

QIcon Filled(QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

class DesktopTrayShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(bus_.Start());
        python_ = PythonWith(QStringLiteral("dbus, gi"));
        ASSERT_FALSE(python_.isEmpty()) << "python3-dbus or python3-gi is missing (make deps)";
        driver_ = bus_.Connect(QStringLiteral("driver"));
        ASSERT_TRUE(driver_.isConnected()) << driver_.lastError().message().toStdString();
        // The program's menu: four pages, the overview, a separator, the exit.
        for (const char* caption : {"Главная", "Статистика", "Настройки", "О программе", "Обзор"}) {
            actions_.push_back(menu_.addAction(QString::fromUtf8(caption)));
        }
        actions_.push_back(menu_.addSeparator());
        actions_.push_back(menu_.addAction(QStringLiteral("Выход")));
        actions_[4]->setEnabled(false);
    }

    void TearDown() override {
        shell_.reset();
        watcher_.reset();
    }

    void StartWatcher(bool host = true) {
        watcher_ = std::make_unique<SniWatcher>(driver_, bus_.Address(), python_, host);
        ASSERT_TRUE(watcher_->Started()) << "the watcher did not take its name";
    }

    // The shell, with the program's menu, counting what it reports.
    void MakeShell() {
        shell_ = std::make_unique<DesktopTrayShell>(
            [address = bus_.Address()](const QString& connectionName) {
                return QDBusConnection::connectToBus(address, connectionName);
            });
        shell_->SetMenu(&menu_);
        QObject::connect(
            shell_.get(), &TrayShell::Activated,
            [this](const TrayActivation& activation) { activations_.push_back(activation); });
        QObject::connect(shell_.get(), &TrayShell::Available, [this] { ++available_; });
        QObject::connect(shell_.get(), &TrayShell::Lost, [this] { ++lost_; });
    }

    // The shell shows its icon on the watcher that runs.
    void ShowOnWatcher() {
        ASSERT_NO_FATAL_FAILURE(StartWatcher());
        MakeShell();
        ASSERT_TRUE(shell_->IsAvailable());
        shell_->Add(Filled(Qt::red), QStringLiteral("tip"));
        ASSERT_TRUE(watcher_->WaitForItem([](const QJsonObject& item) {
            return MenuEntries(item).size() == 7;
        })) << "the item and its menu were not recorded";
    }

    PrivateBus bus_;
    QString python_;
    QDBusConnection driver_{QString()};
    QMenu menu_;
    std::vector<QAction*> actions_;
    std::unique_ptr<SniWatcher> watcher_;
    std::unique_ptr<DesktopTrayShell> shell_;
    std::vector<TrayActivation> activations_;
    int available_ = 0;
    int lost_ = 0;
};

TEST_F(DesktopTrayShellTest, TheHostReadsTheMenuInOrder) {
    ASSERT_NO_FATAL_FAILURE(ShowOnWatcher());
    EXPECT_TRUE(shell_->ShowsMenu());
    const struct {
        const char* label;
        bool separator;
        bool enabled;
    } expected[] = {{"Главная", false, true},   {"Статистика", false, true},
                    {"Настройки", false, true}, {"О программе", false, true},
                    {"Обзор", false, false},    {"", true, true},
                    {"Выход", false, true}};
    const QJsonArray entries = MenuEntries(watcher_->Record()["items"].toArray().last().toObject());
    ASSERT_EQ(entries.size(), std::size(expected));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonObject properties = entries[i]["properties"].toObject();
        SCOPED_TRACE(i);
        EXPECT_EQ(EntryLabel(entries[i]), QString::fromUtf8(expected[i].label));
        EXPECT_EQ(properties["type"].toString() == "separator", expected[i].separator);
        EXPECT_EQ(properties["enabled"].toBool(), expected[i].enabled);
    }
}

TEST_F(DesktopTrayShellTest, TheHostReadsTheMenuAgainWhenItChanges) {
    ASSERT_NO_FATAL_FAILURE(ShowOnWatcher());
    const struct {
        std::function<void()> change;
        std::function<bool(const QJsonArray&)> seen;
    } rows[] = {
        {[&] { menu_.addAction(QStringLiteral("Ещё")); },
         [](const QJsonArray& entries) {
             return entries.size() == 8 && EntryLabel(entries.last()) == "Ещё";
         }},
        {[&] { actions_[0]->setText(QStringLiteral("&Главная")); },
         [](const QJsonArray& entries) { return EntryLabel(entries.first()) == "_Главная"; }},
        {[&] { menu_.removeAction(actions_[1]); },
         [](const QJsonArray& entries) { return EntryLabel(entries[1]) == "Настройки"; }},
    };
    for (const auto& row : rows) {
        row.change();
        EXPECT_TRUE(watcher_->WaitForItem(
            [&](const QJsonObject& item) { return row.seen(MenuEntries(item)); }));
    }
}

TEST_F(DesktopTrayShellTest, AClickTriggersThatActionAlone) {
    ASSERT_NO_FATAL_FAILURE(ShowOnWatcher());
    std::vector<int> triggered(actions_.size());
    for (size_t i = 0; i < actions_.size(); ++i) {
        QObject::connect(actions_[i], &QAction::triggered, [&triggered, i] { ++triggered[i]; });
    }
    const struct {
        const char* label;
        size_t action;
        int times;  // a disabled entry does nothing
    } rows[] = {{"Статистика", 1, 1}, {"Обзор", 4, 0}, {"Выход", 6, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        std::fill(triggered.begin(), triggered.end(), 0);
        const QDBusMessage reply =
            watcher_->Command(QStringLiteral("ClickLabel"), {QString::fromUtf8(row.label)});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        // The action runs from the event loop after the reply went out.
        QCoreApplication::processEvents();
        std::vector<int> expected(actions_.size());
        expected[row.action] = row.times;
        EXPECT_EQ(triggered, expected);
    }
}

TEST_F(DesktopTrayShellTest, TheHostsActivationsAreReported) {
    ASSERT_NO_FATAL_FAILURE(ShowOnWatcher());
    const struct {
        const char* command;
        QVariantList arguments;
        TrayMouseAction action;
        QPoint cursor;
        const char* token;
    } rows[] = {
        {"Activate",
         {10, 20, QStringLiteral("token-1")},
         TrayMouseAction::PrimaryActivation,
         {10, 20},
         "token-1"},
        // A token serves one activation.
        {"Activate", {5, 6, QString()}, TrayMouseAction::PrimaryActivation, {5, 6}, ""},
        {"SecondaryActivate", {7, 8}, TrayMouseAction::MiddlePress, {7, 8}, ""},
        {"ContextMenu", {30, 40}, TrayMouseAction::RightPress, {30, 40}, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        activations_.clear();
        const QDBusMessage reply =
            watcher_->Command(QString::fromLatin1(row.command), row.arguments);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        ASSERT_EQ(activations_.size(), 1U);
        EXPECT_EQ(activations_[0].Action, row.action);
        EXPECT_EQ(activations_[0].Cursor, row.cursor);
        EXPECT_EQ(activations_[0].ActivationToken, QString::fromLatin1(row.token));
    }
}

TEST_F(DesktopTrayShellTest, TheOwnerHearsBeforeTheHostShowsTheMenu) {
    ASSERT_NO_FATAL_FAILURE(ShowOnWatcher());
    int told = 0;
    bool rename = false;
    QObject::connect(shell_.get(), &TrayShell::MenuAboutToShow, [&] {
        ++told;
        if (rename) {
            actions_[0]->setText(QStringLiteral("Главная!"));
        }
    });
    // The answer says whether the host must read the menu again.
    for (const bool changed : {false, true}) {
        SCOPED_TRACE(changed);
        told = 0;
        rename = changed;
        const QDBusMessage reply = watcher_->Command(QStringLiteral("AboutToShow"), {0});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        EXPECT_EQ(told, 1);
        EXPECT_EQ(reply.arguments().value(0).toBool(), changed);
        QCoreApplication::processEvents();
    }
}

TEST_F(DesktopTrayShellTest, TheTipAndThePictureFollowModify) {
    ASSERT_NO_FATAL_FAILURE(ShowOnWatcher());
    const struct {
        QColor colour;
        const char* tip;
        QByteArray pixel;  // A, R, G, B: network byte order
    } rows[] = {
        {QColor(255, 0, 0), "tip", QByteArray::fromHex("ffff0000")},
        {QColor(0, 0, 255, 128), "Сегодня: 1 мин", QByteArray::fromHex("800000ff")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tip);
        shell_->Modify(Filled(row.colour), QString::fromUtf8(row.tip));
        EXPECT_TRUE(watcher_->WaitForItem([&](const QJsonObject& item) {
            const SentPixmap pixmap = FirstPixmap(item);
            return ToolTipText(item) == QString::fromUtf8(row.tip) && pixmap.Width == 16 &&
                   pixmap.FirstPixel == row.pixel;
        })) << QJsonDocument(watcher_->Record()).toJson().left(2000).toStdString();
    }
}

// GNOME's extension and waybar build their view of the item from its
// introspection; a type missing there is a property they never read.
TEST_F(DesktopTrayShellTest, IntrospectionGivesTheHostsTypes) {
    ASSERT_NO_FATAL_FAILURE(ShowOnWatcher());
    const QString service = watcher_->Record()["items"].toArray().last()["bus_name"].toString();
    const struct {
        const char* path;
        const char* fragment;
    } rows[] = {
        {"/StatusNotifierItem", R"x(<property name="IconPixmap" type="a(iiay)" access="read")x"},
        {"/StatusNotifierItem", R"x(<property name="ToolTip" type="(sa(iiay)ss)" access="read")x"},
        {"/StatusNotifierItem", R"x(<property name="Menu" type="o" access="read")x"},
        {"/StatusNotifierItem", R"x(<method name="ProvideXdgActivationToken">)x"},
        {"/MenuBar", R"x(<arg name="layout" type="(ia{sv}av)" direction="out"/>)x"},
        {"/MenuBar", R"x(<signal name="LayoutUpdated">)x"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fragment);
        const QDBusMessage reply = CallAndWait(
            driver_,
            QDBusMessage::createMethodCall(service, QString::fromLatin1(row.path),
                                           QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                           QStringLiteral("Introspect")));
        EXPECT_TRUE(
            reply.arguments().value(0).toString().contains(QString::fromLatin1(row.fragment)))
            << reply.arguments().value(0).toString().toStdString();
    }
}

TEST_F(DesktopTrayShellTest, DeleteTakesTheItemOffTheTray) {
    ASSERT_NO_FATAL_FAILURE(ShowOnWatcher());
    shell_->Delete();
    EXPECT_TRUE(watcher_->WaitForNoItem());
    shell_->Add(Filled(Qt::green), QStringLiteral("again"));
    EXPECT_TRUE(watcher_->WaitForItem(
        [](const QJsonObject& item) { return ToolTipText(item) == "again"; }));
}

// A watcher that comes after the program, with its host at once or later.
TEST_F(DesktopTrayShellTest, AWatcherThatComesLateGetsTheItem) {
    for (const bool hostAtStart : {true, false}) {
        SCOPED_TRACE(hostAtStart);
        MakeShell();
        available_ = 0;
        ASSERT_FALSE(shell_->IsAvailable());
        EXPECT_FALSE(shell_->ShowsMenu());
        shell_->Add(Filled(Qt::red), QStringLiteral("late"));
        ASSERT_NO_FATAL_FAILURE(StartWatcher(hostAtStart));
        if (!hostAtStart) {
            // A watcher without a host shows nothing: still no tray.
            EXPECT_FALSE(shell_->IsAvailable());
            EXPECT_EQ(available_, 0);
            watcher_->Command(QStringLiteral("RegisterHost"), {});
        }
        EXPECT_TRUE(WaitUntil([&] { return available_ == 1; }));
        EXPECT_TRUE(shell_->ShowsMenu());
        EXPECT_TRUE(watcher_->WaitForItem(
            [](const QJsonObject& item) { return ToolTipText(item) == "late"; }));
        shell_.reset();
        watcher_.reset();
    }
}

TEST_F(DesktopTrayShellTest, AWatcherThatGoesIsLostAndOneThatReturnsGetsTheItemAgain) {
    ASSERT_NO_FATAL_FAILURE(ShowOnWatcher());
    watcher_->Stop();
    EXPECT_TRUE(WaitUntil([&] { return lost_ == 1; }));
    EXPECT_FALSE(shell_->ShowsMenu());
    ASSERT_NO_FATAL_FAILURE(StartWatcher());
    EXPECT_TRUE(WaitUntil([&] { return available_ == 1; }));
    EXPECT_TRUE(watcher_->WaitForItem([](const QJsonObject& item) {
        return ToolTipText(item) == "tip" && MenuEntries(item).size() == 7;
    }));
}

TEST(DBusMenuLabelTest, QtMnemonicsBecomeTheHostsMarks) {
    const struct {
        const char* text;
        const char* label;
    } rows[] = {
        {"Выход", "Выход"},  {"&Выход", "_Выход"},          {"О &программе", "О _программе"},
        {"A && B", "A & B"}, {"snake_case", "snake__case"}, {"end&", "end&"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DBusMenuExporter::Label(QString::fromUtf8(row.text)),
                  QString::fromUtf8(row.label))
            << row.text;
    }
}

}  // namespace
