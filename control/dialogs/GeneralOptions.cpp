#include "control/dialogs/GeneralOptions.h"

#include "control/app/ControlSettings.h"

#include <QCoreApplication>

namespace {

constexpr int LinkCount = 2;
constexpr int OperatorModeCount = 3;

int wrap(int value, int count)
{
    return (value % count + count) % count;
}

} // namespace

GeneralOptions::GeneralOptions(int link, int operatorMode, const QString& adapterName,
                               const QList<NetworkAdapter>& adapters)
    : link_(wrap(link, LinkCount)), operatorMode_(wrap(operatorMode, OperatorModeCount)),
      adapters_(adapters.mid(0, NetworkAdapter::MaxCount))
{
    for (int i = 0; i < adapters_.size(); ++i)
        if (adapters_[i].name == adapterName)
            adapter_ = i + 1;
}

QString GeneralOptions::caption(int row)
{
    switch (row) {
    case AdapterRow:
        return QCoreApplication::translate("ConfigDlg", "Network Adapter");
    case LinkRow:
        return QCoreApplication::translate("ConfigDlg", "Link");
    case OperatorModeRow:
        return QCoreApplication::translate("ConfigDlg", "Operator mode");
    default:
        return {};
    }
}

QString GeneralOptions::valueText(int row) const
{
    switch (row) {
    case AdapterRow:
        if (adapters_.isEmpty())
            return QCoreApplication::translate("ConfigDlg", "N/A");
        if (adapter_ == 0)
            return QCoreApplication::translate("ConfigDlg", "Broadcast");
        return QStringLiteral("%1 [%2]").arg(adapters_[adapter_ - 1].name, adapters_[adapter_ - 1].address.toString());
    case LinkRow:
        return link_ == 0 ? QCoreApplication::translate("ConfigDlg", "Ethernet")
                          : QCoreApplication::translate("ConfigDlg", "Bluetooth");
    case OperatorModeRow: {
        static const char* const modes[OperatorModeCount] = {QT_TRANSLATE_NOOP("ConfigDlg", "Full control"),
                                                             QT_TRANSLATE_NOOP("ConfigDlg", "Filming only"),
                                                             QT_TRANSLATE_NOOP("ConfigDlg", "Playback only")};
        return QCoreApplication::translate("ConfigDlg", modes[operatorMode_]);
    }
    default:
        return {};
    }
}

bool GeneralOptions::canStep(int row) const
{
    return row != AdapterRow || !adapters_.isEmpty();
}

void GeneralOptions::step(int row, int direction)
{
    const int by = direction < 0 ? -1 : 1;
    switch (row) {
    case AdapterRow:
        if (canStep(row))
            adapter_ = wrap(adapter_ + by, int(adapters_.size()) + 1);
        break;
    case LinkRow:
        link_ = wrap(link_ + by, LinkCount);
        break;
    case OperatorModeRow:
        operatorMode_ = wrap(operatorMode_ + by, OperatorModeCount);
        break;
    default:
        break;
    }
}

QString GeneralOptions::adapterName() const
{
    if (adapter_ == 0)
        return QString::fromLatin1(ControlSettings::AllAdapters);
    return adapters_[adapter_ - 1].name;
}
