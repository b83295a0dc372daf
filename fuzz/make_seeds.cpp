// Writes the seed corpus of the fuzz targets from the real encoders and writers: valid packets,
// packet sequences, files and command lines. Usage: fuzz_seeds <corpus folder>.
#include "McsText.h"
#include "SampleClips.h"
#include "SampleRecorders.h"

#include "common/packets/ColorMatrixTable.h"
#include "common/packets/OutputStatePacket.h"
#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"
#include "common/packets/SerialFrame.h"
#include "common/packets/StatusPacket.h"
#include "common/packets/TransferPackets.h"
#include "hashlist/MediaHashList.h"
#include "render/colour/ColorMatrixSet.h"
#include "render/state/RenderState.h"
#include "storage/ClipDescription.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstdio>

namespace {

QString root;

void seed(const char* target, const char* name, const QByteArray& content)
{
    const QString folder = root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
}

// The pieces of a sequence as the harnesses cut them: 16-bit length, bytes.
QByteArray sequence(const QList<QByteArray>& pieces, const QByteArray& controlBytes = {})
{
    QByteArray out;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i < controlBytes.size())
            out.append(controlBytes[i]);
        char length[2];
        qToLittleEndian(quint16(pieces[i].size()), length);
        out.append(length, 2).append(pieces[i]);
    }
    return out;
}

QByteArray parameterReply(quint8 code, const QByteArray& payload)
{
    ParameterPacket packet;
    packet.code = code;
    packet.form = ParameterPacket::PayloadFollows;
    packet.operation = ParameterPacket::Reply;
    packet.word = quint32(payload.size());
    packet.payload = payload;
    return packet.encode();
}

ColorMatrixTable matrixTable()
{
    ColorMatrixTable table;
    table.value = 512;
    for (const qint32 kelvin : {3200, 5600}) {
        ColorMatrixRecord record;
        record.temperature = kelvin;
        record.matrix = {1.5f, -0.3f, -0.2f, -0.25f, 1.4f, -0.15f, 0.0f, -0.5f, 1.5f};
        table.records.append(record);
    }
    return table;
}

QByteArray colourMatrixAnswer()
{
    return parameterReply(ParameterCode::ColourMatrices, matrixTable().encode());
}

QByteArray statusPacket()
{
    StatusPacket status;
    status.playbackPosition = 12;
    status.clipFrames = 400;
    status.diskCapacity = 1000000;
    status.diskFree = 600000;
    status.genlockFormat = 0x45;
    return status.encode();
}

QByteArray outputState()
{
    OutputStatePacket state;
    for (int i = 0; i < OutputStatePacket::ValueCount; ++i)
        state.values[size_t(i)] = qint16(i * 37 - 300);
    return state.encode();
}

void packetSeeds()
{
    const QByteArray info = recorderInfo(1234, "10.77.41.2").encode();
    seed("recorder_info", "ten_gigabit", info);
    seed("recorder_info", "one_gigabit", recorderInfo(99, "192.168.1.20", 0x20).encode());

    const QByteArray whole = clipListPacket(1, {sampleClip(1), sampleClip(2, 5000), sampleClip(7, 1, 640, 480)});
    const QByteArray first = clipListPacket(2, {sampleClip(1), sampleClip(2)}, 3, 1);
    const QByteArray second = clipListPacket(2, {sampleClip(3)}, 3, 1);
    seed("clip_list", "one_packet", sequence({whole}));
    seed("clip_list", "two_packets_then_repeat", sequence({first, second, second, clipListPacket(3, {})}));

    seed("output_state", "values", outputState());
    seed("status_packet", "playing", statusPacket());

    seed("parameter_reply", "colour_matrices", colourMatrixAnswer());
    seed("parameter_reply", "genlock", parameterReply(ParameterCode::Genlock, QByteArray::fromHex("4500000000000000")));
    seed("parameter_reply", "frame_rate",
         parameterReply(ParameterCode::FrameRate, QByteArray::fromHex("0000000000409f40")));
    seed("colour_matrix_answer", "two_records", matrixTable().encode());

    seed("recorder_datagrams", "list_state_matrices", sequence({whole, outputState(), colourMatrixAnswer()}));
    seed("recorder_datagrams", "split_list", sequence({first, second, colourMatrixAnswer(), first}));

    QByteArray basicInfo(120, '\0');
    basicInfo.replace(56, 8, "Stage 4\0");
    seed("control_replies", "status_and_replies",
         sequence({statusPacket(), info, outputState(), parameterReply(ParameterCode::BasicInfo, basicInfo),
                   parameterReply(ParameterCode::Genlock, QByteArray::fromHex("4500000000000000")),
                   parameterReply(ParameterCode::FirstAlignment, QByteArray::fromHex("f6ff")),
                   parameterReply(ParameterCode::FirmwareStatus, QByteArray(32, '\x01'))}));

    const QByteArray frame = kvx::SerialFrame::encode(statusPacket()).value_or(QByteArray());
    seed("serial_frames", "whole_frame", sequence({frame}));
    seed("serial_frames", "split_after_garbage",
         sequence({QByteArray("\xff\xf0\x00", 3) + frame.left(7), frame.mid(7), frame}));
}

