#include "GameWindowAnimation.h"

#include <QTimeLine>

GameWindowAnimation::GameWindowAnimation(int durationMs)
    : m_timeLine(new QTimeLine(durationMs))
{
    m_timeLine->setUpdateInterval(20);
    connect(m_timeLine, &QTimeLine::finished, this, &GameWindowAnimation::finished);
}

GameWindowAnimation::~GameWindowAnimation()
{
    delete m_timeLine;
}

void GameWindowAnimation::halt()
{
    m_timeLine->stop();
    disconnect(this, &GameWindowAnimation::finished, nullptr, nullptr);
}
