#include "platform/ui/UrlOpener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace qb {
namespace {

// How long the desktop's opener is given to say that it found no program for the address.
constexpr int kVerdictMs = 1500;

class DesktopUrlOpener : public UrlOpener {
  public:
    bool open(const QUrl& url) override {
        // Starting xdg-open succeeds also where it then finds no browser and ends with an error
        // at once; Qt's own opener reports that start as success, and nothing would show.
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty()) {
            return QDesktopServices::openUrl(url);
        }
        auto* process = new QProcess(QCoreApplication::instance());
        process->setProgram(opener);
        process->setArguments({url.toString(QUrl::FullyEncoded)});
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        QObject::connect(process, &QProcess::errorOccurred, process, [process](auto error) {
            if (error == QProcess::FailedToStart) {
                process->deleteLater();
            }
        });
        process->start();
        if (!process->waitForStarted()) {
            return false;
        }
        if (!process->waitForFinished(kVerdictMs)) {
            return true;  // still running: the browser it started runs inside it
        }
        return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    }
};

DesktopUrlOpener desktopOpener;
UrlOpener* current = nullptr;

}  // namespace

UrlOpener& urlOpener() {
    return current ? *current : desktopOpener;
}

void setUrlOpener(UrlOpener* opener) {
    current = opener;
}

}  // namespace qb
