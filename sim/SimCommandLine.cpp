#include "sim/SimCommandLine.h"

#include <QCommandLineParser>
#include <QFile>

#include <functional>
#include <vector>

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
    "countersIntervalMs": 0, "recordRepeatPeriods": 0, "clipsPerPacket": 20, "rateGbps": 10,
    "faults": { "seed": 1, "lossPercent": 0, "burstPercent": 0, "burstLength": 0,
                "duplicatePercent": 0, "reorderPercent": 0, "delayMs": 0,
                "dropControlPercent": 0, "errorAfterPackets": -1, "errorCode": 1,
                "stopAfterPackets": -1, "resumeAfterMs": 0 },
    "recorders": [ { "recorderId": "2180002", "cameraSerial": 2901180001, "cameraModel": 0,
                     "versionDate": "0x20171020", "genlockWord": "0xB0",
                     "links": [ { "address": "127.0.0.1", "linkCode": 1, "transfers": true,
                                  "commandPort": 9000, "transferPort": 4353 } ],
                     "clips": [ { "width": 1920, "height": 1080, "frames": 240, "fps": 240,
                                  "number": 0, "uid": "0x1234", "frameBytes": 0,
                                  "lineBytes": 1920, "lineCount": 1080, "version": 0 } ] } ] }
  frameBytes > 0 sets flag 0x40 (explicit frame size). Command-line options override the file's
  global values.

LINK: ADDRESS[,code=N][,transfers=0|1][,command=PORT][,transfer=PORT]
CLIP: WIDTHxHEIGHT[,frames=N][,fps=F][,frameBytes=B][,number=K][,uid=U])";

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

// An integer of at least min.
template <typename Int>
bool toIntFrom(const QString& text, Int& out, Int min)
{
    return toInt(text, out) && out >= min;
}

bool toU64(const QString& text, quint64& out)
{
    bool ok = false;
    const quint64 v = text.toULongLong(&ok, 0);
    if (ok)
        out = v;
    return ok;
}

bool toIPv4(const QString& text, QHostAddress& out)
{
    const auto address = SimConfig::parseIPv4(text);
    if (address)
        out = *address;
    return address.has_value();
}

// The "key=value" items that follow the first field of a LINK or CLIP text.
bool parseKeyValueItems(const QStringList& items, const std::function<bool(const QString&, const QString&)>& take)
{
    for (const QString& item : items) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq <= 0 || !take(item.left(eq).trimmed(), item.mid(eq + 1).trimmed()))
            return false;
    }
    return true;
}

