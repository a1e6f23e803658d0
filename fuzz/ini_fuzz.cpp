// The settings file on arbitrary bytes: reading never fails, a key written reads back as it was
// given, and every other key reads as it did before the write.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/ini/IniFile.h"

namespace {

QString folder;

// A name the program could write: one line, and a key that cannot read as a comment, a section
// or nothing.
bool isWritableName(const QString& name, bool key) {
    const QString trimmed = name.trimmed();
    if (name.contains(u'\r') || (key && (trimmed.isEmpty() || trimmed.startsWith(u';') ||
                                         trimmed.startsWith(u'[') || name.contains(u'=')))) {
        return false;
    }
    return true;
}

// Keys the program reads, and names taken from the input's own section and key lines (decoded
// as Latin-1, so that they also probe names that the file holds in another form).
std::vector<std::pair<QString, QString>> probesOf(const QByteArray& file) {
    std::vector<std::pair<QString, QString>> probes = {
        {"General", "OnlyShowEditor"}, {"Default Font1", "Name"}, {"Colors", "Background"}};
    QString section = QStringLiteral("General");
    for (const QByteArray& line : file.split('\n')) {
        const QString text = QString::fromLatin1(line).trimmed();
        if (text.startsWith(u'[') && text.contains(u']')) {
            section = text.mid(1, text.indexOf(u']') - 1);
        } else if (text.indexOf(u'=') > 0 && probes.size() < 12) {
            const QString key = text.left(text.indexOf(u'='));
            if (isWritableName(section, false) && isWritableName(key, true)) {
                probes.emplace_back(section, key);
            }
        }
    }
    return probes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    (void)argc;
    (void)argv;
    // In memory where the system offers it (every write waits for the disk), and removed at the
    // exit() through which libFuzzer leaves.
    static std::string made = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    made += "/ini_fuzz-XXXXXX";
    if (!mkdtemp(made.data())) {
        return 1;
    }
    folder = QString::fromStdString(made);
    std::atexit([] { std::filesystem::remove_all(made); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = folder + QStringLiteral("/Marlowick.ini");
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) {
            abort();
        }
    }
    qb::IniFile ini(path);
    const auto probes = probesOf(file);
    std::vector<QString> before;
    for (const auto& [section, key] : probes) {
        before.push_back(ini.readString(section, key, QStringLiteral("\x01missing")));
        ini.readInteger(section, key, 7);
    }

    // Write one probe: the value is the file's last line, read as UTF-8, in the form in which
    // the settings file keeps it (one line, no surrounding blanks).
    const std::size_t written = size % probes.size();
    const auto& [section, key] = probes[written];
    const QString value = QString::fromUtf8(file.mid(file.lastIndexOf('\n') + 1));
    ini.writeString(section, key, value);
    QString expected = value;
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    expected = expected.trimmed();

    for (std::size_t i = 0; i < probes.size(); ++i) {
        const QString now =
            ini.readString(probes[i].first, probes[i].second, QStringLiteral("\x01missing"));
        // A probe with the same names (without case) as the one written is that key.
        const bool same =
            probes[i].first.trimmed().compare(section.trimmed(), Qt::CaseInsensitive) == 0 &&
            probes[i].second.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0;
        if (now != (same ? expected : before[i])) {
            abort();
        }
    }
    return 0;
}
