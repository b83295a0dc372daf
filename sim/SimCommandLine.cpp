#include "sim/SimCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <functional>

namespace {

const char* const Intro = R"(velmor-sim: a stand-in VLM Velmor recorder for tests and demos.

It answers discovery requests (UDP, --discovery-port) with one information packet per link,
sends its clip list to every clips manager that announces its port, answers the paint-options
and colour-matrix queries, serves clip frames and calibration blocks on each link's transfer
port, and plays the control-program side (status packets, ASCII commands, parameters, IP
change, firmware programming).

Recorders come either from --config FILE or from the recorder options below (one recorder;
--recorders N makes N of them, recorder k with ids, command and transfer ports raised by k).

JSON configuration (every key optional):
  { "discoveryPort": 45611, "listenAddress": "0.0.0.0", "clipListIntervalMs": 2000, "statusIntervalMs": 100,
    "clipsPerPacket": 20, "rateGbps": 10,
    "faults": { "seed": 1, "lossPercent": 0, "burstPercent": 0, "burstLength": 0,
                "duplicatePercent": 0, "reorderPercent": 0, "delayMs": 0,
                "dropControlPercent": 0, "errorAfterPackets": -1, "errorCode": 1,
                "stopAfterPackets": -1, "resumeAfterMs": 0 },
    "recorders": [ { "recorderId": "2180002", "cameraSerial": 2901180001, "cameraModel": 0,
                     "versionDate": "0x20171020",
                     "links": [ { "address": "127.0.0.1", "linkCode": 1, "transfers": true,
                                  "commandPort": 9000, "transferPort": 4353 } ],
                     "clips": [ { "width": 1920, "height": 1080, "frames": 240, "fps": 240,
                                  "number": 0, "uid": "0x1234", "frameBytes": 0,
                                  "lineBytes": 1920, "lineCount": 1080, "version": 0 } ] } ] }
  frameBytes > 0 sets flag 0x40 (explicit frame size). Command-line options override the file's
  global values.

Link SPEC: ADDRESS[,code=N][,transfers=0|1][,command=PORT][,transfer=PORT]
Clip SPEC: WIDTHxHEIGHT[,frames=N][,fps=F][,frameBytes=B][,number=K][,uid=U])";

struct Option {
    QCommandLineOption option;
    std::function<bool(const QString&, SimConfig&)> apply;
};

bool toDouble(const QString& text, double& out)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (ok)
        out = v;
    return ok;
}

template <typename Int>
bool toInt(const QString& text, Int& out)
{
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok, 0);
    if (!ok || v < qlonglong(std::numeric_limits<Int>::min()) || quint64(v) > quint64(std::numeric_limits<Int>::max()))
        return false;
    out = Int(v);
    return true;
}

bool toU64(const QString& text, quint64& out)
{
    bool ok = false;
    const quint64 v = text.toULongLong(&ok, 0);
    if (ok)
        out = v;
    return ok;
}

// "key=value" items after the first comma-separated field.
bool parseSpecItems(const QStringList& items, const std::function<bool(const QString&, const QString&)>& take)
{
    for (const QString& item : items) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq <= 0 || !take(item.left(eq).trimmed(), item.mid(eq + 1).trimmed()))
            return false;
    }
    return true;
}

bool parseLink(const QString& spec, const SimLinkConfig& base, SimLinkConfig& link)
{
    QStringList parts = spec.split(u',');
    link = base;
    const auto address = SimConfig::parseIPv4(parts.takeFirst());
    if (!address)
        return false;
    link.address = *address;
    return parseSpecItems(parts, [&](const QString& key, const QString& value) {
        int transfers = 0;
        if (key == u"code")
            return toInt(value, link.linkCode) && link.linkCode >= 0 && link.linkCode <= 7;
        if (key == u"transfers")
            return toInt(value, transfers) && ((link.carriesTransfers = transfers != 0), true);
        if (key == u"command")
            return toInt(value, link.commandPort);
        if (key == u"transfer")
            return toInt(value, link.transferPort);
        return false;
    });
}

bool parseClip(const QString& spec, quint16 number, quint32 serial, SimClip& clip)
{
    QStringList parts = spec.split(u',');
    const QStringList size = parts.takeFirst().trimmed().split(u'x');
    quint16 width = 0, height = 0;
    if (size.size() != 2 || !toInt(size[0], width) || !toInt(size[1], height) || !width || !height)
        return false;
    quint64 frames = 100, uid = 0;
    double fps = 60;
    quint32 frameBytes = 0;
    bool ok = parseSpecItems(parts, [&](const QString& key, const QString& value) {
        if (key == u"frames")
            return toU64(value, frames);
        if (key == u"fps")
            return toDouble(value, fps);
        if (key == u"frameBytes")
            return toInt(value, frameBytes);
        if (key == u"number")
            return toInt(value, number);
        if (key == u"uid")
            return toU64(value, uid);
        return false;
    });
    if (!ok)
        return false;
    clip = SimConfig::makeClip(number, width, height, frames, float(fps), serial, frameBytes);
    if (uid)
        clip.info.clipUid = uid;
    return true;
}

} // namespace

