// The configuration toolbar's values without its widgets: ranges, clamping, texts, scaling and
// what each change sends.
#include "common/packets/ParameterCodes.h"
#include "control/config/CameraSettings.h"
#include "control/config/LensSettings.h"
#include "control/config/PaintSettings.h"
#include "control/link/RecorderRecords.h"
#include "control/manager/RecorderActions.h"

#include <QtTest>

namespace {

RecorderRecords records(double fps, double shutter, qint16 model)
{
    RecorderRecords r;
    StatusPacket status;
    status.frameRate = fps;
    status.shutterTime = shutter;
    r.status = status;
    kvx::RecorderInfoPacket info;
    info.cameraModel = model;
    r.info = info;
    r.outputState = OutputStatePacket{};
    return r;
}

StatusPacket statusAt(double fps)
{
    StatusPacket status;
    status.frameRate = fps;
    status.shutterTime = 500;
    return status;
}

using Kind = RecorderActions::ParameterKind;

} // namespace

class TestConfigSettings : public QObject {
    Q_OBJECT
private slots:
    void shutterRangeAndFpsClamping()
    {
        CameraSettings camera;
        camera.fill(records(1000, 500.7, 0));
        QCOMPARE(camera.fps(), 1000);
        QCOMPARE(*camera.shutterMaximum(), 998);
        QCOMPARE(camera.shutterText(), QString("500 us [180º]"));
        QCOMPARE(camera.typedFps(10), (CameraParameter{Kind::FrameRate, 20}));
        QCOMPARE(camera.typedFps(5000), (CameraParameter{Kind::FrameRate, 1740}));
        QCOMPARE(camera.fpsSliderMinimum(), 30);
        camera.fill(records(240, 100, 1));
        QCOMPARE(camera.fpsMaximum(), 480);
        QCOMPARE(*camera.typedShutter(1), (CameraParameter{Kind::Shutter, 2}));
        QCOMPARE(*camera.typedShutter(10000), (CameraParameter{Kind::Shutter, 4165}));
    }

    void noRateAndUnknownModelSendNothingWrong()
    {
        CameraSettings camera;
        camera.fill(records(0, 500, 0));
        QVERIFY(!camera.shutterMaximum());
        QVERIFY(!camera.typedShutter(100));
        QCOMPARE(camera.shutterText(), QString("500 us"));
        // An unknown model runs at its own rate at most: releasing the slider at its top sends
        // that rate, never 30 fps from an inverted 30..0 range.
        camera.fill(records(240, 500, 7));
        QCOMPARE(camera.fpsMaximum(), 240);
        QCOMPARE(camera.typedFps(1000), (CameraParameter{Kind::FrameRate, 240}));
        camera.fill(records(25, 500, 7));
        QCOMPARE(camera.fpsSliderMinimum(), 25);
        QCOMPARE(camera.typedFps(10), (CameraParameter{Kind::FrameRate, 20}));
    }

    void recorderValueWinsOverTheTypedOne()
    {
        CameraSettings camera;
        camera.fill(records(1000, 500, 0));
        camera.typedFps(1500);
        // The recorder keeps 1000: the typed value stays while it may still be taken, then goes.
        for (int i = 0; i < CameraSettings::SettleStatuses; ++i)
            QVERIFY(!camera.takeStatus(statusAt(1000)));
        QCOMPARE(camera.fps(), 1500);
        QVERIFY(camera.takeStatus(statusAt(1000)));
        QCOMPARE(camera.fps(), 1000);
        // It answers with another value than the one typed: shown at once.
        camera.typedFps(1500);
        QVERIFY(camera.takeStatus(statusAt(1200)));
        QCOMPARE(camera.fps(), 1200);
    }

    void formatsAndSwap()
    {
        QCOMPARE(VideoFormat::frequencyText(5, true), QString("59.940 Hz"));
        QCOMPARE(VideoFormat::frequencyText(4, false), QString("50 Hz"));
        CameraSettings camera;
        QCOMPARE(camera.setSdiFormat({8, 5, true}), (CameraParameter{Kind::SdiFormat, 0xB1}));
        const CameraParameter genlock = camera.setGenlock({{7, 4, false}, true});
        QCOMPARE(quint64(genlock.value), (1ull << 33) | 0x8E);
        QCOMPARE(GenlockConfig::fromWord(quint64(genlock.value)).format, (VideoFormat{7, 4, false}));
        // "#sc$" toggles on the recorder: only a real change may send it.
        QVERIFY(!camera.setSdiSwapped(false));
        QVERIFY(camera.setSdiSwapped(true));
        QVERIFY(!camera.setSdiSwapped(true));
    }

