// SPDX-License-Identifier: MIT
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "FakeSoundEffect.h"
#include "SoundManager.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

class TestSounds : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void poolOfSixIsReusedInTurn()
    {
        auto log = std::make_shared<SoundLog>();
        SoundPlayer player(QStringLiteral("Bottle"), 6, fakeSoundLoader(log));
        QCOMPARE(player.poolSize(), 6);
        for (int i = 0; i < 7; ++i)
            player.play();
        // Each play rewinds first; the seventh reuses the first copy, which is still playing.
        QCOMPARE(log->events.filter(QStringLiteral(":play")).size(), 7);
        QCOMPARE(log->events.filter(QStringLiteral(":stop")), QStringList{QStringLiteral("Bottle#1:stop")});
        QCOMPARE(log->events.mid(log->events.size() - 3),
                 (QStringList{QStringLiteral("Bottle#1:stop"), QStringLiteral("Bottle#1:rewind"),
                              QStringLiteral("Bottle#1:play")}));
    }

    void missingSoundsLeaveThePlayerSilent()
    {
        auto log = std::make_shared<SoundLog>();
        log->unavailable = {QStringLiteral("Tink")};
        SoundPlayer player(QStringLiteral("Tink"), 6, fakeSoundLoader(log));
        QCOMPARE(player.poolSize(), 0);
        player.play();
        QVERIFY(log->events.isEmpty());
    }

    void managerFollowsTheSetting()
    {
        QTemporaryDir dir;
        auto settings = AppSettings::openFile(dir.path() + QStringLiteral("/s.ini"));
        settings->registerDefaults(AppStorageKeys::defaultValues());
        auto log = std::make_shared<SoundLog>();
        SoundManager sounds(settings.get(), fakeSoundLoader(log));
        QVERIFY(sounds.isEnabled());
        sounds.playCopy();
        sounds.playDelete();
        sounds.playPin();
        QCOMPARE(log->events.filter(QStringLiteral(":play")),
                 (QStringList{QStringLiteral("Tink#1:play"), QStringLiteral("Pop#7:play"),
                              QStringLiteral("Bottle#13:play")}));
        settings->setValue(AppStorageKeys::playSounds, false);
        QVERIFY(!sounds.isEnabled());
        sounds.playCopy();
        QCOMPARE(log->events.filter(QStringLiteral(":play")).size(), 3);
        // Anything but a Boolean reads as on.
        settings->setValue(AppStorageKeys::playSounds, QStringLiteral("maybe"));
        QVERIFY(sounds.isEnabled());
        settings->remove(AppStorageKeys::playSounds);
        QVERIFY(sounds.isEnabled());
    }

    void booleansSurviveTheSettingsFile()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/s.ini");
        {
            auto settings = AppSettings::openFile(path);
            settings->setValue(AppStorageKeys::playSounds, false);
            settings->setStringList(AppStorageKeys::ignoredAppBundleIds, {});
            settings->sync();
        }
        auto settings = AppSettings::openFile(path);
        QCOMPARE(settings->storedBool(AppStorageKeys::playSounds), std::optional<bool>(false));
        QCOMPARE(settings->stringListValue(AppStorageKeys::ignoredAppBundleIds), std::optional(QStringList()));
        QVERIFY(!settings->stringListValue(QStringLiteral("never written")));
        QVERIFY(!settings->boolValue(AppStorageKeys::playSounds, true));
    }
};

QTEST_GUILESS_MAIN(TestSounds)
#include "tst_sounds.moc"
