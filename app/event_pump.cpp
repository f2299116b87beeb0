#include "app/event_pump.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace app {

bool CEventPump::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    // A wake that arrives between two loops is not lost: each loop also ends after this long.
    constexpr std::chrono::milliseconds kRecheck{100};
    const bool bounded = limit != sysinfo::kNoLimit;
    const Clock::time_point end = bounded ? Clock::now() + limit : Clock::time_point::max();
    while (!done()) {
        if (m_pWindow.isNull()) return false;
        std::chrono::milliseconds wait = kRecheck;
        if (bounded) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0) return true;
            wait = std::min(wait, left);
        }
        QEventLoop loop;
        *m_pLoop = &loop;
        QTimer::singleShot(wait, &loop, &QEventLoop::quit);
        loop.exec();
        *m_pLoop = nullptr;
    }
    return true;
}

void CEventPump::Wake() {
    // Queued to the window's thread; dropped if the window is gone by then.
    QMetaObject::invokeMethod(
        m_pContext,
        [loop = m_pLoop] {
            if (!loop->isNull()) (*loop)->quit();
        },
        Qt::QueuedConnection);
}

}  // namespace app
