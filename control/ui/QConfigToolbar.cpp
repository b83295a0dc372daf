#include "control/ui/QConfigToolbar.h"

#include <QLabel>
#include <QVBoxLayout>

QConfigToolbar::QConfigToolbar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("configToolbar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 24, 0, 0);
    values_ = new QLabel(this);
    values_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    values_->setTextFormat(Qt::RichText);
    layout->addWidget(values_);
    reset();
}

void QConfigToolbar::reset()
{
    filled_ = false;
    page_ = CameraPage;
    values_->clear();
}

void QConfigToolbar::fill(const RecorderRecords& records)
{
    if (records.status) {
        frameRate_ = records.status->frameRate;
        shutter_ = int(records.status->shutterTime);
        sdiFormat_ = records.status->sdiFormat;
    }
    genlockWord_ = records.genlockWord.value_or(0);
    filled_ = true;
    showValues();
}

void QConfigToolbar::setGenlockConfiguration(quint64 word)
{
    genlockWord_ = word;
    showValues();
}

void QConfigToolbar::refreshGenlockStatus(const StatusPacket&)
{}

void QConfigToolbar::lowerShutter(int microseconds)
{
    shutter_ = microseconds;
    showValues();
}

void QConfigToolbar::showPage(int page)
{
    page_ = page;
}

void QConfigToolbar::showValues()
{
    if (!filled_)
        return;
    const QString row = QStringLiteral("<tr><td align=right><font color=#4B96C8>%1</font></td>"
                                       "<td>&nbsp;&nbsp;</td><td><font color=white><b>%2</b></font></td></tr>");
    values_->setText(QStringLiteral("<table align=center>") + row.arg(tr("Fps"), QString::number(qRound(frameRate_)))
                     + row.arg(tr("Shutter"), QStringLiteral("%1 us").arg(shutter_))
                     + row.arg(tr("SDI Format"), QStringLiteral("0x%1").arg(sdiFormat_, 2, 16, QLatin1Char('0')))
                     + row.arg(tr("Genlock"), QStringLiteral("0x%1").arg(quint8(genlockWord_), 2, 16, QLatin1Char('0')))
                     + QStringLiteral("</table>"));
}
