// What the user enters on the touch pad, in the information and options dialogs and the
// clips bar, checked without their widgets.
#include "control/app/DisplayTexts.h"
#include "control/dialogs/AddressText.h"
#include "control/dialogs/BasicInfoEditor.h"
#include "control/dialogs/GeneralOptions.h"
#include "control/dialogs/TouchPadEntry.h"
#include "control/playback/ClipPaging.h"

#include <QtTest>

class TestPanelEntries : public QObject {
    Q_OBJECT
private slots:
    void clipPagesOfTwelve()
    {
        ClipPaging paging;
        paging.setClips(30, -1);
        QCOMPARE(paging.pageStart(), 0);
        QVERIFY(!paging.left());
        QVERIFY(paging.right());
        QCOMPARE(paging.select(0), 12);
        QVERIFY(paging.isButtonChecked(0));
        QVERIFY(paging.right());
        QCOMPARE(paging.pageStart(), 24);
        QCOMPARE(paging.buttonText(0), QString("Clip 25"));
        QCOMPARE(paging.buttonText(5), QString("Clip 30"));
        QVERIFY(paging.isButtonShown(5));
        QVERIFY(!paging.isButtonShown(6));
        QCOMPARE(paging.select(6), -1);
        QVERIFY(!paging.right());
        QCOMPARE(paging.pageStart(), 24);
        QVERIFY(!paging.isButtonChecked(0));
        // A new list shows the page of its selected clip; a shorter one never a page past its end.
        paging.setClips(30, 13);
        QCOMPARE(paging.pageStart(), 12);
        paging.right();
        paging.setClips(5, -1);
        QCOMPARE(paging.pageStart(), 0);
    }

    void clipInfoNamesAnotherCamera()
    {
        kvx::ClipInfoPacket::clipInfo clip;
        clip.cameraSerial = 2901180001;
        clip.width = 1920;
        clip.height = 1080;
        clip.fps = 240;
        clip.totalFrames = 360;
        const QString same = DisplayTexts::clipInfo(clip, 2901180001);
        QVERIFY(same.contains("<font color=white><b>Clip info</b>"));
        QVERIFY(same.contains("Camera 29-0118-0001 - 1920 x 1080 @ 240 fps<br/>Images: 360 - Time: 1.5 s"));
        QVERIFY(DisplayTexts::clipInfo(clip, 0).contains("Clip info")); // the recorder's camera unknown
        QVERIFY(DisplayTexts::clipInfo(clip, 2901180002)
                    .contains("<font color=red><b>** Clip acquired with a different camera **</b>"));
        clip.fps = 0; // no rate: no time, and no division by it
        QVERIFY(DisplayTexts::clipInfo(clip, 0).contains("Time: - s"));
    }

    void touchPadEntryRules()
    {
        TouchPadEntry pad(500);
        for (int d : {1, 2, 3})
            pad.digit(d);
        QCOMPARE(pad.value(), 123);
        pad.clearAll();
        pad.digit(7);
        pad.deleteLast();
        QCOMPARE(pad.text(), QString("0"));
        pad.changeSign(); // on 0: only pending
        QCOMPARE(pad.text(), QString("0"));
        pad.digit(4);
        QCOMPARE(pad.value(), -4);
        pad.changeSign();
        QCOMPARE(pad.value(), 4);
        for (int i = 0; i < 12; ++i)
            pad.digit(9);
        QCOMPARE(pad.text(), QString("499999999"));
        pad.changeSign();
        pad.digit(1);
        QCOMPARE(pad.value(), -499999999);
        pad.deleteLast();
        QCOMPARE(pad.text(), QString("-49999999"));
    }

    // The caller reads a whole number: the fraction goes, toward zero.
    void touchPadPointKeepsAWholeNumber()
    {
        TouchPadEntry pad(500);
        pad.point(); // first key: starts over
        pad.point(); // once only
        pad.digit(5);
        QCOMPARE(pad.text(), QString("0.5"));
        QCOMPARE(pad.value(), 0);
        pad.clearAll();
        pad.changeSign();
        pad.point(); // the pending sign goes into the text
        pad.digit(7);
        QCOMPARE(pad.text(), QString("-0.7"));
        pad.deleteLast();
        pad.deleteLast(); // "-0" is the pending sign over "0" again
        QCOMPARE(pad.text(), QString("0"));
        QVERIFY(pad.isNegativePending());
        pad.digit(3);
        QCOMPARE(pad.value(), -3);
        for (int d : {1, 2, 3, 4, 5, 6, 7})
            pad.digit(d);
        pad.point();
        pad.digit(9);
        QCOMPARE(pad.text(), QString("-31234567.")); // the point counts toward the length
        QCOMPARE(pad.value(), -31234567);
    }

