// SPDX-License-Identifier: MIT
// PLACEHOLDER: being written.
#include <QTest>
class Placeholder_tst_updateservice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placeholder() { QSKIP("not written yet"); }
};
QTEST_GUILESS_MAIN(Placeholder_tst_updateservice)
#include "tst_updateservice.moc"
