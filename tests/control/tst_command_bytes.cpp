// What the control program puts on the wire: parameter packets, ASCII commands and the
// playback rules, byte for byte.
#include "CapturingLink.h"

#include "common/packets/FirmwarePackets.h"
#include "control/commands/CommandText.h"
#include "control/commands/PlaybackControl.h"
#include "control/manager/QMultiRecorderMgr.h"
#include "control/manager/RecorderActions.h"

#include <QtTest>

namespace {

// A manager with test links at positions 0, 1 and 2; the first is current.
struct Rig {
    QMultiRecorderMgr manager;
    RecorderActions actions{manager};
    QList<CapturingLink*> links;

    explicit Rig(QList<bool> connected = {true})
    {
        for (bool c : connected) {
            auto link = std::make_unique<CapturingLink>(c);
            link->setIndex(int(links.size()));
            links.append(link.get());
            manager.addOpenedLink(std::move(link));
        }
    }
    QList<QByteArray> sent(int link = 0) const { return links[link]->sent; }
    void clear()
    {
        for (CapturingLink* l : links)
            l->sent.clear();
    }
};

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TestCommandBytes : public QObject {
    Q_OBJECT
private slots:
    void parameterPacketLayouts()
    {
        CapturingLink link;
        QVERIFY(link.sendPaintValue(1, 2, 77));
        QVERIFY(link.sendTypedCommand(10, 500));
        QVERIFY(link.sendTypedCommand(5, 300));
        QVERIFY(link.requestValue(7));
        QVERIFY(link.sendPaintValue(8, 3, -2)); // misc value 3 is code 0, a real parameter
        QCOMPARE(link.sent,
                 (QList<QByteArray>{hex("0400cdab0b0000004d000000"),
                                    hex("0400cdab0a01000008000000") + hex("0000000000407f40"),
                                    hex("0400cdab05010000010000002c"),
                                    hex("0400cdab070102000000"
                                        "0000"),
                                    hex("0400cdab00000000feffffff")}));
    }

    // An unmapped pair would become code 0 (misc value 3): nothing may go out instead.
    void unmappedPaintValuesSendNothing()
    {
        CapturingLink link;
        for (const auto& [group, channel] : {std::pair{1, 3}, {3, 3}, {10, 3}, {12, 0}, {-1, 0}, {2, 4}})
            QVERIFY(!link.sendPaintValue(group, channel, 5));
        QVERIFY(link.sent.isEmpty());
        QVERIFY(link.sendPaintValue(0, 9, 1)); // one code for every channel
        QCOMPARE(link.sent.last().at(4), char(20));
    }

    void typedPayloadsFollowTheirType()
    {
        CapturingLink link;
        BasicInfoBlock block;
        block.serialNumber = 2180002;
        block.setName(QStringLiteral("Stage"));
        QVERIFY(link.sendTypedCommand(11, 0, block.encode()));
        // Kept unchanged, sent marked as the program's copy.
        QCOMPARE(*link.records().basicInfo, block);
        const QByteArray sent = link.sent.last();
        QCOMPARE(sent.size(), 12 + 120);
        QCOMPARE(sent.mid(12 + 52, 4), hex("05010000"));

        const QByteArray record = kvx::FirmwareProgramCommand{3, 0x100, 4, 2}.encode("abcd");
        QVERIFY(link.sendTypedCommand(13, 0, record + "extra"));
        QCOMPARE(link.sent.last(), hex("0400cdab0d01000011000000") + record);
        QVERIFY(link.sendTypedCommand(12, 256, "ignored"));
        QCOMPARE(link.sent.last(), hex("0400cdab0c010000080000000001000000000000"));

        const qsizetype before = link.sent.size();
        QVERIFY(!link.sendTypedCommand(11, 0, QByteArray(119, 'x')));
        QVERIFY(!link.sendTypedCommand(13, 0, QByteArray(5, 'x')));
        QVERIFY(!link.sendTypedCommand(256, 1));
        QCOMPARE(link.sent.size(), before);
    }

    void asciiCommandForms()
    {
        QCOMPARE(RecorderCommand::shutter(1234.5), QStringLiteral("#st1234.50$"));
        QCOMPARE(RecorderCommand::shutter(1000), QStringLiteral("#st1000.00$"));
        QCOMPARE(RecorderCommand::rate(0.1), QStringLiteral("#sr0.10000$"));
        QCOMPARE(RecorderCommand::rate(-0.2), QStringLiteral("#sr-0.20000$"));
        QCOMPARE(RecorderCommand::greeting("10.77.41.1", 9003), QStringLiteral("#sh 10.77.41.1 9003$$"));
        QCOMPARE(RecorderCommand::seek(50, 101), std::optional<QString>("#sp50$"));
        QCOMPARE(RecorderCommand::seek(100, 101), std::optional<QString>("#sp100$"));
        QCOMPARE(RecorderCommand::seek(0, 1), std::nullopt); // no divisor
        QCOMPARE(RecorderCommand::seek(0, 0), std::nullopt);
    }

    void playbackRateRules()
    {
        PlaybackControl p;
        QCOMPARE(p.event(PlaybackControl::FastForward).commands, QStringList{"#sr0.10000$"});
        QCOMPARE(p.event(PlaybackControl::Rewind).commands, QStringList{"#sr-0.10000$"});
        QCOMPARE(p.event(PlaybackControl::Pause).commands, QStringList{"#su$"});
        QVERIFY(p.event(PlaybackControl::Pause).commands.isEmpty()); // not playing

        p.setSpeed(2.5);
        QVERIFY(p.event(PlaybackControl::DoubleSpeed).commands.isEmpty()); // stopped: nothing
        QCOMPARE(p.speed(), 3.0);
        p.setSpeed(0.02);
        QCOMPARE(p.event(PlaybackControl::HalveSpeed).commands, QStringList{"#su$"});
        QCOMPARE(p.speed(), 0.0);
        const PlaybackControl::Action up = p.event(PlaybackControl::DoubleSpeed);
        QVERIFY(up.commands.isEmpty() && up.speedShown);
        QCOMPARE(p.speed(), 0.02);

        p.setSpeed(0.1);
        p.event(PlaybackControl::FastForward);
        QCOMPARE(p.event(PlaybackControl::DoubleSpeed).commands, QStringList{"#sr0.20000$"});
        // The slider at 0 while playing sends a rate of zero, then playback counts as stopped.
        QCOMPARE(p.speedSlider(0), QStringList{"#sr0.00000$"});
        QCOMPARE(p.state(), int(PlaybackControl::Stopped));
        // Playing again from a speed of 0 starts at the default.
        QCOMPARE(p.event(PlaybackControl::Rewind).commands, QStringList{"#sr-0.10000$"});
        QVERIFY(p.event(PlaybackControl::DirectLoop).toggleLoop);
    }

    // Current goes only to a connected current recorder, current-unchecked to it anyway,
    // all to every connected one.
    void targetsOfTheActions()
    {
        Rig rig({false, true, true});
        rig.actions.swapSdiOutputs(); // current: not connected, dropped
        rig.actions.selectClip(3);    // needs a connected current
        rig.actions.paintParameter(1, 0, 5);
        rig.actions.cameraRecorderParameter(RecorderActions::Shutter, 1234.5);
        QCOMPARE(rig.sent(0),
                 (QList<QByteArray>{hex("0400cdab090000000500000"
                                        "0"),
                                    "#st1234.50$"}));
        QVERIFY(rig.sent(1).isEmpty() && rig.sent(2).isEmpty());

        rig.links[0]->setConnected(true);
        rig.links[2]->setConnected(false);
        rig.clear();
        rig.actions.selectClip(3);
        rig.actions.playbackEvent(PlaybackControl::FastForward);
        rig.actions.playbackEvent(PlaybackControl::DirectLoop);
        QCOMPARE(rig.sent(1),
                 (QList<QByteArray>{"#sl3$", "#sr0.10000$", hex("0400cdab0c010000080000000000010000000000")}));
        QCOMPARE(rig.sent(0), rig.sent(1));
        QVERIFY(rig.sent(2).isEmpty());
    }

    void cameraParametersBecomeTheirPackets()
    {
        Rig rig;
        StatusPacket status;
        status.frameRate = 1000;
        status.shutterTime = 990;
        rig.links[0]->records().status = status;

        // 600 fps leaves 1664 us: no room problem. 2000 fps leaves 498 us: the shutter comes down.
        QVERIFY(!rig.actions.cameraRecorderParameter(RecorderActions::FrameRate, 600.7).lowerShutterTo);
        QCOMPARE(rig.actions.cameraRecorderParameter(RecorderActions::FrameRate, 2000).lowerShutterTo,
                 std::optional<int>(498));
        rig.actions.cameraRecorderParameter(RecorderActions::SdiSelection, 0);
        rig.actions.cameraRecorderParameter(RecorderActions::SdiSelection, 2);
        QVERIFY(rig.actions.cameraRecorderParameter(RecorderActions::LoadCalibration, 0).calibrationLoading);
        rig.actions.selectRoi(100, 200);
        QCOMPARE(rig.sent(),
                 (QList<QByteArray>{
                     hex("0400cdab0a010000080000000000000000c08240"), // 600.0
                     hex("0400cdab05010000010000000"
                         "5"),
                     hex("0400cdab0a010000080000000000000000409f40"),
                     hex("0400cdab0501000001000000"
                         "10"),
                     hex("0400cdab0401000001000000"
                         "00"),
                     hex("0400cdab0501000001000000"
                         "08"), // the status's 1000 fps / 120
                     hex("0400cdab0401000001000000"
                         "02"),
                     hex("0400cdab0c010000080000000080000000000000"),
                     hex("0400cdab0901000004000000"
                         "6400c800"),
                 }));
    }

    // Seeking needs two frames; an empty list selects nothing.
    void clipCommandsWithoutDivisorOrClips()
    {
        Rig rig;
        rig.actions.seek(0, 1);
        rig.actions.seek(0, 0);
        QVERIFY(rig.sent().isEmpty());
        rig.actions.seek(50, 101);
        QCOMPARE(rig.sent(), QList<QByteArray>{"#sp50$"});
        rig.clear();
        QCOMPARE(rig.actions.clipListArrived(), std::nullopt);
        QVERIFY(rig.sent().isEmpty()); // never "#sl-1$"
    }

    // Back to the recorder only when the user changed something, and only over a block the
    // recorder sent: saving over one that never came would write zeros into it.
    void informationBlockGoesBackOnlyWhenChanged()
    {
        Rig rig;
        BasicInfoBlock block;
        block.serialNumber = 2180002;
        QVERIFY(!rig.actions.sendBasicInfo(block));
        rig.links[0]->records().basicInfo = block;
        QVERIFY(!rig.actions.sendBasicInfo(block));
        QVERIFY(rig.sent().isEmpty());
        block.setName(QStringLiteral("Stage"));
        QVERIFY(rig.actions.sendBasicInfo(block));
        QCOMPARE(rig.sent().size(), 1);
        QCOMPARE(rig.sent().first().mid(12), block.encode().replace(52, 2, hex("0501")));
        QCOMPARE(*rig.links[0]->records().basicInfo, block);
    }

    void currentIndexStartsOverWhenRecordersAreOpenedAgain()
    {
        QMultiRecorderMgr manager;
        for (int i = 0; i < 3; ++i)
            manager.addOpenedLink(std::make_unique<CapturingLink>());
        manager.selectNext();
        manager.selectNext();
        QCOMPARE(manager.currentIndex(), 2);
        manager.selectNext();
        QCOMPARE(manager.currentIndex(), 0); // wraps
        manager.selectPrevious();
        QCOMPARE(manager.currentIndex(), 2);
        // Opening (here: nothing discovered, refused) always starts at the first.
        QVERIFY(!manager.openRecorders({0}, false));
        QCOMPARE(manager.count(), 0);
        QCOMPARE(manager.currentIndex(), 0);
        QVERIFY(!manager.link());
    }
};

QTEST_GUILESS_MAIN(TestCommandBytes)
#include "tst_command_bytes.moc"
