#pragma once

#include "AutostartStore.h"
#include "ErrorHandler.h"
#include "MessageBoxes.h"
#include "OsPlatform.h"
#include "PropRecord.h"
#include "SaveFileDialog.h"
#include "TrayView.h"
#include "UsageTable.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabBar;
class TMaskEdit;

// What the window works through: the clock, the message boxes and beep, the
// operating system, the autostart entry, the report save dialog, and the
// folder of the data files.
struct WindowServices {
    const Clock& clock;
    MessageBoxes& boxes;
    OsPlatform& platform;
    AutostartStore& autostart;
    SaveFileDialog& saveDialog;
    std::filesystem::path folder;
};

// The program's one window: the tab strip with its four pages, the tray menu,
// the main page's summaries and the tray hint, and the data they show (the
// usage table and the settings record). Controls keep their numbered names.
// Every handler runs through the top-level error handler.
class TMainWindow : public QWidget {
    Q_OBJECT

  public:
    static constexpr const char* kTitle = "Vimo  1.0";
    static constexpr const char* kPeriodWarning = "\rПервая дата должна быть не больше второй";
    static constexpr const char* kExitQuestion = "\rВы действительно хотите выключить программу ?";
    static constexpr const char* kStatisticsSince = "\rСтатистика ведётся с ";
    static constexpr const char* kDateNotYetCome = "\rВыбранная вами дата ещё не наступила";
    static constexpr const char* kSettingsSaved = "\rДанные успешно сохранены";
    static constexpr const char* kSaveDialogTitle = "Запись статистики в файл";
    static constexpr const char* kSaveDialogFilter = "Текстовый файл (*.txt)";

    // `services.folder` is where the data files and "Res" live: "." in
    // production.
    explicit TMainWindow(const WindowServices& services);
    ~TMainWindow() override;

    void ChangePage(int page);
    void TabControl1Change();
    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void N6Click();
    void TrayIcon1DblClick();

    // Start-up steps that fill the window's data and pages.
    void LoadTable();
    void LoadProp();
    void CreateProp(const TPropRecord& record);
    void LoadMain();
    void LoadStatistics();
    void ChangeIcon(bool online);

    // The statistics page.
    void ShowStatistics(TDateTime from, TDateTime to);
    void RadioGroup1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn1Click();

    // The settings page.
    void BitBtn6Click();

    // The main page.
    void SetMoneyTimeMonMain(int month);
    void SetMoneyTimeDayMain();
    void SetMoneyTimePeriodMain();
    void UpDateHint();
    void RadioButton1Click();
    void RadioButton2Click();
    void ComboBox1Change();
    void DateTimePicker1Change();
    void DateTimePicker2Change();
    void DateTimePicker3Change();

    // Runs `action` under the top-level error handler; false when it failed.
    bool Guarded(const std::function<void()>& action);

    std::unique_ptr<TrayView> TrayIcon1;
    TUsageTable UsageTable;
    TPropRecord Prop;
    bool IsNT = false;
    std::string OSName;

    QTabBar* TabControl1 = nullptr;
    QFrame* Main = nullptr;
    QFrame* Statistics = nullptr;
    QFrame* Properties = nullptr;
    QFrame* About = nullptr;

    // Page 0.
    QFrame* Panel1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QLabel* Panel2 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLabel* Label3 = nullptr;
    QDateEdit* DateTimePicker1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label6 = nullptr;
    QDateEdit* DateTimePicker2 = nullptr;
    QLabel* Label7 = nullptr;
    QDateEdit* DateTimePicker3 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit6 = nullptr;

    // Page 1.
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* RadioGroup1Day = nullptr;
    QRadioButton* RadioGroup1Month = nullptr;
    QRadioButton* RadioGroup1Period = nullptr;
    QFrame* SelectDay = nullptr;
    QLabel* Label9 = nullptr;
    QDateEdit* DateTimePicker4 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QFrame* SelectMonth = nullptr;
    QLabel* Label10 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QFrame* Period = nullptr;
    QLabel* Label11 = nullptr;
    QDateEdit* DateTimePicker5 = nullptr;
    QLabel* Label12 = nullptr;
    QDateEdit* DateTimePicker6 = nullptr;
    QFrame* Bevel2 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QFrame* StatWnd = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn5 = nullptr;

    // Page 2.
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLabel* Label13 = nullptr;
    TMaskEdit* MaskEdit1 = nullptr;
    QLabel* Label14 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QLabel* Image2 = nullptr;

    // Page 3.
    QLabel* StaticText1 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label24 = nullptr;
    QLabel* Label22 = nullptr;
    QLabel* Label23 = nullptr;
    QFrame* Bevel3 = nullptr;
    QLabel* Label20 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLabel* Label21 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLabel* Image1 = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;
    QAction* N3 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;
    QAction* N6 = nullptr;

  signals:
    // The window really closed (the program's exit), not merely hidden.
    void Closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

    const Clock& clock_;
    MessageBoxes& boxes_;
    TopLevelErrorHandler errors_;
    std::filesystem::path folder_;

  private:
    OsPlatform& platform_;
    AutostartStore& autostart_;
    SaveFileDialog& saveDialog_;
    // The lines the report shows, as saved by BitBtn1Click.
    std::vector<std::string> reportLines_;

    void BuildTabStrip();
    void BuildMainPage();
    void BuildStatisticsPage();
    void BuildPropertiesPage();
    void BuildAboutPage();
    void BuildTrayMenu();
    void ConnectHandlers();
    void ShowWindow();
    TrayView& Tray();
    std::filesystem::path InFolder(const std::filesystem::path& relative) const;
    void FillMoneyTime(QLineEdit* timeBox, QLineEdit* moneyBox, uint32_t minutes) const;

    // A reversed period is warned about once at a time: the tick keeps
    // running while the box waits, and must not stack further boxes on it.
    bool periodWarningOpen_ = false;
};
