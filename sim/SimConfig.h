#pragma once

#include "sim/ClipContent.h"
#include "sim/transfer/TransferFaults.h"

#include <QHostAddress>
#include <QList>
#include <QString>

#include <optional>

struct SimLinkConfig {
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    int linkCode = 1;             // 0 the 1G link, 1 a 10G link, other values for tests
    bool carriesTransfers = true; // bit 0 of linkFlags
    quint16 commandPort = 9000;
    quint16 transferPort = 4353;
};

struct SimRecorderConfig {
    quint64 recorderId = 2180002;
    quint32 cameraSerial = 2901180001;
    qint16 cameraModel = 0;
    quint32 versionDate = 0x20171020;
    // Genlock configuration (code 7): bit 0 fractional, bits 1-4 resolution, bits 5-7
    // frequency; 1080p at 60 Hz.
    quint64 genlockWord = 0xB0;
    QList<SimLinkConfig> links;
    QList<SimClip> clips;
};

// Everything a simulator run is made of: its recorders with their links and clips, the ports
// and timings, the transfer faults and pacing, the log and the run time.
struct SimConfig {
    QList<SimRecorderConfig> recorders;
    quint16 discoveryPort = 45611;
    // Where discovery (and IP change broadcasts) are heard. Any address hears subnet
    // broadcasts; a loopback address keeps an in-process test off every real network.
    QHostAddress listenAddress = QHostAddress(QHostAddress::AnyIPv4);
    int clipListIntervalMs = 2000;
    int statusIntervalMs = 100;
    int countersIntervalMs = 0; // transfer counters logged this often; 0: never
    // Info packet and output state again every this many status intervals; 0: only on a greeting
    // and on changes, which is all a control program may rely on.
    int recordRepeatPeriods = 0;
    int clipsPerPacket = 20;
    double rateGbps = 10; // transfer pacing; 0 sends as fast as it can
    // The word of the colour-matrix answer; none: the payload length, as recorders send it.
    std::optional<quint32> matrixAnswerWord;
    TransferFaults faults;
    QString logPath;            // empty: no log; "-": standard output
    double durationSeconds = 0; // 0: until SIGINT/SIGTERM

    // Firmware programming faults, handed to the control side.
    int firmwareDropPercent = 0;
    qint64 firmwareCorruptOffset = -1; // -1: none
    bool firmwareNeverWrites = false;
    int firmwareWriteMs = 3000;

    // One recorder with one 10G link on 127.0.0.1 that carries transfers, and a few clips.
    static SimConfig defaults();
    // A clip as the simulator lists it: stored rows of width bytes, numbered and identified.
    static SimClip makeClip(quint16 number, quint16 width, quint16 height, quint64 frames, float fps,
                            quint32 cameraSerial, quint32 explicitFrameBytes = 0);

    // A dotted IPv4 address of four numbers; shorthand forms like "10.1" are refused, since
    // they name an address other than the one the user probably meant.
    static std::optional<QHostAddress> parseIPv4(const QString& text);

    // Reads a JSON configuration (format in the program's --help). Keys that are missing keep
    // their defaults. On failure error says what is wrong and config is unchanged.
    static bool loadJson(const QByteArray& json, SimConfig& config, QString* error);
};
