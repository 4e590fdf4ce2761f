#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QWidget>
#include <QWindow>

#include "RecordingTrayShell.h"
#include "TempDir.h"
#include "TrayIcon.h"

namespace {

class TrayIconTest : public testing::Test {
  protected:
    TrayIconTest() {
        auto recording = std::make_unique<RecordingTrayShell>(calls);
        shell = recording.get();
        tray = new TTrayIcon(&owner, std::move(recording));
    }

    std::vector<std::string> Kinds() const {
        std::vector<std::string> kinds;
        for (const TrayCall& call : *calls) {
            kinds.push_back(call.Kind);
        }
        return kinds;
    }
    using Kinds_ = std::vector<std::string>;

    // Declared first: the owner deletes the tray icon, which logs its removal.
    std::shared_ptr<RecordingTrayShell::Log> calls = std::make_shared<RecordingTrayShell::Log>();
    QWidget owner;
    RecordingTrayShell* shell = nullptr;
    TTrayIcon* tray = nullptr;
};

TEST_F(TrayIconTest, NothingIsRegisteredBeforeLoading) {
    tray->SetHint(QStringLiteral("placeholder"));
    tray->SetIcon(QIcon(QPixmap(16, 16)));
    EXPECT_TRUE(calls->empty());
    EXPECT_TRUE(tray->Active());
}

TEST_F(TrayIconTest, LoadingAddsOnceWithTheCurrentHint) {
    tray->SetHint(QStringLiteral("placeholder"));
    tray->Loaded();
    ASSERT_EQ(Kinds(), (Kinds_{"add"}));
    EXPECT_EQ(calls->front().Tip, QStringLiteral("placeholder"));
    tray->SetActive(true);
    EXPECT_EQ(calls->size(), 1u);
}

TEST_F(TrayIconTest, InactiveBeforeLoadingStaysUnregistered) {
    tray->SetActive(false);
    tray->Loaded();
    EXPECT_TRUE(calls->empty());
    tray->SetActive(true);
    EXPECT_EQ(Kinds(), (Kinds_{"add"}));
    tray->SetActive(false);
    EXPECT_EQ(Kinds(), (Kinds_{"add", "delete"}));
}

TEST_F(TrayIconTest, HintChanges) {
    tray->Loaded();
    calls->clear();

    tray->SetHint(QStringLiteral("today 1:05\nmonth 10:00"));
    tray->SetHint(QStringLiteral("today 1:05\nmonth 10:00"));
    ASSERT_EQ(Kinds(), (Kinds_{"modify"}));
    EXPECT_EQ(calls->back().Tip, QStringLiteral("today 1:05\nmonth 10:00"));

    // The tip is the first 63 characters; the line feed is one of them.
    const QString first(40, QLatin1Char('a'));
    const QString second(40, QLatin1Char('b'));
    tray->SetHint(first + QLatin1Char('\n') + second);
    EXPECT_EQ(calls->back().Tip, first + QLatin1Char('\n') + QString(22, QLatin1Char('b')));
    EXPECT_EQ(tray->Hint(), first + QLatin1Char('\n') + second);

    const QString exact(63, QChar(0x0416));
    tray->SetHint(exact);
    EXPECT_EQ(calls->back().Tip, exact);
    EXPECT_EQ(calls->size(), 3u);
}

TEST_F(TrayIconTest, TipNeverSplitsACharacter) {
    const QString hint = QString(62, QLatin1Char('x')) + QString::fromUcs4(U"\U0001F4DE");
    EXPECT_EQ(TTrayIcon::TipText(hint), QString(62, QLatin1Char('x')));
}

TEST_F(TrayIconTest, ImageChangesAndFailedLoads) {
    TempDir dir;
    const QString good = QString::fromStdString((dir / "online.png").string());
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(good));
    const QString broken = QString::fromStdString((dir / "broken.ico").string());
    WriteBytes(dir / "broken.ico", "this is no icon");
    const QString missing = QString::fromStdString((dir / "missing.ico").string());

