#include "platform/ui/DesktopShortcut.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace qb {
namespace {

// A value of type string: backslash, line breaks and tabs are escaped.
QString escapeString(const QString& value) {
    QString out;
    for (QChar c : value) {
        switch (c.unicode()) {
            case '\\':
                out += QStringLiteral("\\\\");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            case '\t':
                out += QStringLiteral("\\t");
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The program as the one argument of Exec: quoted, with the characters that are special inside
// quotes escaped, and "%" doubled (field codes); then escaped as a string value.
QString execArgument(const QString& path) {
    QString quoted = QStringLiteral("\"");
    for (QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        if (c == QLatin1Char('%')) {
            quoted += QLatin1Char('%');
        }
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return escapeString(quoted);
}

}  // namespace

QString desktopLauncherText(const QString& programPath) {
    const QFileInfo program(programPath);
    QString folder = program.absolutePath();
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Version=1.0\n"
               "Name=Marlowick\n"
               "Comment=Quillbrook diary\n") +
           QStringLiteral("Exec=") + execArgument(program.absoluteFilePath()) +
           QStringLiteral("\nPath=") + escapeString(folder) + QStringLiteral("\nIcon=") +
           escapeString(folder + QStringLiteral("Marlowick.png")) +
           QStringLiteral("\nTerminal=false\n");
}

bool writeDesktopShortcut(const QString& desktopFolder, const QString& programPath) {
    if (desktopFolder.isEmpty() || !QDir().mkpath(desktopFolder)) {
        return false;
    }
    QSaveFile file(QDir(desktopFolder).filePath(QStringLiteral("Marlowick.desktop")));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(desktopLauncherText(programPath).toUtf8());
    if (!file.commit()) {
        return false;
    }
    return QFile::setPermissions(
        file.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                             QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

bool createDesktopShortcut() {
    return writeDesktopShortcut(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
                                QCoreApplication::applicationFilePath());
}

}  // namespace qb
