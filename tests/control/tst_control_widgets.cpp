// The control program's toolbars, bars and dialogs as widgets, without a recorder: what their
// buttons, sliders and keys emit, and that an unfilled toolbar sends nothing.
#include "control/manager/RecorderActions.h"
#include "control/ui/ConfigDlg.h"
#include "control/ui/QConfigToolbar.h"
#include "control/ui/QPlaybackBar.h"
#include "control/ui/QPlaybackSlider.h"
#include "control/ui/TapLabel.h"
#include "control/ui/TouchPad.h"

#include <QApplication>

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

namespace {

RecorderRecords filledRecords()
{
    RecorderRecords r;
    StatusPacket status;
    status.frameRate = 1000;
    status.shutterTime = 500;
    r.status = status;
    r.info = kvx::RecorderInfoPacket{};
    r.outputState = OutputStatePacket{};
    r.outputState->values[4] = 30; // pedestal green
    r.firstAlignment = 160;
    return r;
}

template <typename T>
T* named(QWidget* parent, const QString& name)
{
    T* child = parent->findChild<T*>(name);
    if (!child)
        qFatal("no child %s", qPrintable(name));
    return child;
}

QPushButton* button(QWidget* parent, const QString& text)
{
    for (QPushButton* b : parent->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    qFatal("no button %s", qPrintable(text));
}

} // namespace

class TestControlWidgets : public QObject {
    Q_OBJECT
private slots:
    void unfilledToolbarSendsNothing()
    {
        QConfigToolbar toolbar(1.0);
        QSignalSpy camera(&toolbar, &QConfigToolbar::camrecParameter);
        QSignalSpy paint(&toolbar, &QConfigToolbar::paintParameter);
        QSignalSpy swap(&toolbar, &QConfigToolbar::sdiSwap);
        button(&toolbar, "Swapped")->click();
        button(&toolbar, "Default")->click();
        named<QToolButton>(&toolbar, "lens_up")->click();
        named<QSlider>(&toolbar, "fpsSlider")->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(camera.size() + paint.size() + swap.size(), 0);
    }

    void toolbarButtonsEmitWhatTheyChange()
    {
        QConfigToolbar toolbar(1.0);
        toolbar.fill(filledRecords());
        QSignalSpy camera(&toolbar, &QConfigToolbar::camrecParameter);
        QSignalSpy paint(&toolbar, &QConfigToolbar::paintParameter);
        toolbar.OnPaintPageSelected(PaintSettings::Pedestal);
        button(&toolbar, "Align")->click();
        QCOMPARE(paint.size(), 3);
        QCOMPARE(paint.at(0), (QVariantList{2, 0, 30}));
        named<QToolButton>(&toolbar, "lens_up")->click(); // at 160 already: nothing
        named<QToolButton>(&toolbar, "lens_next")->click();
        named<QPushButton>(&toolbar, "lens_center")->click();
        QCOMPARE(camera.size(), 3);
        QCOMPARE(camera.at(0), (QVariantList{int(RecorderActions::SecondAlignment), 8.0}));
        QCOMPARE(camera.at(1), (QVariantList{int(RecorderActions::FirstAlignment), 124.0}));
        // A quarter step for fine focus: the + button and a tap on the groove move 16.
        emit named<QComboBox>(&toolbar, "lensStep")->activated(3);
        named<QPushButton>(&toolbar, "lensPlus1")->click();
        QCOMPARE(paint.last(), (QVariantList{10, 1, 16}));
        named<QSlider>(&toolbar, "lensSlider1")->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(paint.last(), (QVariantList{10, 1, 32}));
        // A tap on the fps slider's groove sends the new rate at once.
        named<QSlider>(&toolbar, "fpsSlider")->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(camera.last(), (QVariantList{int(RecorderActions::FrameRate), 1010.0}));
        QCOMPARE(toolbar.camera().fps(), 1010);
        toolbar.lowerShutter(300);
        QCOMPARE(toolbar.camera().shutter(), 300);
    }

    // A rate typed above the model's maximum goes out as the maximum, and the panel says so.
    void typedFpsIsClampedWithItsReason()
    {
        QConfigToolbar toolbar(1.0);
        toolbar.fill(filledRecords());
        toolbar.show();
        QSignalSpy camera(&toolbar, &QConfigToolbar::camrecParameter);
        QTimer::singleShot(0, &toolbar, [] {
            auto* pad = qobject_cast<TouchPad*>(QApplication::activeModalWidget());
            QVERIFY(pad);
            for (const char* key : {"Btn_5", "Btn_0", "Btn_0", "Btn_0", "Btn_OK"})
                named<QPushButton>(pad, key)->click();
        });
        QTest::mouseClick(toolbar.findChild<TapLabel*>(), Qt::LeftButton);
        QCOMPARE(camera.size(), 1);
        QCOMPARE(camera.at(0), (QVariantList{int(RecorderActions::FrameRate), 1740.0}));
        QCOMPARE(toolbar.noticeText(), QString("Fps 5000 is outside what the camera takes: 1740 is sent."));
        toolbar.fill(filledRecords());
        QVERIFY(toolbar.noticeText().isEmpty());
    }

