#include "ui/UITableViewDoubleTap.h"

UITableViewDoubleTap::UITableViewDoubleTap(toolkit::TimerFactory& timers, QObject* parent)
    : toolkit::ListPanel(parent), m_singleTapTimer(timers.createTimer()) {
    connect(list(), &toolkit::ListPanelModel::rowTapped, this,
            [this](int, int row) { tableViewDidSelectRowAtIndexPath(row); });
}

UITableViewDoubleTap::~UITableViewDoubleTap() = default;

void UITableViewDoubleTap::tableViewDidSelectRowAtIndexPath(int row) {
    ++m_tapCount;
    m_tableSelection = row;
    if (m_tapCount == 1) {
        m_singleTapTimer->start(doubleTapWindow, [this] { decide(false); });
    } else if (m_tapCount == 2) {
        m_singleTapTimer->stop();
        decide(true);
    }
}

void UITableViewDoubleTap::onSingleTap(int row) {
    Q_UNUSED(row);
}

void UITableViewDoubleTap::onDoubleTap(int row) {
    Q_UNUSED(row);
}

void UITableViewDoubleTap::decide(bool isDouble) {
    m_tapCount = 0;
    if (isDouble) {
        onDoubleTap(m_tableSelection);
    } else {
        onSingleTap(m_tableSelection);
    }
}