    tray->Loaded();
    calls->clear();
    tray->LoadIconFromFile(good);
    ASSERT_EQ(Kinds(), (Kinds_{"modify"}));
    const qint64 loadedKey = calls->back().Image.cacheKey();
    EXPECT_EQ(loadedKey, tray->Icon().cacheKey());
    EXPECT_TRUE(ShowsImageFile(calls->back().Image, good));

    for (const QString& bad : {missing, broken}) {
        try {
            tray->LoadIconFromFile(bad);
            ADD_FAILURE() << bad.toStdString() << " loaded";
        } catch (const EFOpenError& error) {
            EXPECT_EQ(error.what(), "Cannot open file " + bad.toStdString());
        }
    }
    EXPECT_EQ(calls->size(), 1u);
    EXPECT_EQ(tray->Icon().cacheKey(), loadedKey);

    const QIcon other(QPixmap::fromImage(image));
    tray->SetIcon(other);
    EXPECT_EQ(calls->size(), 2u);
    EXPECT_EQ(calls->back().Image.cacheKey(), other.cacheKey());
}

TEST_F(TrayIconTest, DestructionRemovesTheIcon) {
    tray->Loaded();
    delete tray;
    EXPECT_EQ(Kinds(), (Kinds_{"add", "delete"}));
}

TEST_F(TrayIconTest, LateTrayGetsTheIconWhenItAppears) {
    shell->TrayPresent = false;
    tray->Loaded();
    tray->SetHint(QStringLiteral("counted"));
    EXPECT_TRUE(calls->empty());

    shell->TrayAppears();
    ASSERT_EQ(Kinds(), (Kinds_{"add"}));
    EXPECT_EQ(calls->back().Tip, QStringLiteral("counted"));
    shell->TrayAppears();
    EXPECT_EQ(calls->size(), 1u);
}

TEST_F(TrayIconTest, TrayThatAppearsAfterDeactivationGetsNothing) {
    shell->TrayPresent = false;
    tray->Loaded();
    tray->SetActive(false);
    shell->TrayAppears();
    EXPECT_TRUE(calls->empty());
}

struct MouseCase {
    const char* name;
    TrayMouseAction action;
    std::vector<std::string> events;
};

TEST_F(TrayIconTest, MouseReportsBecomeSignals) {
    QMenu menu;
    menu.addAction(QStringLiteral("Exit"));
    std::vector<std::string> events;
    QObject::connect(tray, &TTrayIcon::Click, [&] { events.push_back("click"); });
    QObject::connect(tray, &TTrayIcon::DblClick, [&] { events.push_back("dblclick"); });
    QObject::connect(tray, &TTrayIcon::PopUp,
                     [&] { events.push_back(menu.isVisible() ? "popup after menu" : "popup"); });
    QObject::connect(tray, &TTrayIcon::MouseDown,
                     [&](TMouseButton button, TShiftState shift, int x, int y) {
                         const char* names[] = {"left", "right", "middle"};
                         std::string event = std::string("down ") + names[static_cast<int>(button)];
                         if (shift & ssDouble) {
                             event += " double";
                         }
                         if (shift & ssAlt) {
                             event += " alt";
                         }
                         event += " at " + std::to_string(x) + "," + std::to_string(y);
                         events.push_back(event);
                     });
    tray->SetPopupMenu(&menu);
    tray->Loaded();

    const MouseCase cases[] = {
        {"left press", TrayMouseAction::LeftPress, {"down left at 7,9", "click"}},
        {"left double", TrayMouseAction::LeftDoubleClick, {"dblclick", "down left double at 7,9"}},
        {"right press", TrayMouseAction::RightPress, {"down right at 7,9", "popup", "click"}},
        {"middle press", TrayMouseAction::MiddlePress, {"down middle at 7,9", "click"}},
        {"host activation", TrayMouseAction::PrimaryActivation, {"dblclick"}},
    };
    for (const MouseCase& c : cases) {
        events.clear();
        shell->Report(c.action, QPoint(7, 9));
        EXPECT_EQ(events, c.events) << c.name;
    }
    EXPECT_TRUE(menu.isVisible()) << "the right button opens the menu";
    menu.hide();

    events.clear();
    shell->Report(TrayMouseAction::LeftPress, QPoint(-3, 4), true);
    EXPECT_EQ(events, (std::vector<std::string>{"down left alt at -3,4", "click"}));

    // A host that shows the menu itself: nothing of ours opens, the owner
    // still hears of the press and of the host's menu opening.
    shell->HostShowsMenu = true;
    events.clear();
    shell->Report(TrayMouseAction::RightPress, QPoint(7, 9));
    shell->HostOpensMenu();
    EXPECT_EQ(events, (std::vector<std::string>{"down right at 7,9", "click", "popup"}));
    EXPECT_FALSE(menu.isVisible());

    shell->Report(TrayMouseAction::PrimaryActivation, {}, false, QStringLiteral("token-1"));
    EXPECT_EQ(tray->TakeActivationToken(), QStringLiteral("token-1"));
    EXPECT_EQ(tray->TakeActivationToken(), QString()) << "a token is used once";
}

