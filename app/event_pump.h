// The event loop a window runs while it waits for a command's output: the window keeps
// painting, moving and closing meanwhile.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "sysinfo/command_capture_pump.h"

class QEventLoop;

namespace app {

class CEventPump final : public sysinfo::IMessagePump {
public:
    // `pWindow`: the window that waits; Wake reaches its thread through it.
    explicit CEventPump(QObject* pWindow)
        : m_pContext(pWindow),
          m_pWindow(pWindow),
          m_pLoop(std::make_shared<QPointer<QEventLoop>>()) {}

    // False once the window is gone before `done` or the limit.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;
    void Wake() override;

private:
    // Read by Wake on other threads, so never changed.
    QObject* const m_pContext;
    QPointer<QObject> m_pWindow;
    // The loop running now; shared with the wakes still queued when this pump is gone.
    const std::shared_ptr<QPointer<QEventLoop>> m_pLoop;
};

}  // namespace app
