#include <QtTest>

#include "gui/kestrava_main.h"

class SmokeTest : public QObject {
    Q_OBJECT
private slots:
    void windowStarts()
    {
        Kestrava_Main window(kestrava::BuildProfile{"sorvanta", "Polish"});
        QCOMPARE(window.objectName(), QStringLiteral("Kestrava_Main"));
    }
};

QTEST_MAIN(SmokeTest)
#include "test_smoke.moc"
