#include "Connection.h"

#include <QMetaObject>

#include <exception>
#include <stdexcept>

Connection::Connection(QObject* parent, FrameCutter::Limit frameLimit)
    : QSslSocket(parent)
    , m_cutter(frameLimit)
{
    connect(this, &QIODevice::readyRead, this, &Connection::receive);
}

Connection::~Connection() = default;

void Connection::receive()
{
    // A slot further up may spin a nested event loop; the outer loop is
    // still cutting, so a nested call has nothing to add.
    if (m_failed || m_receiving)
        return;
    m_receiving = true;
    const bool wasInFrame = m_cutter.inFrame();
    try {
        while (!m_failed) {
            message_ptr message = m_cutter.next(*this);
            if (!message)
                break;
            Q_EMIT messageReceived(std::move(message));
        }
    } catch (const std::exception& e) {
        fail(e.what());
    } catch (...) {
        fail("unknown exception");
    }
    // Bytes of a frame that is not whole yet, or the end of one: whatever
    // comes behind it waits for the rest, and the rest is on its way.
    if (wasInFrame || m_cutter.inFrame())
        m_frameProgress.start();
    m_receiving = false;
}

void Connection::resetStream()
{
    m_cutter.reset();
    m_failed = false;
    m_frameProgress.invalidate();
}

void Connection::sendFrame(const std::vector<unsigned char>& frame)
{
    try {
        if (write(reinterpret_cast<const char*>(frame.data()), qint64(frame.size())) == -1)
            throw std::runtime_error("error while writing to socket");
    } catch (const std::exception& e) {
        fail(e.what());
    } catch (...) {
        fail("unknown exception");
    }
}

void Connection::setNoDelay(bool on)
{
    if (socketDescriptor() == -1)
        throw std::runtime_error("setsockopt() failed");
    setSocketOption(QAbstractSocket::LowDelayOption, on ? 1 : 0);
}

void Connection::fail(const std::string& what)
{
    if (m_failed)
        return;
    m_failed = true;
    Q_EMIT exceptionCaught(what);
    // Closed from the event loop rather than from inside the socket's own
    // notification; nothing is read meanwhile because of m_failed.
    QMetaObject::invokeMethod(this, &QAbstractSocket::abort, Qt::QueuedConnection);
}
