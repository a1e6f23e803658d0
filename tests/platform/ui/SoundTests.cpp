#include "platform/ui/Sound.h"

#include "support/LoadedLibraries.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtEndian>

namespace {

quint32 le32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 le16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

}  // namespace

TEST(SoundTest, WavesArePcmMonoAt22050HzOf16Bits) {
    const std::pair<const char*, int> waves[] = {
        {"BALLOON", 6400}, {"START", 2202}, {"MINIMIZE", 22580}};
    for (auto [name, size] : waves) {
        SCOPED_TRACE(name);
        QFile file(qb::soundResourcePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ASSERT_EQ(bytes.size(), size);
        EXPECT_EQ(bytes.left(4), "RIFF");
        EXPECT_EQ(le32(bytes, 4), quint32(size - 8));
        EXPECT_EQ(bytes.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(le16(bytes, 20), 1);  // PCM
        EXPECT_EQ(le16(bytes, 22), 1);  // one channel
        EXPECT_EQ(le32(bytes, 24), 22050u);
        EXPECT_EQ(le16(bytes, 34), 16);
        EXPECT_EQ(bytes.mid(36, 4), "data");
        EXPECT_EQ(le32(bytes, 40), quint32(size - 44));
        // Not silence, and no click at either end.
        qint16 loudest = 0;
        for (int at = 44; at < size; at += 2) {
            loudest =
                std::max<qint16>(loudest, qAbs(qFromLittleEndian<qint16>(bytes.constData() + at)));
        }
        EXPECT_GT(loudest, 3000);
        EXPECT_EQ(qFromLittleEndian<qint16>(bytes.constData() + 44), 0);
        EXPECT_LT(qAbs(qFromLittleEndian<qint16>(bytes.constData() + size - 2)), 500);
    }
}

// A library once loaded stays for the whole process: the check runs in a fresh copy of this
// test program that runs this test alone.
TEST(SoundTest, TheAudioLibrariesAreLoadedAtTheFirstPlayOfAWaveOnly) {
    if (!qEnvironmentVariableIsSet("QB_SOUND_FIRST_PLAY")) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QB_SOUND_FIRST_PLAY"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_filter=SoundTest.") +
             QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name())});
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
        return;
    }
    ASSERT_FALSE(qb::test::LibraryLoaded("libQt6Multimedia")) << "loaded before any sound";
    qb::QtSound sound;
    EXPECT_FALSE(sound.play(QStringLiteral("CHIME")));
    EXPECT_FALSE(sound.play(QString()));
    EXPECT_FALSE(qb::test::LibraryLoaded("libQt6Multimedia"))
        << "no wave of that name: nothing to play";
    sound.play(QStringLiteral("BALLOON"));  // silent where there is no audio output
    EXPECT_TRUE(qb::test::LibraryLoaded("libQt6Multimedia"));
}