    void playbackBarSpeedAndLoop()
    {
        QPlaybackBar bar(32);
        QSignalSpy speed(&bar, &QPlaybackBar::playbackSpeed);
        QSignalSpy events(&bar, &QPlaybackBar::playbackEvent);
        bar.showSpeed(0.1);
        QCOMPARE(bar.speedText(), QString("0.10"));
        QCOMPARE(bar.speedValue(), 10);
        auto* slider = bar.findChild<QSlider*>();
        slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
        slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
        slider->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(speed.size(), 3);
        QCOMPARE(speed.at(1).at(0).toInt(), 19);
        QCOMPARE(bar.speedText(), QString("3.00"));
        // The loop button shows what the recorder reports, not the click.
        auto* loop = named<QToolButton>(&bar, "pb_loop");
        loop->click();
        QVERIFY(!loop->isChecked());
        QCOMPARE(events.last().at(0).toInt(), int(QPlaybackBar::Loop));
        bar.showLoopState(true);
        loop->click();
        QVERIFY(loop->isChecked());
        named<QToolButton>(&bar, "pb_rew")->click();
        QCOMPARE(events.last().at(0).toInt(), int(QPlaybackBar::Rewind));
        bar.showPlayState(2);
        QCOMPARE(bar.shownPlayState(), 2);
    }

    // Dragged or pressed beside, the markers stay in the clip and the start never passes the stop.
    void playbackMarkersStayInOrder()
    {
        QPlaybackSlider slider(12);
        slider.resize(300, slider.sizeHint().height());
        slider.setFrames(101);
        slider.show();
        QVERIFY(QTest::qWaitForWindowExposed(&slider));
        QSignalSpy stop(&slider, &QPlaybackSlider::stopValueChanged);
        QSignalSpy dragged(&slider, &QPlaybackSlider::moveSliderStop);
        QSignalSpy released(&slider, &QPlaybackSlider::stopSliderReleased);
        QSignalSpy start(&slider, &QPlaybackSlider::startValueChanged);
        const int strip = slider.height() - 3;
        const QPoint farRight(slider.width() - 1, strip);
        QTest::mousePress(&slider, Qt::LeftButton, {}, farRight); // the stop is nearer, already there
        QTest::mouseMove(&slider, QPoint(slider.width() / 2, strip));
        QVERIFY(slider.stopValue() > 30 && slider.stopValue() < 70);
        QTest::mouseMove(&slider, QPoint(0, strip));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(0, strip));
        QCOMPARE(slider.stopValue(), 0);
        QCOMPARE(dragged.size(), 2);
        QCOMPARE(stop.last().at(0).toInt(), 0);
        QCOMPARE(released.size(), 1);
        // Both on frame 0: a press to the right takes the stop back out.
        QTest::mouseClick(&slider, Qt::LeftButton, {}, farRight);
        QCOMPARE(slider.stopValue(), 100);
        QCOMPARE(slider.startValue(), 0);
        QCOMPARE(dragged.size(), 2); // a jump, not a drag
        slider.RefreshSliderStartPosition(150);
        slider.RefreshSliderStopPosition(20);
        QCOMPARE(slider.startValue(), 100);
        QCOMPARE(slider.stopValue(), 100);
        QCOMPARE(start.size(), 0); // the recorder's values are not the user's
        slider.setFrames(50);
        QCOMPARE(slider.startValue(), 0);
        QCOMPARE(slider.stopValue(), 49);
    }

    void touchPadKeys()
    {
        TouchPad pad("Fps", 500, 20, 1740, 1.0);
        for (const char* key : {"Btn_1", "Btn_2", "Btn_3"})
            named<QPushButton>(&pad, key)->click();
        QCOMPARE(pad.shownText(), QString("123"));
        named<QPushButton>(&pad, "Btn_PT")->click();
        QCOMPARE(pad.shownText(), QString("123."));
        named<QPushButton>(&pad, "Btn_C")->click();
        named<QPushButton>(&pad, "Btn_PM")->click();
        QCOMPARE(pad.shownText(), QString("-0"));
        named<QPushButton>(&pad, "Btn_7")->click();
        named<QPushButton>(&pad, "Btn_D")->click();
        QCOMPARE(pad.value(), 0);
        named<QPushButton>(&pad, "Btn_OK")->click();
        QCOMPARE(pad.result(), int(QDialog::Accepted));
    }

    void optionsDialogSteps()
    {
        NetworkAdapter eth{"eth0", QHostAddress("10.0.0.5"), QHostAddress("255.0.0.0")};
        ConfigDlg dialog(0, 0, "eth0", {eth}, 1.0);
        QCOMPARE(dialog.rowText(GeneralOptions::AdapterRow).contains("eth0 [10.0.0.5]"), true);
        const QList<QPushButton*> pluses = [&] {
            QList<QPushButton*> out;
            for (QPushButton* b : dialog.findChildren<QPushButton*>())
                if (b->text() == "+")
                    out.append(b);
            return out;
        }();
        QCOMPARE(pluses.size(), 3);
        for (QPushButton* plus : pluses)
            plus->click();
        QCOMPARE(dialog.adapterName(), QString("*ALL*"));
        QCOMPARE(dialog.link(), 1);
        QCOMPARE(dialog.operatorMode(), 1);
    }
};

QTEST_MAIN(TestControlWidgets)
#include "tst_control_widgets.moc"
