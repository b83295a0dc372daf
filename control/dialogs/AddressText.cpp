#include "control/dialogs/AddressText.h"

#include "common/naming/RecorderNaming.h"

namespace AddressText {

std::optional<quint32> parse(const QString& text)
{
    const auto address = parseIpText(text.trimmed());
    if (!address || *address == 0)
        return std::nullopt;
    return address;
}

} // namespace AddressText
