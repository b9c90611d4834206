#include "ui/DoubleTapDetector.h"

namespace vaultora::ui {

DoubleTapDetector::DoubleTapDetector(toolkit::TimerFactory& timers, QObject* parent)
    : toolkit::ListPanel(parent), m_singleTapTimer(timers.createTimer()) {
    connect(list(), &toolkit::ListPanelModel::rowTapped, this,
            [this](int, int row) { tableViewDidSelectRowAtIndexPath(row); });
}

DoubleTapDetector::~DoubleTapDetector() = default;

void DoubleTapDetector::tableViewDidSelectRowAtIndexPath(int row) {
    ++m_tapCount;
    m_tableSelection = row;
    if (m_tapCount == 1) {
        m_singleTapTimer->start(doubleTapWindow, [this] { decide(false); });
    } else if (m_tapCount == 2) {
        m_singleTapTimer->stop();
        decide(true);
    }
}

void DoubleTapDetector::activateRow(int /*section*/, int row) {
    m_singleTapTimer->stop();
    m_tapCount = 0;
    m_tableSelection = row;
    onSingleTap(row);
}

void DoubleTapDetector::onSingleTap(int row) {
    Q_UNUSED(row);
}

void DoubleTapDetector::onDoubleTap(int row) {
    Q_UNUSED(row);
}

void DoubleTapDetector::decide(bool isDouble) {
    m_tapCount = 0;
    if (isDouble) {
        onDoubleTap(m_tableSelection);
    } else {
        onSingleTap(m_tableSelection);
    }
}

} // namespace vaultora::ui
