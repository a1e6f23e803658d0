// The program-wide state with its initial values.
#include "program/ProgramState.h"

QString AppFolder;
QString IniPath;
bool DatabaseReadOnly = false;
TQbBlowfish* EntryCipher = nullptr;
TDataModule1* DataModule1 = nullptr;
qb::FontChoice DefaultFont1;
qb::FontChoice DefaultFont2;
qb::FontChoice DefaultFont3;
QDate CalendarDate;
std::int32_t PageCounter = 0;
bool FirstShow = false;

const QString ProductTitle = QStringLiteral("Quillbrook");
const QString FullTitle = QStringLiteral("Quillbrook - The Marlowick");
const QString WebSiteAddress = QStringLiteral("https://www.quillbrook.net/");

std::uint32_t HighlightColor = 0x00E1AF97;
std::uint32_t BackgroundColor = 0x00914A28;
std::uint32_t BackgroundFontColor = 0x00FFFFFF;
std::uint32_t SelectedTabColor = 0x00008000;
std::uint32_t SelTabBorderColor = 0x00914A28;

const QString DayNames[8] = {
    QString(),
    QStringLiteral("Sunday"),
    QStringLiteral("Monday"),
    QStringLiteral("Tuesday"),
    QStringLiteral("Wednesday"),
    QStringLiteral("Thursday"),
    QStringLiteral("Friday"),
    QStringLiteral("Saturday"),
};

const QString MonthNames[13] = {
    QString(),
    QStringLiteral("January"),
    QStringLiteral("February"),
    QStringLiteral("March"),
    QStringLiteral("April"),
    QStringLiteral("May"),
    QStringLiteral("June"),
    QStringLiteral("July"),
    QStringLiteral("August"),
    QStringLiteral("September"),
    QStringLiteral("October"),
    QStringLiteral("November"),
    QStringLiteral("December"),
};

const QString DayTexts[32] = {
    QString(),
    QStringLiteral(" 1"),
    QStringLiteral(" 2"),
    QStringLiteral(" 3"),
    QStringLiteral(" 4"),
    QStringLiteral(" 5"),
    QStringLiteral(" 6"),
    QStringLiteral(" 7"),
    QStringLiteral(" 8"),
    QStringLiteral(" 9"),
    QStringLiteral("10"),
    QStringLiteral("11"),
    QStringLiteral("12"),
    QStringLiteral("13"),
    QStringLiteral("14"),
    QStringLiteral("15"),
    QStringLiteral("16"),
    QStringLiteral("17"),
    QStringLiteral("18"),
    QStringLiteral("19"),
    QStringLiteral("20"),
    QStringLiteral("21"),
    QStringLiteral("22"),
    QStringLiteral("23"),
    QStringLiteral("24"),
    QStringLiteral("25"),
    QStringLiteral("26"),
    QStringLiteral("27"),
    QStringLiteral("28"),
    QStringLiteral("29"),
    QStringLiteral("30"),
    QStringLiteral("31"),
};
