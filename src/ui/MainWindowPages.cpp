// Builds the four pages of the main window with every control at its place.
#include "Controls.h"
#include "CustomMaskEdit.h"
#include "MainWindow.h"
#include "MoneyTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>

using namespace controls;

namespace {

// The fallback sans font runs wider than the one the places were made for;
// where a caption would run into its neighbour, its letters close up a little.
QFont Tightened(QFont font) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.6);
    return font;
}

QFrame* PagePanel(QWidget* parent, int x, int y, int w, int h) {
    auto* page = Panel(parent, x, y, w, h, QFrame::Plain);
    SetColours(page, kMoneyGreen, Qt::blue);
    return page;
}

QLineEdit* CopyableText(QWidget* parent, int x, int y, int w, int h, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(x, y, w, h);
    edit->setReadOnly(true);
    edit->setFrame(false);
    edit->setFont(WindowFont(11, true));
    edit->setCursorPosition(0);
    SetColours(edit, kMoneyGreen, Qt::black);
    return edit;
}

QLabel* Picture(QWidget* parent, int x, int y, int w, int h, const QString& resource) {
    auto* picture = new QLabel(parent);
    picture->setGeometry(x, y, w, h);
    picture->setPixmap(QPixmap(resource));
    picture->setScaledContents(true);
    return picture;
}

}  // namespace

void TMainWindow::BuildTabStrip() {
    TabControl1 = new QTabBar(this);
    TabControl1->setGeometry(0, 0, width(), 22);
    TabControl1->setDrawBase(true);
    TabControl1->setExpanding(false);
    // Narrow tabs, so the four captions fit the fixed width as they did.
    TabControl1->setUsesScrollButtons(false);
    TabControl1->setFont(Tightened(font()));
    TabControl1->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 2px 3px; margin-right: 0px; border: 1px solid #a0a0a0;"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
        " background: #dcdcdc; margin-top: 2px; }"
        "QTabBar::tab:selected { background: palette(window); margin-top: 0px; }"));
    for (const char* caption : {"Главная", "Статистика", "Настройки", "О программе"}) {
        TabControl1->addTab(QString::fromUtf8(caption));
    }
}

void TMainWindow::BuildMainPage() {
    Main = Panel(this, 0, 24, 273, 193, QFrame::Plain);

    Panel1 = Panel(Main, 8, 8, 265, 28, QFrame::Sunken);
    SetColours(Panel1, kMoneyGreen, Qt::black);
    RadioButton1 = new QRadioButton(QStringLiteral("Месяц"), Panel1);
    RadioButton1->setGeometry(6, 6, 59, 17);
    RadioButton1->setChecked(true);
    Panel2 = new QLabel(Panel1);
    Panel2->setGeometry(68, 5, 115, 18);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setAlignment(Qt::AlignCenter);
    Panel2->setFont(WindowFont(11, true));
    SetColours(Panel2, kGradientInactiveCaption, Qt::white);
    RadioButton2 = new QRadioButton(QStringLiteral("Период"), Panel1);
    RadioButton2->setGeometry(192, 8, 65, 14);

    Label1 = Label(Main, 120, 46, QString());
    Label1->setFont(WindowFont(11, true));

    GroupBox1 = GroupBox(Main, 8, 62, 265, 132, QStringLiteral("Месяц"));
    Label2 = Label(GroupBox1, 8, 27, QStringLiteral("За"));
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setGeometry(32, 22, 97, 22);
    SetColours(ComboBox1, kInfoBk, Qt::black);
    Edit1 = MoneyBox(GroupBox1, 146, 24, 111, 21);
    Edit4 = DurationBox(GroupBox1, 32, 48, 97, 20);
    Label3 = Label(GroupBox1, 8, 81, QStringLiteral("За"));
    DateTimePicker1 = DatePicker(GroupBox1, 32, 76, 99, 22);
    Edit2 = MoneyBox(GroupBox1, 146, 77, 111, 21);
    Edit5 = DurationBox(GroupBox1, 32, 103, 98, 20);

    GroupBox2 = GroupBox(Main, 8, 40, 265, 153, QStringLiteral("Период"));
    GroupBox2->hide();
    Label6 = Label(GroupBox2, 11, 32, QStringLiteral("С"));
    DateTimePicker2 = DatePicker(GroupBox2, 32, 26, 89, 22);
    Label7 = Label(GroupBox2, 134, 32, QStringLiteral("по"));
    DateTimePicker3 = DatePicker(GroupBox2, 160, 26, 89, 22);
    Bevel1 = Rule(GroupBox2, 16, 60, 233);
    Edit3 = MoneyBox(GroupBox2, 81, 77, 112, 21);
    Edit6 = DurationBox(GroupBox2, 81, 109, 111, 19);
}