TEST_F(TrayIconTest, RightPressWithoutMenuOrAfterItsDeletion) {
    struct Case {
        const char* name;
        bool deletedByPopUpReceiver;
        int popups;
    };
    const Case cases[] = {
        {"deleted before the press", false, 0},
        {"deleted by the PopUp receiver", true, 1},
    };
    tray->Loaded();
    for (const Case& c : cases) {
        int popups = 0;
        QPointer<QMenu> menu = new QMenu;
        menu->addAction(QStringLiteral("Exit"));
        const QMetaObject::Connection connection = QObject::connect(tray, &TTrayIcon::PopUp, [&] {
            ++popups;
            delete menu;
        });
        tray->SetPopupMenu(menu);
        if (!c.deletedByPopUpReceiver) {
            delete menu;
        }
        shell->Report(TrayMouseAction::RightPress);
        EXPECT_EQ(popups, c.popups) << c.name;
        EXPECT_EQ(tray->PopupMenu(), nullptr) << c.name;
        QObject::disconnect(connection);
    }
}

// The owner window: close and minimise hide it, the program's exit closes it.
class OwnerWindowTest : public TrayIconTest {
  protected:
    void SetUp() override {
        tray->SetNoClose(true);
        owner.show();
        tray->Loaded();
    }
};

TEST_F(OwnerWindowTest, HiddenAtStart) {
    EXPECT_FALSE(owner.isVisible());
    EXPECT_EQ(Kinds(), (Kinds_{"add"}));
}

TEST_F(OwnerWindowTest, CloseHidesAndKeepsTheProgramRunning) {
    QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
    owner.show();
    EXPECT_FALSE(owner.close());
    EXPECT_FALSE(owner.isVisible());
    EXPECT_EQ(lastWindowClosed.count(), 0);
    EXPECT_EQ(Kinds(), (Kinds_{"add"})) << "the icon stays";

    owner.show();
    EXPECT_TRUE(owner.isVisible()) << "shown again after hiding";
}

TEST_F(OwnerWindowTest, ProgramExitCloses) {
    owner.show();
    tray->AllowClose();
    EXPECT_TRUE(owner.close());
    EXPECT_FALSE(owner.isVisible());
    // Only that one close passes.
    owner.show();
    EXPECT_FALSE(owner.close());
}

TEST_F(OwnerWindowTest, CloseIsOrdinaryWithoutNoCloseOrWhenInactive) {
    owner.show();
    tray->SetNoClose(false);
    EXPECT_TRUE(owner.close());

    owner.show();
    tray->SetNoClose(true);
    tray->SetActive(false);
    EXPECT_TRUE(owner.close());
}

TEST_F(OwnerWindowTest, MinimiseHidesAndShowsAgainRestored) {
    owner.show();
    owner.showMinimized();
    QApplication::processEvents();
    EXPECT_FALSE(owner.isVisible());
    owner.show();
    EXPECT_TRUE(owner.isVisible());
    EXPECT_FALSE(owner.isMinimized());
}