bool parseLink(const QString& text, const SimLinkConfig& base, SimLinkConfig& link)
{
    QStringList parts = text.split(u',');
    link = base;
    if (!toIPv4(parts.takeFirst(), link.address))
        return false;
    return parseKeyValueItems(parts, [&](const QString& key, const QString& value) {
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

bool parseClip(const QString& text, quint16 number, quint32 serial, SimClip& clip)
{
    QStringList parts = text.split(u',');
    const QStringList size = parts.takeFirst().trimmed().split(u'x');
    quint16 width = 0, height = 0;
    if (size.size() != 2 || !toInt(size[0], width) || !toInt(size[1], height) || !width || !height)
        return false;
    quint64 frames = 100, uid = 0;
    double fps = 60;
    quint32 frameBytes = 0;
    bool ok = parseKeyValueItems(parts, [&](const QString& key, const QString& value) {
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

// What the recorder options say, gathered first and made into recorders at the end, because
// the links and clips depend on several options at once.
struct RecorderOptions {
    SimLinkConfig defaultLink;
    QStringList links;
    QStringList clips;
    std::optional<int> clipCount;
    int recorders = 1;
    SimRecorderConfig recorder;
};

// What an option's value is written into. error, when set, replaces the general message.
struct Target {
    SimConfig& config;
    RecorderOptions& recorder;
    QString error;
};

// One option of the command line. Options apply in table order, which is also the help order;
// a repeatable option applies once per value, a switch once with an empty value. Recorder
// options describe the one recorder (and its copies) made without --config.
struct Option {
    const char* name;
    const char* valueName; // null for a switch
    const char* help;
    bool describesRecorder;
    std::function<bool(const QString& value, Target& target)> apply;
};

bool readConfigFile(const QString& path, Target& t)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        t.error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    QString error;
    if (!SimConfig::loadJson(file.readAll(), t.config, &error)) {
        t.error = QStringLiteral("%1: %2").arg(file.fileName(), error);
        return false;
    }
    return true;
}

const std::vector<Option>& options()
{
    using V = const QString&;
    static const std::vector<Option> table = {
        {"config", "FILE", "Read recorders and settings from a JSON FILE.", false,
         [](V v, Target& t) { return readConfigFile(v, t); }},
        {"duration", "SECONDS", "Stop after SECONDS (default: run until SIGINT/SIGTERM).", false,
         [](V v, Target& t) { return toDouble(v, t.config.durationSeconds) && t.config.durationSeconds >= 0; }},
        {"log", "FILE", "Write one JSON line per packet received and per event to FILE ('-': standard output).", false,
         [](V v, Target& t) {
             t.config.logPath = v;
             return true;
         }},
        // The recorder (only without --config).
        {"recorders", "N", "Number of recorders to play (default 1).", true,
         [](V v, Target& t) {
             return toInt(v, t.recorder.recorders) && t.recorder.recorders >= 1 && t.recorder.recorders <= 256;
         }},
        {"recorder-id", "ID", "recorderId of the (first) recorder (default 2180002).", true,
         [](V v, Target& t) { return toU64(v, t.recorder.recorder.recorderId); }},
        {"camera-serial", "N", "cameraSerial (default 2901180001).", true,
         [](V v, Target& t) { return toInt(v, t.recorder.recorder.cameraSerial); }},
        {"camera-model", "N", "cameraModel: 0 HD, 1 UHD (default 0).", true,
         [](V v, Target& t) { return toInt(v, t.recorder.recorder.cameraModel); }},
        {"version-date", "BCD", "versionDate as BCD 0xYYYYMMDD (default 0x20171020).", true,
         [](V v, Target& t) { return toInt(v, t.recorder.recorder.versionDate); }},
        {"link", "LINK", "A link of the recorder (repeatable; replaces the default link): see LINK.", true,
         [](V v, Target& t) {
             t.recorder.links.append(v);
             return true;
         }},
        {"address", "IPV4", "Address of the default link (default 127.0.0.1).", true,
         [](V v, Target& t) { return toIPv4(v, t.recorder.defaultLink.address); }},
        {"link-code", "N", "Link code of the default link: 0 1G, 1 10G (default 1).", true,
         [](V v, Target& t) {
             int& code = t.recorder.defaultLink.linkCode;
             return toInt(v, code) && code >= 0 && code <= 7;
         }},
        {"command-port", "PORT", "Command port of links without their own (default 9000).", true,
         [](V v, Target& t) { return toInt(v, t.recorder.defaultLink.commandPort); }},
        {"transfer-port", "PORT", "Transfer port of links without their own (default 4353).", true,
         [](V v, Target& t) { return toInt(v, t.recorder.defaultLink.transferPort); }},
        {"clip", "CLIP", "A clip of the recorder (repeatable; replaces the default clips): see CLIP.", true,
         [](V v, Target& t) {
             t.recorder.clips.append(v);
             return true;
         }},
        {"clips", "N", "Number of default 1920x1080 clips of 240 frames instead of the three default clips.", true,
         [](V v, Target& t) {
             int count = 0;
             const bool ok = toInt(v, count) && count >= 0 && count <= 65535;
             t.recorder.clipCount = count;
             return ok;
         }},
        // Protocol timing.
        {"discovery-port", "PORT", "UDP port on which discovery requests are answered (default 45611).", false,
         [](V v, Target& t) { return toInt(v, t.config.discoveryPort); }},
        {"listen-address", "IPV4",
         "Address on which discovery requests and IP change broadcasts are heard (default 0.0.0.0, which hears "
         "subnet broadcasts).",
         false, [](V v, Target& t) { return toIPv4(v, t.config.listenAddress); }},
        {"clip-list-interval", "MS", "Resend the clip list every MS milliseconds (default 2000).", false,
         [](V v, Target& t) { return toIntFrom(v, t.config.clipListIntervalMs, 1); }},
        {"status-interval", "MS", "Send status packets to control programs every MS milliseconds (default 100).", false,
         [](V v, Target& t) { return toIntFrom(v, t.config.statusIntervalMs, 1); }},
        {"counters-interval", "MS",
         "Log each transfer server's counters (packets sent, faults injected) every MS milliseconds (default 0: "
         "never).",
         false, [](V v, Target& t) { return toIntFrom(v, t.config.countersIntervalMs, 0); }},
        {"repeat-records", "N",
         "Send the info packet and output state to control programs again every N status intervals (default 0: "
         "only after a greeting and on changes).",
         false, [](V v, Target& t) { return toIntFrom(v, t.config.recordRepeatPeriods, 0); }},
        {"clips-per-packet", "N", "At most N clips per clip list packet (default 20).", false,
         [](V v, Target& t) { return toIntFrom(v, t.config.clipsPerPacket, 1) && t.config.clipsPerPacket <= 1300; }},
        {"matrix-word", "N",
         "Send N as the word of the colour-matrix answer instead of the payload length, as a recorder that "
         "fills it otherwise would.",
         false,
         [](V v, Target& t) {
             quint32 word = 0;
             const bool ok = toInt(v, word);
             t.config.matrixAnswerWord = word;
             return ok;
         }},
        // Transfer pacing and faults.
        {"rate", "GBPS", "Pace transfers to GBPS Gbit/s; 0 sends unpaced (default 10).", false,
         [](V v, Target& t) { return toDouble(v, t.config.rateGbps) && t.config.rateGbps >= 0; }},
        {"seed", "N", "Seed of every random fault decision (default 1).", false,
         [](V v, Target& t) { return toU64(v, t.config.faults.seed); }},
        {"loss", "PERCENT", "Drop PERCENT of the data packets at random.", false,
         [](V v, Target& t) { return toDouble(v, t.config.faults.lossPercent); }},
        {"burst-percent", "PERCENT", "Probability (percent) per data packet that a burst of losses starts.", false,
         [](V v, Target& t) { return toDouble(v, t.config.faults.burstPercent); }},
        {"burst-length", "N", "Data packets lost in one burst.", false,
         [](V v, Target& t) { return toIntFrom(v, t.config.faults.burstLength, 0); }},
        {"duplicate", "PERCENT", "Send PERCENT of the data packets twice.", false,
         [](V v, Target& t) { return toDouble(v, t.config.faults.duplicatePercent); }},
        {"reorder", "PERCENT", "Hold back PERCENT of the data packets behind the next one.", false,
         [](V v, Target& t) { return toDouble(v, t.config.faults.reorderPercent); }},
        {"delay", "MS", "Answer every transfer request, query and missing list MS milliseconds late.", false,
         [](V v, Target& t) { return toIntFrom(v, t.config.faults.delayMs, 0); }},
        {"drop-control", "PERCENT", "Drop PERCENT of the data-begins/chunk-sent events and status replies.", false,
         [](V v, Target& t) { return toDouble(v, t.config.faults.dropControlPercent); }},
        {"error-after", "N", "After N data packets send an error event (type 6) and end that chunk.", false,
         [](V v, Target& t) { return toIntFrom<qint64>(v, t.config.faults.errorAfterPackets, 0); }},
        {"error-code", "CODE", "Code of that error event (default 1).", false,
         [](V v, Target& t) { return toInt(v, t.config.faults.errorCode); }},
        {"stop-after", "N", "After N data packets the transfer server stops answering.", false,
         [](V v, Target& t) { return toIntFrom<qint64>(v, t.config.faults.stopAfterPackets, 0); }},
        {"resume-after", "MS", "...and answers again after MS milliseconds (default: never).", false,
         [](V v, Target& t) { return toIntFrom(v, t.config.faults.resumeAfterMs, 0); }},
        // Firmware programming faults.
        {"fw-drop", "PERCENT", "Firmware programming: drop PERCENT of the data packets.", false,
         [](V v, Target& t) { return toInt(v, t.config.firmwareDropPercent); }},
        {"fw-corrupt", "OFFSET", "Firmware programming: store the image byte at OFFSET with its lowest bit flipped.",
         false, [](V v, Target& t) { return toIntFrom<qint64>(v, t.config.firmwareCorruptOffset, 0); }},
        {"fw-never-write", nullptr, "Firmware programming: acknowledge the flash write but never start it.", false,
         [](V, Target& t) {
             t.config.firmwareNeverWrites = true;
             return true;
         }},
        {"fw-write-ms", "MS", "Firmware programming: a flash write takes MS milliseconds (default 3000).", false,
         [](V v, Target& t) { return toIntFrom(v, t.config.firmwareWriteMs, 0); }},
    };
    return table;
}

// The recorders the recorder options describe; false with the error set on a bad LINK or CLIP.
bool makeRecorders(const RecorderOptions& options, QList<SimRecorderConfig>& recorders, QString& error)
{
    SimRecorderConfig rec = options.recorder;
    rec.links = {options.defaultLink};
    if (!options.links.isEmpty()) {
        rec.links.clear();
        for (const QString& text : options.links) {
            SimLinkConfig link;
            if (!parseLink(text, options.defaultLink, link)) {
                error = QStringLiteral("bad --link %1").arg(text);
                return false;
            }
            rec.links.append(link);
        }
    }
    if (options.clipCount) {
        rec.clips.clear();
        for (int k = 0; k < *options.clipCount; ++k)
            rec.clips.append(SimConfig::makeClip(quint16(k), 1920, 1080, 240, 240, rec.cameraSerial));
    }
    if (!options.clips.isEmpty()) {
        rec.clips.clear();
        for (const QString& text : options.clips) {
            SimClip clip;
            if (!parseClip(text, quint16(rec.clips.size()), rec.cameraSerial, clip)) {
                error = QStringLiteral("bad --clip %1").arg(text);
                return false;
            }
            rec.clips.append(clip);
        }
    }
    if (options.clips.isEmpty() && !options.clipCount) {
        for (SimClip& c : rec.clips)
            c.info.cameraSerial = rec.cameraSerial;
    }
    recorders = {rec};
    for (int k = 1; k < options.recorders; ++k) {
        SimRecorderConfig copy = rec;
        copy.recorderId += quint64(k);
        for (SimLinkConfig& l : copy.links) {
            l.commandPort = quint16(l.commandPort + k);
            l.transferPort = quint16(l.transferPort + k);
        }
        recorders.append(copy);
    }
    return true;
}

} // namespace

namespace SimCommandLine {

Outcome parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(Intro));
    const QCommandLineOption help = parser.addHelpOption();
    std::vector<QCommandLineOption> parserOptions;
    for (const Option& o : options()) {
        const QString name = QString::fromLatin1(o.name);
        const QString text = QString::fromUtf8(o.help);
        parserOptions.push_back(o.valueName ? QCommandLineOption(name, text, QString::fromLatin1(o.valueName))
                                            : QCommandLineOption(name, text));
        parser.addOption(parserOptions.back());
    }

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

    bool recorderOptions = false;
    for (size_t i = 0; i < options().size(); ++i)
        recorderOptions = recorderOptions || (options()[i].describesRecorder && parser.isSet(parserOptions[i]));
    if (recorderOptions && parser.isSet(QStringLiteral("config")))
        return fail(QStringLiteral("give the recorders either with --config or with recorder options, not both"));

    SimConfig config = SimConfig::defaults();
    RecorderOptions recorder;
    recorder.recorder = config.recorders.first();
    Target target{config, recorder, {}};
    for (size_t i = 0; i < options().size(); ++i) {
        const Option& option = options()[i];
        if (!parser.isSet(parserOptions[i]))
            continue;
        const QStringList values = option.valueName ? parser.values(parserOptions[i]) : QStringList{QString()};
        for (const QString& value : values) {
            if (!option.apply(value, target))
                return fail(target.error.isEmpty()
                                ? QStringLiteral("bad value for --%1: %2").arg(QLatin1String(option.name), value)
                                : target.error);
        }
    }
    if (recorderOptions && !makeRecorders(recorder, config.recorders, target.error))
        return fail(target.error);
    out.config = config;
    return out;
}

} // namespace SimCommandLine
