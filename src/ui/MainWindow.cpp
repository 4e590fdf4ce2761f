#include "MainWindow.h"

#include "Controls.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>

#include <stdexcept>

// The pictures are compiled into this static library; naming them here keeps
// the linker from dropping them.
static void InitPictures() {
    Q_INIT_RESOURCE(Pictures);
}

TMainWindow::TMainWindow(const WindowServices& services)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      UsageTable(services.folder),
      clock_(services.clock),
      boxes_(services.boxes),
      errors_(services.boxes),
      folder_(services.folder),
      platform_(services.platform),
      autostart_(services.autostart),
      saveDialog_(services.saveDialog) {
    InitPictures();
    setWindowTitle(QString::fromUtf8(kTitle));
    setFont(controls::WindowFont(11));
    setFixedSize(287, 234);
    move(375, 105);

    BuildTabStrip();
    BuildMainPage();
    BuildStatisticsPage();
    BuildPropertiesPage();
    BuildAboutPage();
    BuildTrayMenu();
    ConnectHandlers();
    ChangePage(0);
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::BuildTrayMenu() {
    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QStringLiteral("Главная"));
    N2 = PopupMenu1->addAction(QStringLiteral("Статистика"));
    N3 = PopupMenu1->addAction(QStringLiteral("Настройки"));
    N4 = PopupMenu1->addAction(QStringLiteral("О программе"));
    N5 = PopupMenu1->addSeparator();
    N6 = PopupMenu1->addAction(QStringLiteral("Выход"));
}

void TMainWindow::ConnectHandlers() {
    // Each handler goes through the top-level error handler: Qt must never
    // see an exception leave an event handler.
    auto guard = [this](void (TMainWindow::*handler)()) {
        return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
    };
    connect(TabControl1, &QTabBar::currentChanged, this, guard(&TMainWindow::TabControl1Change));
    connect(N1, &QAction::triggered, this, guard(&TMainWindow::N1Click));
    connect(N2, &QAction::triggered, this, guard(&TMainWindow::N2Click));
    connect(N3, &QAction::triggered, this, guard(&TMainWindow::N3Click));
    connect(N4, &QAction::triggered, this, guard(&TMainWindow::N4Click));
    connect(N6, &QAction::triggered, this, guard(&TMainWindow::N6Click));
    connect(RadioButton1, &QRadioButton::clicked, this, guard(&TMainWindow::RadioButton1Click));
    connect(RadioButton2, &QRadioButton::clicked, this, guard(&TMainWindow::RadioButton2Click));
    connect(ComboBox1, &QComboBox::activated, this, guard(&TMainWindow::ComboBox1Change));
    connect(DateTimePicker1, &QDateEdit::dateChanged, this,
            guard(&TMainWindow::DateTimePicker1Change));
    connect(DateTimePicker2, &QDateEdit::dateChanged, this,
            guard(&TMainWindow::DateTimePicker2Change));
    connect(DateTimePicker3, &QDateEdit::dateChanged, this,
            guard(&TMainWindow::DateTimePicker3Change));
    for (QRadioButton* item : {RadioGroup1Day, RadioGroup1Month, RadioGroup1Period}) {
        connect(item, &QRadioButton::clicked, this, guard(&TMainWindow::RadioGroup1Click));
    }
    connect(BitBtn2, &QPushButton::clicked, this, guard(&TMainWindow::BitBtn2Click));
    connect(BitBtn3, &QPushButton::clicked, this, guard(&TMainWindow::BitBtn3Click));
    connect(BitBtn4, &QPushButton::clicked, this, guard(&TMainWindow::BitBtn4Click));
    connect(BitBtn5, &QPushButton::clicked, this, guard(&TMainWindow::BitBtn5Click));
    connect(BitBtn1, &QPushButton::clicked, this, guard(&TMainWindow::BitBtn1Click));
    connect(BitBtn6, &QPushButton::clicked, this, guard(&TMainWindow::BitBtn6Click));
}

bool TMainWindow::Guarded(const std::function<void()>& action) {
    return errors_.Guard(action);
}

void TMainWindow::ChangePage(int page) {
    QFrame* panels[] = {Main, Statistics, Properties, About};
    for (QFrame* panel : panels) {
        panel->hide();
    }
    if (page >= 0 && page < 4) {
        panels[page]->show();
        // Selecting the tab from here must not raise the change event again.
        const QSignalBlocker quiet(TabControl1);
        TabControl1->setCurrentIndex(page);
    }
}

void TMainWindow::TabControl1Change() {
    ChangePage(TabControl1->currentIndex());
}

void TMainWindow::ShowWindow() {
    show();
    raise();
    activateWindow();
}

void TMainWindow::N1Click() {
    ShowWindow();
    ChangePage(0);
}

void TMainWindow::N2Click() {
    ShowWindow();
    ChangePage(1);
}

void TMainWindow::N3Click() {
    ShowWindow();
    ChangePage(2);
}

void TMainWindow::N4Click() {
    ShowWindow();
    ChangePage(3);
}

void TMainWindow::TrayIcon1DblClick() {
    ShowWindow();
}

void TMainWindow::N6Click() {
    boxes_.Beep();
    if (boxes_.Confirm(kExitQuestion)) {
        Tray().AllowClose();
        close();
    }
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) {
        emit Closed();
    }
}

TrayView& TMainWindow::Tray() {
    if (!TrayIcon1) {
        throw std::logic_error("the tray icon is not attached");
    }
    return *TrayIcon1;
}

std::filesystem::path TMainWindow::InFolder(const std::filesystem::path& relative) const {
    // Production works in "."; its file names then read as plain relative
    // names, as they appear in error messages.
    return folder_ == "." ? relative : folder_ / relative;
}
