#include "platform/ui/UrlOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

#include <set>

namespace qb {
namespace {

class DesktopUrlOpener : public UrlOpener {
  public:
    void open(const QUrl& url, QObject* context, std::function<void()> failed) override {
        // Starting xdg-open succeeds also where it then finds no browser and ends with an error;
        // Qt's own opener reports that start as success, and nothing would show.
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty()) {
            if (!QDesktopServices::openUrl(url)) {
                failed();
            }
            return;
        }
        auto* process = new QProcess;
        running().insert(process);
        process->setProgram(opener);
        process->setArguments({url.toString(QUrl::FullyEncoded)});
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::finished, context,
                         [failed](int code, QProcess::ExitStatus status) {
                             if (status != QProcess::NormalExit || code != 0) {
                                 failed();
                             }
                         });
        QObject::connect(process, &QProcess::errorOccurred, context, [failed](auto error) {
            if (error == QProcess::FailedToStart) {
                failed();
            }
        });
        QObject::connect(process, &QProcess::finished, process, [process] { release(process); });
        QObject::connect(process, &QProcess::errorOccurred, process, [process](auto error) {
            if (error == QProcess::FailedToStart) {
                release(process);
            }
        });
        process->start();
    }

  private:
    // Openers still running. A browser may run inside its opener for as long as it is open, and
    // destroying a QProcess kills what it runs: those still running when the program ends are
    // left to run on their own, never destroyed (the set itself is never freed, so they stay
    // reachable).
    static std::set<QProcess*>& running() {
        static auto* processes = new std::set<QProcess*>;
        return *processes;
    }

    static void release(QProcess* process) {
        if (running().erase(process) > 0) {
            process->deleteLater();
        }
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
