#include "Unit1.h"

#include "Errors.h"
#include "LeftoverFiles.h"
#include "WorkDir.h"

#include <QComboBox>

TForm1::TForm1(const Form1Services& services, std::unique_ptr<OnlineState> IPWatch1,
               const TrayFactory& makeTray)
    : TMainWindow(services),
      platform_(services.platform),
      autostart_(services.autostart),
      IPWatch1_(std::move(IPWatch1)) {
    Timer1 = new QTimer(this);
    Timer1->setInterval(kTickMilliseconds);
    // Queued, so a tick whose error box is still open does not hold back the
    // next ticks: Qt never re-enters a timer whose handler is still running.
    connect(
        Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); },
        Qt::QueuedConnection);
    Timer1->start();
    TrayIcon1 = makeTray(*this);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    SessionOpen = false;
    SessionMinutes = 0;
    // A failing step is reported and the later ones are skipped; the program
    // goes on running with its timer.
    Guarded([this] {
        Check_OS();
        RestoreWorkDir(autostart_, platform_);
        RemoveLeftoverTemporaryFiles(folder_);
        LoadTable();
        LoadProp();
        LoadMain();
        LoadStatistics();
    });
}

void TForm1::Check_OS() {
    const OsIdentity identity = IdentifyOs(platform_.Family());
    IsNT = identity.IsNT;
    OSName = identity.OSName;
    sessionLog_.emplace(folder_, clock_, OSName);
}

TSessionLog& TForm1::SessionLog() {
    if (!sessionLog_) {
        // Check_OS failed or has not run: the lines would lack the label.
        Check_OS();
    }
    return *sessionLog_;
}

void TForm1::Timer1Timer() {
    const bool online = IPWatch1_->Online();
    if (online) {
        if (!SessionOpen) {
            // The session counts as open only once its start is recorded, and
            // the picture changes after that: a failing step here leaves no
            // session without a start line, and the next tick tries again.
            SessionLog().SaveFirstDTime(IPWatch1_->CurrentAddress());
            SessionOpen = true;
            ChangeIcon(true);
        }
        ++SessionMinutes;
        UsageTable.UpdateTable(clock_);
        UsageTable.SaveTable();
        SessionLog().SaveNewTimeToFile(static_cast<uint32_t>(SessionMinutes));
        // Without a month list (start-up stopped before filling the page)
        // there is no month to show; the other summaries still refresh.
        if (ComboBox1->currentIndex() >= 0) {
            SetMoneyTimeMonMain(ComboBox1->currentIndex() + 1);
        }
        SetMoneyTimeDayMain();
        SetMoneyTimePeriodMain();
        UpDateHint();
    } else if (SessionOpen) {
        try {
            SessionLog().CloseSession();
        } catch (const EInOutError& error) {
            // A current-session file deleted by hand cannot come back: report
            // it once and close the session, or every offline minute would
            // raise the same error again. Other failures (a history that
            // cannot be written) keep the session open to try again.
            if (error.Code != EInOutError::kFileNotFound) {
                throw;
            }
            EndSession();
            throw;
        }
        EndSession();
    }
}

void TForm1::EndSession() {
    SessionOpen = false;
    SessionMinutes = 0;
    ChangeIcon(false);
}
