// At a desktop scale of 2 (QT_SCALE_FACTOR=2, set by the test's environment)
// the window keeps its layout in logical pixels and the field is drawn at the
// device pixel ratio, so its letters are sharp rather than an upscaled blur.
#include "game/fieldview.h"
#include "game/frmzuvel.h"
#include "records/zuvelm.h"
#include "windowtestkit.h"

#include <QLineEdit>

class TestHiDpi : public QObject
{
    Q_OBJECT

private slots:
    void fieldIsDrawnAtTheDevicePixelRatio()
    {
        useDesignFont();
        QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("2"));
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\n\r\n");
        Session s(folder);
        QVERIFY(s.loaded);
        frmZuvel &window = *s.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.devicePixelRatioF(), 2.0);
        QCOMPARE(window.centralWidget()->size(), QSize(413, 391));
        QCOMPARE(window.picPrint()->geometry(), QRect(16, 222, 377, 153));

        const QPixmap &image = window.picPrint()->image();
        QCOMPARE(image.devicePixelRatio(), 2.0);
        QCOMPARE(image.size(), QSize(373 * 2, 149 * 2));

        // A sharp edge: the letters hold runs of pure black wider than one
        // device pixel in both directions, which a 2x upscale of a 1x
        // drawing would smear into half-tones at every edge.
        const QImage pixels = image.toImage().convertToFormat(QImage::Format_RGB32);
        int black = 0, grey = 0;
        for (int y = 0; y < pixels.height(); ++y) {
            for (int x = 0; x < pixels.width(); ++x) {
                const int v = qGray(pixels.pixel(x, y));
                black += v < 10;
                grey += v >= 10 && v < 200;
            }
        }
        QVERIFY(black > 4 * grey);

        const QString shot = QStringLiteral(KOLRIN_ARTIFACT_DIR "/hidpi-window.png");
        QDir().mkpath(QStringLiteral(KOLRIN_ARTIFACT_DIR));
        QVERIFY(window.grab().save(shot));
        QCOMPARE(QImage(shot).size(), window.size() * 2);
    }
};

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
