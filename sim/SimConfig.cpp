#include "sim/SimConfig.h"

#include "common/naming/RecorderNaming.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

SimClip SimConfig::makeClip(quint16 number, quint16 width, quint16 height, quint64 frames, float fps,
                            quint32 cameraSerial, quint32 explicitFrameBytes)
{
    SimClip clip;
    kvx::ClipInfoPacket::clipInfo& c = clip.info;
    c.cameraSerial = cameraSerial;
    c.totalFrames = frames;
    c.clipUid = 0x5E1D000000000000ull | quint64(cameraSerial) << 16 | number;
    c.fps = fps;
    c.lineBytes = width;
    c.lineCount = height;
    c.width = width;
    c.height = height;
    c.clipNumber = number;
    if (explicitFrameBytes) {
        c.flags = kvx::ClipInfoPacket::clipInfo::ExplicitFrameBytesFlag;
        c.frameBytes = explicitFrameBytes;
    }
    return clip;
}

std::optional<QHostAddress> SimConfig::parseIPv4(const QString& text)
{
    const auto address = parseIpText(text.trimmed());
    if (!address)
        return std::nullopt;
    return QHostAddress(*address);
}

SimConfig SimConfig::defaults()
{
    SimConfig config;
    SimRecorderConfig recorder;
    recorder.links.append(SimLinkConfig{});
    const quint32 serial = recorder.cameraSerial;
    recorder.clips = {makeClip(0, 1920, 1080, 240, 240, serial),
                      makeClip(1, 2048, 1080, 120, 500, serial, 2048 * 1080 + 4096),
                      makeClip(2, 3840, 2160, 60, 120, serial)};
    config.recorders.append(recorder);
    return config;
}

namespace {

// Numbers may be written as JSON numbers or as strings ("0x20171020"), since 64-bit ids do not
// survive a double.
quint64 u64Of(const QJsonValue& v, quint64 fallback)
{
    if (v.isDouble())
        return quint64(v.toDouble());
    bool ok = false;
    const quint64 n = v.toString().toULongLong(&ok, 0);
    return ok ? n : fallback;
}

bool readLink(const QJsonObject& o, SimLinkConfig& link, QString* error)
{
    if (o.contains(u"address")) {
        const auto a = SimConfig::parseIPv4(o.value(u"address").toString());
        if (!a) {
            *error = QStringLiteral("link address is not an IPv4 address: %1").arg(o.value(u"address").toString());
            return false;
        }
        link.address = *a;
    }
    link.linkCode = o.value(u"linkCode").toInt(link.linkCode);
    link.carriesTransfers = o.value(u"transfers").toBool(link.carriesTransfers);
    link.commandPort = quint16(o.value(u"commandPort").toInt(link.commandPort));
    link.transferPort = quint16(o.value(u"transferPort").toInt(link.transferPort));
    if (link.linkCode < 0 || link.linkCode > 7) {
        *error = QStringLiteral("link code must be 0 to 7");
        return false;
    }
    return true;
}

bool readClip(const QJsonObject& o, quint16 defaultNumber, quint32 serial, SimClip& clip, QString* error)
{
    const int width = o.value(u"width").toInt(1920), height = o.value(u"height").toInt(1080);
    if (width <= 0 || width > 65535 || height <= 0 || height > 65535) {
        *error = QStringLiteral("clip width and height must be 1 to 65535");
        return false;
    }
    clip = SimConfig::makeClip(quint16(o.value(u"number").toInt(defaultNumber)), quint16(width), quint16(height),
                               quint64(o.value(u"frames").toDouble(100)), float(o.value(u"fps").toDouble(60)),
                               quint32(o.value(u"cameraSerial").toDouble(serial)),
                               quint32(o.value(u"frameBytes").toDouble(0)));
    if (o.contains(u"uid"))
        clip.info.clipUid = u64Of(o.value(u"uid"), clip.info.clipUid);
    clip.info.lineBytes = quint16(o.value(u"lineBytes").toInt(clip.info.lineBytes));
    clip.info.lineCount = quint16(o.value(u"lineCount").toInt(clip.info.lineCount));
    clip.info.clipVersion = quint16(o.value(u"version").toInt(0));
    return true;
}

bool readFaults(const QJsonObject& o, TransferFaults& f)
{
    f.seed = quint64(o.value(u"seed").toDouble(double(f.seed)));
    f.lossPercent = o.value(u"lossPercent").toDouble(f.lossPercent);
    f.burstPercent = o.value(u"burstPercent").toDouble(f.burstPercent);
    f.burstLength = o.value(u"burstLength").toInt(f.burstLength);
    f.duplicatePercent = o.value(u"duplicatePercent").toDouble(f.duplicatePercent);
    f.reorderPercent = o.value(u"reorderPercent").toDouble(f.reorderPercent);
    f.delayMs = o.value(u"delayMs").toInt(f.delayMs);
    f.dropControlPercent = o.value(u"dropControlPercent").toDouble(f.dropControlPercent);
    f.errorAfterPackets = qint64(o.value(u"errorAfterPackets").toDouble(double(f.errorAfterPackets)));
    f.errorCode = quint32(o.value(u"errorCode").toInt(int(f.errorCode)));
    f.stopAfterPackets = qint64(o.value(u"stopAfterPackets").toDouble(double(f.stopAfterPackets)));
    f.resumeAfterMs = o.value(u"resumeAfterMs").toInt(f.resumeAfterMs);
    return true;
}

} // namespace

