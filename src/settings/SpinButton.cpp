#include "settings/SpinButton.h"

#include "core/settings/RangeFormatting.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;

} // namespace

CSpinButton::CSpinButton(QWidget* owner)
    : QWidget(owner)
{
    m_pUp = new QToolButton(this);
    m_pDown = new QToolButton(this);
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown->setArrowType(Qt::DownArrow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* button : {m_pUp, m_pDown}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setIconSize(QSize(7, 7));
        layout->addWidget(button);
    }
    connect(m_pUp, &QToolButton::pressed, this, [this] { OnPressed(1); });
    connect(m_pDown, &QToolButton::pressed, this, [this] { OnPressed(-1); });
    connect(m_pUp, &QToolButton::released, this, &CSpinButton::OnReleased);
    connect(m_pDown, &QToolButton::released, this, &CSpinButton::OnReleased);
    connect(&m_repeat, &QTimer::timeout, this, &CSpinButton::OnRepeat);
}

void CSpinButton::SetRange32(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
}

void CSpinButton::OnPressed(int direction)
{
    m_nDirection = direction;
    m_held.start();
    emit deltaPos(direction);
    m_repeat.start(kFirstRepeatMs);
}

void CSpinButton::OnReleased()
{
    m_repeat.stop();
    m_nDirection = 0;
}

void CSpinButton::OnRepeat()
{
    if (m_nDirection == 0) {
        m_repeat.stop();
        return;
    }
    m_repeat.setInterval(kRepeatMs);
    emit deltaPos(m_nDirection * SpinAcceleratedStep(m_held.elapsed()));
}
