#include "control/config/PaintSettings.h"

#include "common/packets/OutputStatePacket.h"
#include "control/commands/PaintCodes.h"

#include <algorithm>

namespace {

constexpr int Unit = 1024;
constexpr int FlareSwitchGroup = 4;
constexpr int Green = 1;

using Slider = PaintSettings::Slider;

QList<Slider> colourSliders(int group, int minimum, int maximum, int divisor, int defaultPosition)
{
    QList<Slider> out;
    for (int channel = 0; channel < 3; ++channel)
        out.append({group, channel, minimum, maximum, divisor, false, defaultPosition});
    return out;
}

} // namespace

QList<Slider> PaintSettings::sliders(int subPage)
{
    switch (subPage) {
    case Gain:
        return colourSliders(1, 0, 300, 100, 100);
    case Pedestal:
        return colourSliders(2, -200, 200, 0, 0);
    case Flare:
        return colourSliders(3, -300, 300, 0, 0);
    case Detail:
        return {{5, 0, 0, 100, 0, false, 20}, {5, 1, 0, 100, 0, false, 50}, {5, 2, 0, 100, 0, false, 45}};
    case Misc:
        return {{6, 0, 0, 60, 20, false, 24},
                {7, 0, 0, 400, 100, true, 220},
                {11, 0, 0, 1024, 0, false, -1},
                {8, 0, 0, 200, 10, false, 80},
                {9, 0, 0, 100, 10, false, 30}};
    default:
        return {};
    }
}

int PaintSettings::toPosition(const Slider& slider, int value)
{
    return slider.divisor == 0 ? value : value * slider.divisor / Unit;
}

int PaintSettings::toValue(const Slider& slider, int position)
{
    return slider.divisor == 0 ? position : position * Unit / slider.divisor;
}

void PaintSettings::fill(const OutputStatePacket& state)
{
    for (int page = 0; page < SubPageCount; ++page) {
        const QList<Slider> list = sliders(page);
        for (int i = 0; i < list.size(); ++i) {
            const Slider& s = list[i];
            const int value = state.values[*paintCode(s.group, s.channel)];
            positions_[page][i] = std::clamp(toPosition(s, value), s.minimum, s.maximum);
        }
    }
    flareOn_ = state.values[*paintCode(FlareSwitchGroup, 0)] != 0;
    aligned_.fill(false);
}

int PaintSettings::position(int subPage, int slider) const
{
    return positions_[subPage][slider];
}

bool PaintSettings::isAligned(int subPage) const
{
    return hasAlign(subPage) && aligned_[subPage];
}

PaintParameter PaintSettings::send(int subPage, int slider) const
{
    const Slider s = sliders(subPage)[slider];
    return {s.group, s.channel, toValue(s, positions_[subPage][slider])};
}

QList<PaintParameter> PaintSettings::move(int subPage, int slider, int position, bool released)
{
    const QList<Slider> list = sliders(subPage);
    if (slider < 0 || slider >= list.size())
        return {};
    const Slider& s = list[slider];
    position = std::clamp(position, s.minimum, s.maximum);
    if (isAligned(subPage)) {
        QList<PaintParameter> out;
        for (int i = 0; i < 3; ++i) {
            positions_[subPage][i] = position;
            out.append(send(subPage, i));
        }
        return out;
    }
    positions_[subPage][slider] = position;
    if (s.onRelease && !released)
        return {};
    return {send(subPage, slider)};
}

QList<PaintParameter> PaintSettings::setAligned(int subPage, bool on)
{
    if (!hasAlign(subPage))
        return {};
    aligned_[subPage] = on;
    if (!on)
        return {};
    return move(subPage, Green, positions_[subPage][Green], true);
}

QList<PaintParameter> PaintSettings::setDefault(int subPage)
{
    QList<PaintParameter> out;
    for (int page = std::max(subPage, 0); page < SubPageCount; ++page) {
        const QList<Slider> list = sliders(page);
        for (int i = 0; i < list.size(); ++i) {
            if (list[i].defaultPosition < 0)
                continue;
            positions_[page][i] = list[i].defaultPosition;
            out.append(send(page, i));
        }
        // The pedestal of all channels at once goes back as well.
        if (page == Pedestal)
            out.append({list[0].group, 3, 0});
    }
    return out;
}

PaintParameter PaintSettings::setFlareOn(bool on)
{
    flareOn_ = on;
    return {FlareSwitchGroup, 0, on ? 1 : 0};
}