// The window manager's minimise arrives as a state change of the native window.
// On X11 taking a window out of the minimised state maps it, so the hidden
// window keeps that state until it is shown. Twice each way, so the second
// minimise finds nothing left over from the first.
TEST_F(OwnerWindowTest, MinimisedByTheWindowManagerStaysHiddenUntilShown) {
    const struct {
        const char* name;
        void (QWidget::*showAgain)();
    } cases[] = {{"show", &QWidget::show}, {"showNormal", &QWidget::showNormal}};
    owner.show();
    QWindow* native = owner.windowHandle();
    ASSERT_NE(native, nullptr);
    for (const auto& c : cases) {
        for (int round = 1; round <= 2; ++round) {
            native->setWindowStates(Qt::WindowMinimized);
            QApplication::processEvents();
            EXPECT_FALSE(owner.isVisible()) << c.name << " round " << round;
            EXPECT_EQ(native->windowStates(), Qt::WindowMinimized) << c.name << " round " << round;

            (owner.*c.showAgain)();
            QApplication::processEvents();
            EXPECT_TRUE(owner.isVisible()) << c.name << " round " << round;
            EXPECT_FALSE(owner.isMinimized()) << c.name << " round " << round;
            EXPECT_EQ(native->windowStates(), Qt::WindowNoState) << c.name << " round " << round;
        }
    }
}

// With no tray to bring it back, the window is never hidden: closing and
// minimising leave it minimised on the taskbar, and once the grace is over
// without a tray the owner is asked to show it. A tray that comes back
// brings the hiding back.
TEST(TraylessOwnerTest, WindowStaysReachableUntilATrayShowsTheIcon) {
    enum class Tray { Never, ComesInTheGrace, Goes };
    const struct {
        const char* name;
        Tray tray;
        std::chrono::milliseconds grace;
        int missing;  // TrayMissing signals
        bool reachable;
    } cases[] = {
        {"no tray at all", Tray::Never, std::chrono::milliseconds(0), 1, true},
        {"a tray within the grace", Tray::ComesInTheGrace, std::chrono::hours(1), 0, false},
        {"the tray goes away", Tray::Goes, std::chrono::milliseconds(0), 1, true},
    };
    for (const auto& c : cases) {
        const auto calls = std::make_shared<RecordingTrayShell::Log>();
        QWidget owner;
        auto recording = std::make_unique<RecordingTrayShell>(calls);
        RecordingTrayShell* shell = recording.get();
        shell->TrayPresent = c.tray == Tray::Goes;
        auto* tray = new TTrayIcon(&owner, std::move(recording), c.grace);
        QSignalSpy missing(tray, &TTrayIcon::TrayMissing);
        tray->SetNoClose(true);
        tray->Loaded();
        if (c.tray == Tray::ComesInTheGrace) {
            shell->TrayAppears();
        } else if (c.tray == Tray::Goes) {
            shell->TrayGoes();
        }
        QApplication::processEvents();
        EXPECT_EQ(missing.count(), c.missing) << c.name;
        EXPECT_EQ(tray->InTray(), !c.reachable) << c.name;

        owner.show();
        EXPECT_FALSE(owner.close()) << c.name << ": the program goes on";
        EXPECT_EQ(owner.isVisible(), c.reachable) << c.name << ", closed";
        EXPECT_EQ(owner.isMinimized(), c.reachable) << c.name << ", closed";
        owner.showNormal();
        owner.showMinimized();
        QApplication::processEvents();
        EXPECT_EQ(owner.isVisible(), c.reachable) << c.name << ", minimised";

        if (c.reachable) {
            shell->TrayAppears();
            EXPECT_EQ(tray->InTray(), true) << c.name;
            EXPECT_EQ(calls->back().Kind, "add") << c.name << ": the icon comes back";
            owner.showNormal();
            EXPECT_FALSE(owner.close());
            EXPECT_FALSE(owner.isVisible()) << c.name << ": with a tray again, close hides";
        }
    }
}

TEST_F(OwnerWindowTest, MinimiseKeepsTheWindowWithShowMinimizedIcon) {
    tray->SetShowMinimizedIcon(true);
    owner.show();
    owner.showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(owner.isVisible());
    EXPECT_TRUE(owner.isMinimized());
}

}  // namespace
