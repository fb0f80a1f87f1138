// SPDX-License-Identifier: MIT
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "FakeSoundEffect.h"
#include "SoundManager.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

class TestSounds : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void poolOfSixIsReusedInTurn()
    {
        auto log = std::make_shared<SoundLog>();
        SoundPlayer player(u"Bottle"_s, 6, fakeSoundLoader(log));
        QCOMPARE(player.poolSize(), 6);
        for (int i = 0; i < 7; ++i)
            player.play();
        // Each play rewinds first; the seventh reuses the first copy, which is still playing.
        QCOMPARE(log->events.filter(u":play"_s).size(), 7);
        QCOMPARE(log->events.filter(u":stop"_s), QStringList{u"Bottle#1:stop"_s});
        QCOMPARE(log->events.mid(log->events.size() - 3),
                 (QStringList{u"Bottle#1:stop"_s, u"Bottle#1:rewind"_s, u"Bottle#1:play"_s}));
    }

    void missingSoundsLeaveThePlayerSilent()
    {
        auto log = std::make_shared<SoundLog>();
        log->unavailable = {u"Tink"_s};
        SoundPlayer player(u"Tink"_s, 6, fakeSoundLoader(log));
        QCOMPARE(player.poolSize(), 0);
        player.play();
        QVERIFY(log->events.isEmpty());
    }

    void managerFollowsTheSetting()
    {
        QTemporaryDir dir;
        auto settings = AppSettings::openFile(dir.path() + u"/s.ini"_s);
        settings->registerDefaults(AppStorageKeys::defaultValues());
        auto log = std::make_shared<SoundLog>();
        SoundManager sounds(settings.get(), fakeSoundLoader(log));
        QVERIFY(sounds.isEnabled());
        sounds.playCopy();
        sounds.playDelete();
        sounds.playPin();
        QCOMPARE(log->events.filter(u":play"_s), (QStringList{u"Tink#1:play"_s, u"Pop#7:play"_s, u"Bottle#13:play"_s}));
        settings->setValue(AppStorageKeys::playSounds, false);
        QVERIFY(!sounds.isEnabled());
        sounds.playCopy();
        QCOMPARE(log->events.filter(u":play"_s).size(), 3);
        // Anything but a Boolean reads as on.
        settings->setValue(AppStorageKeys::playSounds, u"maybe"_s);
        QVERIFY(sounds.isEnabled());
        settings->remove(AppStorageKeys::playSounds);
        QVERIFY(sounds.isEnabled());
    }

    void booleansSurviveTheSettingsFile()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/s.ini"_s;
        {
            auto settings = AppSettings::openFile(path);
            settings->setValue(AppStorageKeys::playSounds, false);
            settings->setStringList(AppStorageKeys::ignoredAppBundleIds, {});
            settings->sync();
        }
        auto settings = AppSettings::openFile(path);
        QCOMPARE(settings->storedBool(AppStorageKeys::playSounds), std::optional<bool>(false));
        QCOMPARE(settings->stringListValue(AppStorageKeys::ignoredAppBundleIds), std::optional(QStringList()));
        QVERIFY(!settings->stringListValue(u"never written"_s));
        QVERIFY(!settings->boolValue(AppStorageKeys::playSounds, true));
    }
};

QTEST_GUILESS_MAIN(TestSounds)
#include "tst_sounds.moc"