void transferSeeds()
{
    kvx::TxDataRequest request;
    request.chunkId = 0x1234;
    request.payloadSize = 8952;
    request.packetCount = 12;
    request.paddedSize = 12 * 8952;
    request.clipNumber = 3;
    seed("transfer_packets", "data_request", request.encode());
    seed("transfer_packets", "status_query", request.encodeStatusQuery());
    kvx::TxMissingList missing;
    missing.request = request;
    missing.last = true;
    missing.indexes = {1, 5, 11};
    seed("transfer_packets", "missing_list", missing.encode());
    kvx::TxEvent event;
    event.type = kvx::TxEvent::ChunkSent;
    event.chunkId = 0x1234;
    seed("transfer_packets", "chunk_sent", event.encode());
    kvx::TxStatus status;
    status.code = 3;
    status.chunkId = 0x1234;
    seed("transfer_packets", "status", status.encode());
    QByteArray data(kvx::TxPacketHead::Size + 16, '\x5a');
    kvx::TxPacketHead{4, 0x1234}.encodeInto(reinterpret_cast<uchar*>(data.data()));
    seed("transfer_packets", "data_packet", data);

    // A 100-byte request in packets of 10 bytes, all ten sent (control 9: step, then a data
    // packet for slot 0), then the chunk-sent event; and one with packets lost and resent.
    const QByteArray byteModeHead = QByteArray::fromHex("0109630000");
    QList<QByteArray> packets;
    for (char index = 0; index < 10; ++index)
        packets.append(QByteArray(1, index) + QByteArray(1, '\0') + QByteArray(10, char('a' + index)));
    packets.append(QByteArray(1, '\x01'));
    seed("transfer_engine", "all_packets", byteModeHead + sequence(packets, QByteArray(10, '\x09') + "\x0a"));
    QList<QByteArray> lossy = {packets[0], packets[9], packets[3], packets[5], QByteArray(1, '\x03')};
    seed("transfer_engine", "lost_and_status", byteModeHead + sequence(lossy, "\x09\x01\x0b\x01\x0b"));
    // Frame mode: 4 x 4 byte frames 10 to 13 into 64 bytes, payload 16.
    QList<QByteArray> frames;
    for (char index = 0; index < 4; ++index)
        frames.append(QByteArray(1, index) + QByteArray(1, '\0') + QByteArray(16, char('0' + index)));
    seed("transfer_engine", "frames",
         QByteArray::fromHex("000f3f00000303") + "\x0a\x03" + sequence(frames, "\x09\x01\x01\x01"));
}

void fileSeeds()
{
    ClipDescription description;
    description.info = sampleClip(5, 300);
    description.presentFrames = QList<ClipSegment>{{0, 99}, {150, 299}};
    description.calibrationStored = true;
    QBuffer clipXml;
    clipXml.open(QIODevice::WriteOnly);
    clipxml::write(&clipXml, description);
    seed("clip_xml", "partial_download", clipXml.data());

    RenderState state;
    QBuffer renderInfo;
    renderInfo.open(QIODevice::WriteOnly);
    state.saveStateXml(&renderInfo);
    seed("render_info_xml", "defaults", renderInfo.data());

    ColorMatrixSet set;
    set.records = matrixTable().records;
    const QString matrices = QDir::temp().filePath(QStringLiteral("fuzz_seed_matrices.xml"));
    set.save(matrices);
    QFile matricesFile(matrices);
    matricesFile.open(QIODevice::ReadOnly);
    seed("colour_matrices_xml", "two_matrices", matricesFile.readAll());
    matricesFile.remove();

    seed("paint_options_xml", "colour_position",
         "<?xml version=\"1.0\"?>\n<PaintOptions>\n <ColorMat>512</ColorMat>\n <Gamma>1</Gamma>\n</PaintOptions>\n");

    QByteArray calibration("\x02\x01", 2); // 3 x 2 pixels
    for (int i = 0; i < 3 * 2 * 4; ++i)
        calibration.append(char(i * 40)).append(char(i % 3 - 1));
    seed("calibration", "three_by_two", calibration);

    MediaHashList hashList;
    hashList.creationDate = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    hashList.creator = {QStringLiteral("operator"), QStringLiteral("station"), QStringLiteral("VLMVelClipsMgr 0.1"),
                        hashList.creationDate, hashList.creationDate.addSecs(90)};
    hashList.entries = {
        {QStringLiteral("clip.xml"), 523, hashList.creationDate, 0x0123456789abcdefull, hashList.creationDate},
        {QStringLiteral("frames/data.bin"), 1 << 30, hashList.creationDate, std::nullopt, hashList.creationDate}};
    QBuffer mhl;
    mhl.open(QIODevice::WriteOnly);
    hashList.write(&mhl);
    seed("media_hash_list", "two_files", mhl.data());

    QByteArray firmware = McsText::dataRecords(0x10000, QByteArray(600, '\x3c')) + McsText::endRecord();
    seed("mcs_image", "one_segment", firmware);
}

// Arguments as the harnesses take them: separated by zero bytes.
QByteArray arguments(const QList<QByteArray>& list)
{
    return list.join('\0');
}

void commandLineSeeds()
{
    seed("clipsmgr_command_line", "export",
         arguments({"-s", "/data/clip_0005", "-o", "-", "--res", "1920x1080", "--lo", "10", "--up", "200"}));
    seed("clipsmgr_command_line", "developer", arguments({"-d", "enable", "--pass", "secret"}));
    seed("control_command_line", "developer", arguments({"--developer", "enable"}));
    seed("control_command_line", "short", arguments({"-d=enable"}));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    root = QString::fromLocal8Bit(argv[1]);
    packetSeeds();
    transferSeeds();
    fileSeeds();
    commandLineSeeds();
    return 0;
}