namespace SimCommandLine {

Outcome parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(Intro));
    const QCommandLineOption help = parser.addHelpOption();

    auto opt = [](const QString& name, const QString& text, const QString& value = {}) {
        return value.isEmpty() ? QCommandLineOption(name, text) : QCommandLineOption(name, text, value);
    };
    const QCommandLineOption configOpt = opt("config", "Read recorders and settings from a JSON FILE.", "FILE");
    const QCommandLineOption durationOpt =
        opt("duration", "Stop after SECONDS (default: run until SIGINT/SIGTERM).", "SECONDS");
    const QCommandLineOption logOpt =
        opt("log", "Write one JSON line per packet received and per event to FILE ('-': standard output).", "FILE");
    // Recorder options (only without --config).
    const QCommandLineOption recordersOpt = opt("recorders", "Number of recorders to play (default 1).", "N");
    const QCommandLineOption recorderIdOpt =
        opt("recorder-id", "recorderId of the (first) recorder (default 2180002).", "ID");
    const QCommandLineOption serialOpt = opt("camera-serial", "cameraSerial (default 2901180001).", "N");
    const QCommandLineOption modelOpt = opt("camera-model", "cameraModel: 0 HD, 1 UHD (default 0).", "N");
    const QCommandLineOption dateOpt =
        opt("version-date", "versionDate as BCD 0xYYYYMMDD (default 0x20171020).", "BCD");
    const QCommandLineOption linkOpt =
        opt("link", "A link of the recorder (repeatable; replaces the default link): see Link SPEC.", "SPEC");
    const QCommandLineOption addressOpt = opt("address", "Address of the default link (default 127.0.0.1).", "IPV4");
    const QCommandLineOption codeOpt = opt("link-code", "Link code of the default link: 0 1G, 1 10G (default 1).", "N");
    const QCommandLineOption commandPortOpt =
        opt("command-port", "Command port of links without their own (default 9000).", "PORT");
    const QCommandLineOption transferPortOpt =
        opt("transfer-port", "Transfer port of links without their own (default 4353).", "PORT");
    const QCommandLineOption clipOpt =
        opt("clip", "A clip of the recorder (repeatable; replaces the default clips): see Clip SPEC.", "SPEC");
    const QCommandLineOption clipCountOpt =
        opt("clips", "Number of default 1920x1080 clips of 240 frames instead of the three default clips.", "N");
    // Protocol timing.
    const QCommandLineOption discoveryOpt =
        opt("discovery-port", "UDP port on which discovery requests are answered (default 45611).", "PORT");
    const QCommandLineOption listenOpt = opt("listen-address",
                                             "Address on which discovery requests and IP change broadcasts are heard "
                                             "(default 0.0.0.0, which hears subnet broadcasts).",
                                             "IPV4");
    const QCommandLineOption listIntervalOpt =
        opt("clip-list-interval", "Resend the clip list every MS milliseconds (default 2000).", "MS");
    const QCommandLineOption statusIntervalOpt =
        opt("status-interval", "Send status packets to control programs every MS milliseconds (default 100).", "MS");
    const QCommandLineOption perPacketOpt =
        opt("clips-per-packet", "At most N clips per clip list packet (default 20).", "N");
    // Transfer pacing and faults.
    const QCommandLineOption rateOpt =
        opt("rate", "Pace transfers to GBPS Gbit/s; 0 sends unpaced (default 10).", "GBPS");
    const QCommandLineOption seedOpt = opt("seed", "Seed of every random fault decision (default 1).", "N");
    const QCommandLineOption lossOpt = opt("loss", "Drop PERCENT of the data packets at random.", "PERCENT");
    const QCommandLineOption burstOpt =
        opt("burst-percent", "Probability (percent) per data packet that a burst of losses starts.", "PERCENT");
    const QCommandLineOption burstLenOpt = opt("burst-length", "Data packets lost in one burst.", "N");
    const QCommandLineOption dupOpt = opt("duplicate", "Send PERCENT of the data packets twice.", "PERCENT");
    const QCommandLineOption reorderOpt =
        opt("reorder", "Hold back PERCENT of the data packets behind the next one.", "PERCENT");
    const QCommandLineOption delayOpt =
        opt("delay", "Answer every transfer request, query and missing list MS milliseconds late.", "MS");
    const QCommandLineOption dropControlOpt =
        opt("drop-control", "Drop PERCENT of the data-begins/chunk-sent events and status replies.", "PERCENT");
    const QCommandLineOption errorAfterOpt =
        opt("error-after", "After N data packets send an error event (type 6) and end that chunk.", "N");
    const QCommandLineOption errorCodeOpt = opt("error-code", "Code of that error event (default 1).", "CODE");
    const QCommandLineOption stopAfterOpt =
        opt("stop-after", "After N data packets the transfer server stops answering.", "N");
    const QCommandLineOption resumeAfterOpt =
        opt("resume-after", "...and answers again after MS milliseconds (default: never).", "MS");
    // Firmware programming faults.
    const QCommandLineOption fwDropOpt =
        opt("fw-drop", "Firmware programming: drop PERCENT of the data packets.", "PERCENT");
    const QCommandLineOption fwCorruptOpt = opt(
        "fw-corrupt", "Firmware programming: store the image byte at OFFSET with its lowest bit flipped.", "OFFSET");
    const QCommandLineOption fwNeverOpt =
        opt("fw-never-write", "Firmware programming: acknowledge the flash write but never start it.");
    const QCommandLineOption fwWriteMsOpt =
        opt("fw-write-ms", "Firmware programming: a flash write takes MS milliseconds (default 3000).", "MS");

    for (const auto* o :
         {&configOpt,         &durationOpt,  &logOpt,         &recordersOpt, &recorderIdOpt,  &serialOpt,
          &modelOpt,          &dateOpt,      &linkOpt,        &addressOpt,   &codeOpt,        &commandPortOpt,
          &transferPortOpt,   &clipOpt,      &clipCountOpt,   &discoveryOpt, &listenOpt,      &listIntervalOpt,
          &statusIntervalOpt, &perPacketOpt, &rateOpt,        &seedOpt,      &lossOpt,        &burstOpt,
          &burstLenOpt,       &dupOpt,       &reorderOpt,     &delayOpt,     &dropControlOpt, &errorAfterOpt,
          &errorCodeOpt,      &stopAfterOpt, &resumeAfterOpt, &fwDropOpt,    &fwCorruptOpt,   &fwNeverOpt,
          &fwWriteMsOpt})
        parser.addOption(*o);

    Outcome out;
    auto fail = [&](const QString& message) {
        out.message = message;
        out.exitCode = 2;
        return out;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        out.message = parser.helpText();
        return out;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));

    SimConfig config = SimConfig::defaults();
    const bool recorderOptions = parser.isSet(recordersOpt) || parser.isSet(recorderIdOpt) || parser.isSet(serialOpt)
        || parser.isSet(modelOpt) || parser.isSet(dateOpt) || parser.isSet(linkOpt) || parser.isSet(addressOpt)
        || parser.isSet(codeOpt) || parser.isSet(clipOpt) || parser.isSet(clipCountOpt) || parser.isSet(commandPortOpt)
        || parser.isSet(transferPortOpt);
    if (parser.isSet(configOpt)) {
        if (recorderOptions)
            return fail(QStringLiteral("give the recorders either with --config or with recorder options, not both"));
        QFile file(parser.value(configOpt));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        QString error;
        if (!SimConfig::loadJson(file.readAll(), config, &error))
            return fail(QStringLiteral("%1: %2").arg(file.fileName(), error));
    }

    // Each option's value goes through its parser; a bad value names the option.
    bool ok = true;
    QString badOption;
    auto take = [&](const QCommandLineOption& o, auto parse) {
        if (ok && parser.isSet(o) && !parse(parser.value(o))) {
            ok = false;
            badOption = o.names().first();
        }
    };
    take(durationOpt,
         [&](const QString& v) { return toDouble(v, config.durationSeconds) && config.durationSeconds >= 0; });
    if (parser.isSet(logOpt))
        config.logPath = parser.value(logOpt);
    take(discoveryOpt, [&](const QString& v) { return toInt(v, config.discoveryPort); });
    take(listenOpt, [&](const QString& v) {
        const auto a = SimConfig::parseIPv4(v);
        config.listenAddress = a.value_or(config.listenAddress);
        return a.has_value();
    });
    take(listIntervalOpt,
         [&](const QString& v) { return toInt(v, config.clipListIntervalMs) && config.clipListIntervalMs > 0; });
    take(statusIntervalOpt,
         [&](const QString& v) { return toInt(v, config.statusIntervalMs) && config.statusIntervalMs > 0; });
    take(perPacketOpt, [&](const QString& v) {
        return toInt(v, config.clipsPerPacket) && config.clipsPerPacket >= 1 && config.clipsPerPacket <= 1300;
    });
    take(rateOpt, [&](const QString& v) { return toDouble(v, config.rateGbps) && config.rateGbps >= 0; });
    TransferFaults& f = config.faults;
    take(seedOpt, [&](const QString& v) { return toU64(v, f.seed); });
    take(lossOpt, [&](const QString& v) { return toDouble(v, f.lossPercent); });
    take(burstOpt, [&](const QString& v) { return toDouble(v, f.burstPercent); });
    take(burstLenOpt, [&](const QString& v) { return toInt(v, f.burstLength) && f.burstLength >= 0; });
    take(dupOpt, [&](const QString& v) { return toDouble(v, f.duplicatePercent); });
    take(reorderOpt, [&](const QString& v) { return toDouble(v, f.reorderPercent); });
    take(delayOpt, [&](const QString& v) { return toInt(v, f.delayMs) && f.delayMs >= 0; });
    take(dropControlOpt, [&](const QString& v) { return toDouble(v, f.dropControlPercent); });
    take(errorAfterOpt, [&](const QString& v) { return toInt(v, f.errorAfterPackets) && f.errorAfterPackets >= 0; });
    take(errorCodeOpt, [&](const QString& v) { return toInt(v, f.errorCode); });
    take(stopAfterOpt, [&](const QString& v) { return toInt(v, f.stopAfterPackets) && f.stopAfterPackets >= 0; });
    take(resumeAfterOpt, [&](const QString& v) { return toInt(v, f.resumeAfterMs) && f.resumeAfterMs >= 0; });
    take(fwDropOpt, [&](const QString& v) { return toInt(v, config.firmwareDropPercent); });
    take(fwCorruptOpt,
         [&](const QString& v) { return toInt(v, config.firmwareCorruptOffset) && config.firmwareCorruptOffset >= 0; });
    take(fwWriteMsOpt,
         [&](const QString& v) { return toInt(v, config.firmwareWriteMs) && config.firmwareWriteMs >= 0; });
    config.firmwareNeverWrites = parser.isSet(fwNeverOpt);

    if (ok && recorderOptions) {
        SimRecorderConfig& rec = config.recorders.first();
        SimLinkConfig base;
        take(addressOpt, [&](const QString& v) {
            const auto a = SimConfig::parseIPv4(v);
            base.address = a.value_or(base.address);
            return a.has_value();
        });
        take(codeOpt,
             [&](const QString& v) { return toInt(v, base.linkCode) && base.linkCode >= 0 && base.linkCode <= 7; });
        take(commandPortOpt, [&](const QString& v) { return toInt(v, base.commandPort); });
        take(transferPortOpt, [&](const QString& v) { return toInt(v, base.transferPort); });
        take(recorderIdOpt, [&](const QString& v) { return toU64(v, rec.recorderId); });
        take(serialOpt, [&](const QString& v) { return toInt(v, rec.cameraSerial); });
        take(modelOpt, [&](const QString& v) { return toInt(v, rec.cameraModel); });
        take(dateOpt, [&](const QString& v) { return toInt(v, rec.versionDate); });
        rec.links = {base};
        if (ok && parser.isSet(linkOpt)) {
            rec.links.clear();
            for (const QString& spec : parser.values(linkOpt)) {
                SimLinkConfig link;
                if (!parseLink(spec, base, link))
                    return fail(QStringLiteral("bad --link %1").arg(spec));
                rec.links.append(link);
            }
        }
        int clipCount = 0;
        take(clipCountOpt,
             [&](const QString& v) { return toInt(v, clipCount) && clipCount >= 0 && clipCount <= 65535; });
        if (ok && parser.isSet(clipCountOpt)) {
            rec.clips.clear();
            for (int k = 0; k < clipCount; ++k)
                rec.clips.append(SimConfig::makeClip(quint16(k), 1920, 1080, 240, 240, rec.cameraSerial));
        }
        if (ok && parser.isSet(clipOpt)) {
            rec.clips.clear();
            for (const QString& spec : parser.values(clipOpt)) {
                SimClip clip;
                if (!parseClip(spec, quint16(rec.clips.size()), rec.cameraSerial, clip))
                    return fail(QStringLiteral("bad --clip %1").arg(spec));
                rec.clips.append(clip);
            }
        }
        if (!parser.isSet(clipOpt) && !parser.isSet(clipCountOpt))
            for (SimClip& c : rec.clips)
                c.info.cameraSerial = rec.cameraSerial;
        int recorders = 1;
        take(recordersOpt, [&](const QString& v) { return toInt(v, recorders) && recorders >= 1 && recorders <= 64; });
        for (int k = 1; ok && k < recorders; ++k) {
            SimRecorderConfig copy = rec;
            copy.recorderId += quint64(k);
            for (SimLinkConfig& l : copy.links) {
                l.commandPort = quint16(l.commandPort + k);
                l.transferPort = quint16(l.transferPort + k);
            }
            config.recorders.append(copy);
        }
    }
    if (!ok)
        return fail(QStringLiteral("bad value for --%1: %2").arg(badOption, parser.value(badOption)));
    out.config = config;
    return out;
}

} // namespace SimCommandLine
