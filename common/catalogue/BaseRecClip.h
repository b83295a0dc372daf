#pragma once

#include "common/catalogue/ModelItem.h"
#include "common/packets/ClipInfoPacket.h"

#include <QObject>
#include <QStringList>

// A clip as a recorder describes it: the 48-byte description plus its place in a list model.
// Recorder clips and downloaded clips both derive from it.
class BaseRecClip : public QObject, public kvx::ClipInfoPacket::clipInfo, public ModelItem {
    Q_OBJECT
public:
    explicit BaseRecClip(const kvx::ClipInfoPacket::clipInfo& info = {}, QObject* parent = nullptr);

    const kvx::ClipInfoPacket::clipInfo& info() const { return *this; }

    // The lines of the clip's information panel.
    virtual QStringList infoLines() const;
    QString text() const override;

protected:
    // Seconds that frames last at the clip's rate; 0 when the recorder reported no usable rate,
    // so the texts never show "inf" or "nan".
    double secondsFor(double frames) const;
    // The rate as a whole number for display; 0 for a rate that is no finite, positive number.
    int wholeFps() const;
};