bool SimConfig::loadJson(const QByteArray& json, SimConfig& config, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (!doc.isObject()) {
        *error = doc.isNull() ? parseError.errorString() : QStringLiteral("the configuration must be a JSON object");
        return false;
    }
    const QJsonObject root = doc.object();
    SimConfig next = config;
    next.discoveryPort = quint16(root.value(u"discoveryPort").toInt(next.discoveryPort));
    if (root.contains(u"listenAddress")) {
        const auto a = parseIPv4(root.value(u"listenAddress").toString());
        if (!a) {
            *error = QStringLiteral("listenAddress is not an IPv4 address");
            return false;
        }
        next.listenAddress = *a;
    }
    next.clipListIntervalMs = root.value(u"clipListIntervalMs").toInt(next.clipListIntervalMs);
    next.statusIntervalMs = root.value(u"statusIntervalMs").toInt(next.statusIntervalMs);
    next.countersIntervalMs = root.value(u"countersIntervalMs").toInt(next.countersIntervalMs);
    next.recordRepeatPeriods = root.value(u"recordRepeatPeriods").toInt(next.recordRepeatPeriods);
    next.clipsPerPacket = root.value(u"clipsPerPacket").toInt(next.clipsPerPacket);
    next.rateGbps = root.value(u"rateGbps").toDouble(next.rateGbps);
    readFaults(root.value(u"faults").toObject(), next.faults);

    if (root.contains(u"recorders")) {
        next.recorders.clear();
        const QJsonArray recorders = root.value(u"recorders").toArray();
        for (qsizetype i = 0; i < recorders.size(); ++i) {
            const QJsonObject r = recorders[i].toObject();
            SimRecorderConfig rec;
            rec.recorderId = u64Of(r.value(u"recorderId"), 2180002 + quint64(i));
            rec.cameraSerial = quint32(u64Of(r.value(u"cameraSerial"), rec.cameraSerial));
            rec.cameraModel = qint16(r.value(u"cameraModel").toInt(rec.cameraModel));
            rec.versionDate = quint32(u64Of(r.value(u"versionDate"), rec.versionDate));
            rec.genlockWord = u64Of(r.value(u"genlockWord"), rec.genlockWord);
            for (const QJsonValue& l : r.value(u"links").toArray()) {
                SimLinkConfig link;
                if (!readLink(l.toObject(), link, error))
                    return false;
                rec.links.append(link);
            }
            if (rec.links.isEmpty())
                rec.links.append(SimLinkConfig{});
            if (r.contains(u"clips")) {
                const QJsonArray clips = r.value(u"clips").toArray();
                for (qsizetype k = 0; k < clips.size(); ++k) {
                    SimClip clip;
                    if (!readClip(clips[k].toObject(), quint16(k), rec.cameraSerial, clip, error))
                        return false;
                    rec.clips.append(clip);
                }
            } else {
                rec.clips = defaults().recorders.first().clips;
                for (SimClip& c : rec.clips)
                    c.info.cameraSerial = rec.cameraSerial;
            }
            next.recorders.append(rec);
        }
    }
    if (next.recorders.isEmpty()) {
        *error = QStringLiteral("the configuration has no recorder");
        return false;
    }
    if (next.clipsPerPacket < 1 || next.clipsPerPacket > 1300) {
        *error = QStringLiteral("clipsPerPacket must be 1 to 1300 (a datagram holds at most 1300 entries)");
        return false;
    }
    config = next;
    return true;
}