void TMainWindow::BuildStatisticsPage() {
    Statistics = PagePanel(this, 0, 21, 294, 220);

    RadioGroup1 =
        GroupBox(Statistics, 8, 8, 265, 41, QStringLiteral("Показать статистику соединений за : "));
    RadioGroup1Day = new QRadioButton(QStringLiteral("День"), RadioGroup1);
    RadioGroup1Day->setGeometry(8, 18, 80, 17);
    RadioGroup1Day->setChecked(true);
    RadioGroup1Month = new QRadioButton(QStringLiteral("Месяц"), RadioGroup1);
    RadioGroup1Month->setGeometry(93, 18, 80, 17);
    RadioGroup1Period = new QRadioButton(QStringLiteral("Период"), RadioGroup1);
    RadioGroup1Period->setGeometry(178, 18, 80, 17);

    SelectDay = Panel(Statistics, 8, 56, 265, 41, QFrame::Sunken);
    Label9 = Label(SelectDay, 8, 16, QStringLiteral("Выберите день : "));
    DateTimePicker4 = DatePicker(SelectDay, 101, 12, 99, 22);
    BitBtn2 = Button(SelectDay, 208, 13, 48, 19, QStringLiteral("OK"));

    SelectMonth = Panel(Statistics, 8, 56, 265, 71, QFrame::Sunken);
    SelectMonth->hide();
    Label10 = Label(SelectMonth, 8, 16, QStringLiteral("Выберите месяц : "));
    ComboBox2 = new QComboBox(SelectMonth);
    ComboBox2->setGeometry(103, 11, 95, 22);
    SetColours(ComboBox2, kInfoBk, Qt::black);
    for (const auto name : MonthNames) {
        ComboBox2->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    SpinEdit1 = new QSpinBox(SelectMonth);
    SpinEdit1->setGeometry(204, 11, 55, 22);
    SpinEdit1->setRange(0, 9999);  // at most 4 characters
    SetColours(SpinEdit1, kInfoBk, Qt::black);
    BitBtn3 = Button(SelectMonth, 122, 42, 48, 20, QStringLiteral("OK"));

    Period = Panel(Statistics, 8, 56, 265, 84, QFrame::Sunken);
    Period->hide();
    Label11 = Label(Period, 11, 19, QStringLiteral("С"));
    DateTimePicker5 = DatePicker(Period, 32, 13, 89, 22);
    Label12 = Label(Period, 134, 19, QStringLiteral("по"));
    DateTimePicker6 = DatePicker(Period, 160, 13, 89, 22);
    Bevel2 = Rule(Period, 16, 44, 233);
    BitBtn4 = Button(Period, 115, 55, 47, 19, QStringLiteral("OK"));

    StatWnd = Panel(Statistics, 5, 4, 275, 205, QFrame::Sunken);
    SetColours(StatWnd, kMoneyGreen, Qt::blue);
    StatWnd->hide();
    Label15 = Label(StatWnd, 8, 6, QStringLiteral("Статистика за :"));
    Label15->setFont(Tightened(Label15->font()));
    Label15->adjustSize();
    Label16 = Label(StatWnd, 96, 7, QString());
    Memo1 = new QPlainTextEdit(StatWnd);
    Memo1->setGeometry(6, 24, 260, 152);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPixelSize(11);
    Memo1->setFont(courier);
    SetTextColour(Memo1, Qt::blue);
    BitBtn1 = Button(StatWnd, 35, 180, 78, 20, QStringLiteral("Сохранить ..."));
    BitBtn5 = Button(StatWnd, 188, 181, 46, 19, QStringLiteral("OK"));
    for (QPushButton* button : {BitBtn1, BitBtn5}) {
        button->setFont(WindowFont(9));
        SetTextColour(button, Qt::blue);
    }
}

void TMainWindow::BuildPropertiesPage() {
    Properties = PagePanel(this, 0, 21, 294, 213);

    Label4 = Label(Properties, 8, 14, QStringLiteral("Запись соединений ведётся с"));
    Label4->setFont(Tightened(Label4->font()));
    Label4->adjustSize();
    Label5 = Label(Properties, 167, 14, QString());
    Label5->setMinimumWidth(70);
    GroupBox3 = GroupBox(Properties, 8, 32, 257, 49, QStringLiteral("Тариф"));
    Label13 = Label(GroupBox3, 8, 24, QStringLiteral("Стоимость 1 минуты  : "));
    Label13->setFont(Tightened(Label13->font()));
    Label13->adjustSize();
    // The user's number settings: the system's, unless the program sets a
    // default locale.
    MaskEdit1 = new TMaskEdit(GroupBox3, QLocale());
    MaskEdit1->setGeometry(131, 23, 35, 18);
    // The text the field carries before the settings are loaded, stored as is.
    MaskEdit1->QLineEdit::setText(QStringLiteral("3,6"));
    MaskEdit1->OnError = [this](const std::exception& error) { errors_.Show(error); };
    SetColours(MaskEdit1, Qt::white, Qt::black);
    Label14 = Label(GroupBox3, 174, 26, QStringLiteral("коп."));
    CheckBox1 = new QCheckBox(QStringLiteral("Автозагрузка"), Properties);
    CheckBox1->setGeometry(8, 96, 97, 17);
    BitBtn6 = Button(Properties, 29, 142, 68, 24, QStringLiteral("Сохранить"));
    Image2 = Picture(Properties, 200, 133, 73, 68, QStringLiteral(":/pictures/Logo.jpg"));
}

void TMainWindow::BuildAboutPage() {
    About = PagePanel(this, 0, 21, 296, 218);
    SetTextColour(About, Qt::black);

    StaticText1 = new QLabel(QStringLiteral("VIMO  1.0"), About);
    StaticText1->setGeometry(5, 6, 276, 26);
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFont(WindowFont(21, true));
    SetColours(StaticText1, Qt::yellow, Qt::blue);

    Label8 = Label(About, 107, 36, QStringLiteral("Freeware"));
    Label8->setFont(WindowFont(13));
    SetTextColour(Label8, Qt::red);
    Label8->adjustSize();

    Label17 = Label(About, 8, 58, QStringLiteral("Автор: команда разработчиков Vimo"));
    Label17->setFont(WindowFont(11, true));
    Label17->adjustSize();
    Label18 = Label(About, 8, 75, QStringLiteral("Спасибо всем, кто проверял программу"));
    Label19 = Label(About, 7, 99, QStringLiteral("Программа бесплатна,"));
    Label24 = Label(About, 7, 115, QStringLiteral("© Vimo Team, 2026"));
    Label22 = Label(About, 7, 131, QStringLiteral("Киев"));
    Label23 = Label(About, 46, 131, QStringLiteral("* Vimo Team *"));
    Label23->setFont(WindowFont(11, true));
    Label23->adjustSize();
    Bevel3 = Rule(About, 8, 154, 140);
    Label20 = Label(About, 8, 168, QStringLiteral("E-mail:"));
    Edit7 = CopyableText(About, 51, 168, 97, 17, QStringLiteral("vimo@example.org"));
    Edit7->setFont(Tightened(Edit7->font()));
    Label21 = Label(About, 8, 184, QStringLiteral("ICQ:"));
    Edit8 = CopyableText(About, 50, 184, 54, 17, QStringLiteral("1234567"));
    Image1 = Picture(About, 159, 96, 121, 112, QStringLiteral(":/pictures/About.jpg"));
}
