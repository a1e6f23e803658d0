#include "program/StaticUnit.h"

#include <QCoreApplication>

#include <filesystem>
#include <system_error>

#include "cipher/QbClass.h"
#include "program/ProgramState.h"

namespace {

TQbBlowfish& entryCipher() {
    if (!EntryCipher) {
        throw std::logic_error("The program's cipher object has not been created");
    }
    return *EntryCipher;
}

// The position of the last "." of the last path component, or -1.
qsizetype lastDot(const QString& fileName) {
    qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    return dot > slash ? dot : -1;
}

struct DateParts {
    QString monthName;
    QString dayText;
    QString weekday;
    QString year;
};

DateParts datePartsOf(const QString& key) {
    QDate date = DateKeyToDate(key);
    // QDate counts Monday as 1 and Sunday as 7; the name table counts from Sunday.
    int weekday = date.dayOfWeek() % 7 + 1;
    return {MonthNames[date.month()], DayTexts[date.day()], DayNames[weekday],
            QString::number(date.year())};
}

}  // namespace

bool IsPlainRtf(const std::string& text) {
    return text.empty() || text.rfind("{\\rtf", 0) == 0;
}

std::string DecodeEntryText(const std::string& text) {
    return IsPlainRtf(text) ? text : DecodeEntryText(text, entryCipher());
}

std::string DecodeEntryText(const std::string& text, TQbBlowfish& cipher) {
    return IsPlainRtf(text) ? text : cipher.DecryptString(text);
}

std::string EncodeEntryText(const std::string& text) {
    return entryCipher().EncryptString(text);
}

QString NextPageId() {
    PageCounter = PageCounter + 1;
    return QString::number(PageCounter);
}

QString DateToKey(const QDate& date) {
    if (!date.isValid() || date.year() < 1000 || date.year() > 9999) {
        throw EConvertError("The date has no day key: " + date.toString(Qt::ISODate).toStdString());
    }
    return QString::number(date.year()) +
           QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0')) +
           QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
}

QDate DateKeyToDate(const QString& key) {
    bool digits = key.size() == 8;
    for (QChar c : key) {
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }
    QDate date;
    if (digits) {
        date = QDate(key.left(4).toInt(), key.mid(4, 2).toInt(), key.mid(6, 2).toInt());
    }
    if (!date.isValid() || date.year() < 1000) {
        throw EConvertError("'" + key.toStdString() + "' is not a valid date");
    }
    return date;
}

QString DateKeyToTitle(const QString& key) {
    DateParts p = datePartsOf(key);
    return p.monthName + QLatin1Char(' ') + p.dayText + QStringLiteral(", ") + p.year +
           QStringLiteral(" - ") + p.weekday;
}

QString DateKeyToLongText(const QString& key) {
    DateParts p = datePartsOf(key);
    return p.weekday + QStringLiteral(" - ") + p.monthName + QLatin1Char(' ') + p.dayText +
           QStringLiteral(", ") + p.year;
}

QString DateKeyToText(const QString& key) {
    DateParts p = datePartsOf(key);
    return p.monthName + QLatin1Char(' ') + p.dayText + QStringLiteral(", ") + p.year;
}

QString FileExtension(const QString& fileName) {
    qsizetype dot = lastDot(fileName);
    return dot < 0 ? QString() : fileName.mid(dot + 1).toLower();
}

QString StripExtension(const QString& fileName) {
    qsizetype dot = lastDot(fileName);
    return dot < 0 ? fileName : fileName.left(dot);
}

QString DayPictureFolderIn(const QString& pictureTree, const QString& key) {
    return pictureTree + key.mid(0, 4) + u'/' + key.mid(4, 2) + u'/' + key.mid(6, 2) + u'/';
}

QString DocumentPictureFolderIn(const QString& pictureTree, const QString& name) {
    return pictureTree + QStringLiteral("OtherDocs/") + name + u'/';
}

void RemoveFolderIfEmpty(const QString& folder) {
    namespace fs = std::filesystem;
    QString path = folder;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    std::error_code error;
    fs::path target = fs::path(path.toStdString());
    if (!fs::is_directory(fs::symlink_status(target, error))) {
        return;
    }
    if (fs::is_empty(target, error) && !error) {
        fs::remove(target, error);
    }
}

bool IsSwitchPresent(const QString& switchText) {
    return IsSwitchPresent(switchText, QCoreApplication::arguments());
}

bool IsSwitchPresent(const QString& switchText, const QStringList& arguments) {
    for (qsizetype i = 1; i <= 10 && i < arguments.size(); ++i) {
        if (arguments[i].compare(switchText, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}