    void paintScalingBothWays()
    {
        OutputStatePacket state;
        state.values[9] = 1024;  // gain red
        state.values[13] = 1228; // misc 0
        state.values[0] = 8192;  // misc 3
        state.values[3] = -150;  // pedestal red
        PaintSettings paint;
        paint.fill(state);
        QCOMPARE(paint.position(PaintSettings::Gain, 0), 100);
        QCOMPARE(paint.position(PaintSettings::Misc, 0), 23);
        QCOMPARE(paint.position(PaintSettings::Misc, 3), 80);
        QCOMPARE(paint.position(PaintSettings::Pedestal, 0), -150);
        QCOMPARE(paint.move(PaintSettings::Gain, 1, 150, false), (QList<PaintParameter>{{1, 1, 1536}}));
        QCOMPARE(paint.move(PaintSettings::Misc, 0, 24, false), (QList<PaintParameter>{{6, 0, 1228}}));
        // Misc slider 1 is sent when let go only.
        QVERIFY(paint.move(PaintSettings::Misc, 1, 250, false).isEmpty());
        QCOMPARE(paint.move(PaintSettings::Misc, 1, 250, true), (QList<PaintParameter>{{7, 0, 2560}}));
    }

    void alignAndDefault()
    {
        OutputStatePacket state;
        state.values[4] = 12; // pedestal green
        PaintSettings paint;
        paint.fill(state);
        QCOMPARE(paint.setAligned(PaintSettings::Pedestal, true),
                 (QList<PaintParameter>{{2, 0, 12}, {2, 1, 12}, {2, 2, 12}}));
        QCOMPARE(paint.move(PaintSettings::Pedestal, 2, -5, false),
                 (QList<PaintParameter>{{2, 0, -5}, {2, 1, -5}, {2, 2, -5}}));
        QVERIFY(paint.setAligned(PaintSettings::Gain, true).isEmpty());
        QCOMPARE(paint.setDefault(PaintSettings::Detail),
                 (QList<PaintParameter>{
                     {5, 0, 20}, {5, 1, 50}, {5, 2, 45}, {6, 0, 1228}, {7, 0, 2252}, {8, 0, 8192}, {9, 0, 3072}}));
        const QList<PaintParameter> all = paint.setDefault(PaintSettings::Gain);
        QCOMPARE(all.mid(0, 3), (QList<PaintParameter>{{1, 0, 1024}, {1, 1, 1024}, {1, 2, 1024}}));
        QCOMPARE(all.mid(3, 4), (QList<PaintParameter>{{2, 0, 0}, {2, 1, 0}, {2, 2, 0}, {2, 3, 0}}));
        QCOMPARE(paint.setFlareOn(true), (PaintParameter{4, 0, 1}));
    }

    void lensAndAlignmentLimits()
    {
        RecorderRecords r = records(1000, 500, 0);
        r.outputState->values[17] = 5000; // focus beyond 12 bits widens its range
        r.firstAlignment = 160;
        r.secondAlignment = 244;
        LensSettings lens;
        lens.fill(r);
        QCOMPARE(lens.range(LensSettings::Focus).maximum, 5000);
        QCOMPARE(lens.stepLens(LensSettings::Iris, -1), (PaintParameter{10, 1, 0}));
        QCOMPARE(lens.stepLens(LensSettings::Zoom, +1), (PaintParameter{10, 2, LensSettings::LensStep}));
        lens.setStepChoice(2); // a third of the step for fine focus
        QCOMPARE(lens.stepLens(LensSettings::Zoom, -1), (PaintParameter{10, 2, LensSettings::LensStep - 21}));
        lens.setStepChoice(9);
        QCOMPARE(lens.lensStep(), LensSettings::LensStep / 4);
        QVERIFY(!lens.stepFirst(+1));
        QCOMPARE(lens.firstAlignment(), 160);
        QCOMPARE(*lens.stepFirst(-1), (CameraParameter{Kind::FirstAlignment, 144}));
        QCOMPARE(*lens.stepSecond(+1), (CameraParameter{Kind::SecondAlignment, 248}));
        QCOMPARE(lens.centre()[1], (CameraParameter{Kind::SecondAlignment, 124}));
        lens.reset();
        QVERIFY(!lens.stepSecond(-1));
        QVERIFY(!lens.stepFirst(-1));
        QCOMPARE(lens.secondAlignment(), 0);
        lens.fill(r); // another recorder starts at the full step
        QCOMPARE(lens.lensStep(), LensSettings::LensStep);
    }
};

QTEST_GUILESS_MAIN(TestConfigSettings)
#include "tst_config_settings.moc"
