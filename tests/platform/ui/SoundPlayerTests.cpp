#include "platform/ui/Sound.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>

TEST(SoundTest, PlaysOnlyWavesThatExistAndOnlyWithAnAudioOutput) {
    qb::QtSound sound;
    const bool audio = !QMediaDevices::audioOutputs().isEmpty();
    EXPECT_EQ(sound.play(QStringLiteral("BALLOON")), audio);
    EXPECT_EQ(sound.play(QStringLiteral("START")), audio);
    EXPECT_FALSE(sound.play(QStringLiteral("balloon")));
    EXPECT_FALSE(sound.play(QStringLiteral("CHIME")));
    EXPECT_FALSE(sound.play(QString()));
}
