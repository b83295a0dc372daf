#include "control/dialogs/BasicInfoEditor.h"

#include "common/naming/RecorderNaming.h"
#include "control/dialogs/AddressText.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

std::array<quint8, 4> ipBytes(quint32 address)
{
    return {quint8(address >> 24), quint8(address >> 16), quint8(address >> 8), quint8(address)};
}

// Six pairs of hexadecimal digits, all with the same separator (":" or "-").
std::optional<std::array<quint8, 6>> parseMac(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9A-Fa-f]{2})([:-])([0-9A-Fa-f]{2})\\2([0-9A-Fa-f]{2})\\2([0-9A-Fa-f]{2})\\2"
                       "([0-9A-Fa-f]{2})\\2([0-9A-Fa-f]{2})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    std::array<quint8, 6> mac{};
    const int groups[6] = {1, 3, 4, 5, 6, 7};
    for (int i = 0; i < 6; ++i)
        mac[size_t(i)] = quint8(match.captured(groups[i]).toUInt(nullptr, 16));
    return mac;
}

} // namespace

QString BasicInfoEditor::caption(int row)
{
    static const char* const captions[RowCount] = {
        QT_TRANSLATE_NOOP("InfoDlg", "VLM Velmor Name"),
        QT_TRANSLATE_NOOP("InfoDlg", "VLM Velmor Serial No"),
        QT_TRANSLATE_NOOP("InfoDlg", "VLM Velmor Version"),
        QT_TRANSLATE_NOOP("InfoDlg", "Firmware Version"),
        QT_TRANSLATE_NOOP("InfoDlg", "Board Version"),
        QT_TRANSLATE_NOOP("InfoDlg", "No of Disks"),
        QT_TRANSLATE_NOOP("InfoDlg", "Ethernet 1G MAC Address"),
        QT_TRANSLATE_NOOP("InfoDlg", "Ethernet 1G IP Address"),
        QT_TRANSLATE_NOOP("InfoDlg", "Ethernet 10G 0 MAC Address"),
        QT_TRANSLATE_NOOP("InfoDlg", "Ethernet 10G 0 IP Address"),
        QT_TRANSLATE_NOOP("InfoDlg", "Ethernet 10G 1 MAC Address"),
        QT_TRANSLATE_NOOP("InfoDlg", "Ethernet 10G 1 IP Address"),
    };
    return row >= 0 && row < RowCount ? QCoreApplication::translate("InfoDlg", captions[row]) : QString();
}

QString BasicInfoEditor::text(int row) const
{
    switch (row) {
    case Name:
        return block_.name();
    case Serial:
        return deviceName(block_.serialNumber);
    case RecorderVersion:
        return bcdDateText(block_.recorderVersion);
    case FirmwareVersion:
        return bcdDateText(block_.firmwareVersion);
    case BoardVersion:
        return QString::number(block_.boardVersion);
    case Disks:
        return QString::number(block_.diskCount);
    case Mac1G:
        return macText(block_.mac1G);
    case Ip1G:
        return ipText(block_.ip1G);
    case Mac10G0:
        return macText(block_.mac10G0);
    case Ip10G0:
        return ipText(block_.ip10G0);
    case Mac10G1:
        return macText(block_.mac10G1);
    case Ip10G1:
        return ipText(block_.ip10G1);
    default:
        return {};
    }
}

bool BasicInfoEditor::isEditable(int row) const
{
    switch (row) {
    case Name:
    case Ip1G:
    case Ip10G0:
        return true;
    case Serial:
    case Mac1G:
    case Mac10G0:
    case Mac10G1:
        return developer_;
    default:
        return false;
    }
}

bool BasicInfoEditor::edit(int row, const QString& text, QString* reason)
{
    auto refuse = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (!isEditable(row))
        return refuse(QCoreApplication::translate("InfoDlg", "This value cannot be changed."));
    switch (row) {
    case Name:
        block_.setName(text);
        break;
    case Serial: {
        quint32 serial = 0;
        if (!parseDeviceName(text.trimmed(), &serial))
            return refuse(QCoreApplication::translate(
                "InfoDlg", "A serial number reads VLMV-nnnn-nnnn, with at most 4 digits in each part."));
        block_.serialNumber = serial;
        break;
    }
    case Ip1G:
    case Ip10G0: {
        const auto address = AddressText::parse(text);
        if (!address)
            return refuse(QCoreApplication::translate(
                "InfoDlg", "An IP address is four numbers of 0 to 255 separated by dots, not 0.0.0.0."));
        (row == Ip1G ? block_.ip1G : block_.ip10G0) = ipBytes(*address);
        break;
    }
    default: {
        const auto mac = parseMac(text);
        if (!mac)
            return refuse(QCoreApplication::translate(
                "InfoDlg", "A MAC address is six pairs of hexadecimal digits separated by \":\" or \"-\"."));
        (row == Mac1G ? block_.mac1G : row == Mac10G0 ? block_.mac10G0 : block_.mac10G1) = *mac;
        break;
    }
    }
    edited_ = true;
    return true;
}