    void addressesAreRefusedUnlessWhole()
    {
        QCOMPARE(*AddressText::parse(" 10.77.41.9 "), 0x0A4D2909u);
        for (const char* bad : {"0.0.0.0", "10.77.41", "10.77.41.256", "10.77.41.x", "", "::1"})
            QVERIFY2(!AddressText::parse(QString::fromLatin1(bad)), bad);
    }

    void infoEditsKeepOldValuesOnBadText()
    {
        BasicInfoBlock block;
        block.serialNumber = 2180002;
        block.ip10G0 = {10, 77, 41, 2};
        block.mac1G = {0, 0x11, 0x22, 0x33, 0x44, 0x55};
        BasicInfoEditor user(block, false);
        QVERIFY(!user.isEditable(BasicInfoEditor::Serial));
        QVERIFY(!user.edit(BasicInfoEditor::Mac1G, "00:11:22:33:44:66"));
        QVERIFY(!user.edit(BasicInfoEditor::Ip10G1, "10.0.0.1"));
        QString reason;
        for (const char* bad : {"10.77.41.300", "0.0.0.0", "ten"}) {
            QVERIFY(!user.edit(BasicInfoEditor::Ip10G0, bad, &reason));
            QVERIFY(!reason.isEmpty());
        }
        QCOMPARE(user.text(BasicInfoEditor::Ip10G0), QString("10.77.41.2"));
        QVERIFY(!user.isEdited());
        QVERIFY(user.edit(BasicInfoEditor::Ip10G0, "10.77.41.9"));
        QCOMPARE(user.block().ip10G0, (std::array<quint8, 4>{10, 77, 41, 9}));

        BasicInfoEditor developer(block, true);
        for (const char* bad : {"00:11:22:33:44", "00:11:22:33:44:5G", "00:11-22:33:44:55", "0011.2233.4455"})
            QVERIFY2(!developer.edit(BasicInfoEditor::Mac10G1, bad), bad);
        QVERIFY(developer.edit(BasicInfoEditor::Mac10G1, "0a-1B-2c-3D-4e-5F"));
        QCOMPARE(developer.block().mac10G1, (std::array<quint8, 6>{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
        QVERIFY(!developer.edit(BasicInfoEditor::Serial, "VLMV-12345-0001"));
        QVERIFY(!developer.edit(BasicInfoEditor::Serial, "VLMV-0218-00002"));
        QVERIFY(developer.edit(BasicInfoEditor::Serial, "VLMV-9999-9999"));
        QCOMPARE(developer.block().serialNumber, 99999999u);
        QCOMPARE(developer.block().encode().mid(4, 4), QByteArray(4, '\0')); // 32 bits, no more
    }

    void longNamesAreCutOnACharacterBoundary()
    {
        BasicInfoEditor editor(BasicInfoBlock{}, false);
        // 31 two-byte characters and one three-byte one: 65 bytes, cut to 62 whole ones.
        const QString name = QString(31, QChar(0x00E9)) + QChar(0x20AC);
        QVERIFY(editor.edit(BasicInfoEditor::Name, name));
        QCOMPARE(editor.block().nameLength, 62u);
        QCOMPARE(editor.block().name(), QString(31, QChar(0x00E9)));
        QCOMPARE(editor.block().nameBytes[62], quint8(0));
        QVERIFY(editor.edit(BasicInfoEditor::Name, QString(80, 'n')));
        QCOMPARE(editor.block().nameLength, 63u);
        QCOMPARE(editor.block().encode().size(), BasicInfoBlock::Size);
    }

    void generalOptions()
    {
        NetworkAdapter eth{"eth0", QHostAddress("10.0.0.5"), QHostAddress("255.0.0.0")};
        NetworkAdapter wifi{"wlan0", QHostAddress("192.168.1.7"), QHostAddress("255.255.255.0")};
        GeneralOptions options(0, 2, "wlan0", {eth, wifi});
        QCOMPARE(options.valueText(GeneralOptions::AdapterRow), QString("wlan0 [192.168.1.7]"));
        QCOMPARE(options.valueText(GeneralOptions::OperatorModeRow), QString("Playback only"));
        options.step(GeneralOptions::AdapterRow, +1);
        QCOMPARE(options.valueText(GeneralOptions::AdapterRow), QString("Broadcast"));
        QCOMPARE(options.adapterName(), QString("*ALL*"));
        options.step(GeneralOptions::OperatorModeRow, +1);
        options.step(GeneralOptions::LinkRow, -1);
        QCOMPARE(options.operatorMode(), 0);
        QCOMPARE(options.link(), 1);
        GeneralOptions none(0, 0, "eth0", {});
        QCOMPARE(none.valueText(GeneralOptions::AdapterRow), QString("N/A"));
        QVERIFY(!none.canStep(GeneralOptions::AdapterRow));
        QCOMPARE(none.adapterName(), QString("*ALL*"));
    }
};

QTEST_GUILESS_MAIN(TestPanelEntries)
#include "tst_panel_entries.moc"
