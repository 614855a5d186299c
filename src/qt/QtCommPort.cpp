#include "qt/QtCommPort.h"

#include <QSerialPort>
#include <QTimer>

#include <cerrno>
#include <cstring>

namespace velmora {

namespace {

// The errno-style code the status record keeps for a QSerialPort error.
uint32_t CodeOf(QSerialPort::SerialPortError e) {
    switch (e) {
    case QSerialPort::NoError: return 0;
    case QSerialPort::DeviceNotFoundError: return ENOENT;
    case QSerialPort::PermissionError: return EACCES;
    case QSerialPort::OpenError: return EBUSY;
    case QSerialPort::NotOpenError: return EBADF;
    case QSerialPort::UnsupportedOperationError: return ENOTTY;
    case QSerialPort::TimeoutError: return ETIMEDOUT;
    default: return EIO;
    }
}

bool IsDeviceGone(QSerialPort::SerialPortError e) {
    return e == QSerialPort::ReadError || e == QSerialPort::WriteError ||
           e == QSerialPort::ResourceError;
}

} // namespace

QtCommPort::QtCommPort() : port_(std::make_unique<QSerialPort>()) {
    QSerialPort* port = port_.get();
    QObject::connect(port, &QSerialPort::errorOccurred, port, [this, port](QSerialPort::SerialPortError e) {
        if (!open_ || failed_ || !IsDeviceGone(e)) return;
        NoteError(e);
        // Closing inside Qt's own notification is not safe; stop the storm of
        // further notifications on the next turn of the event loop.
        QTimer::singleShot(0, port, [port] {
            if (port->isOpen()) port->close();
        });
    });
}

QtCommPort::~QtCommPort() { Close(); }

void QtCommPort::NoteError(int qtError) {
    failed_ = true;
    errorCode_ = CodeOf(static_cast<QSerialPort::SerialPortError>(qtError));
    errorText_ = port_->errorString().toStdString();
}

void QtCommPort::TakeError() {
    const auto e = port_->error();
    if (e == QSerialPort::NoError) return;
    if (IsDeviceGone(e) && open_ && !failed_) NoteError(e);
    port_->clearError();
}

bool QtCommPort::Open(const std::string& device) {
    Close();
    failed_ = false;
    port_->setPortName(QString::fromStdString(device));
    if (device.empty() || !port_->open(QIODevice::ReadWrite)) {
        const auto e = device.empty() ? QSerialPort::DeviceNotFoundError : port_->error();
        errorCode_ = CodeOf(e);
        errorText_ = device.empty() ? std::strerror(ENOENT) : port_->errorString().toStdString();
        port_->clearError();
        return false;
    }
    open_ = true;
    errorCode_ = 0;
    errorText_ = std::strerror(0);
    port_->clear(QSerialPort::AllDirections);
    return true;
}

bool QtCommPort::Configure(const PortMode& mode) {
    if (!open_) return false;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    switch (mode.parity) {
    case Parity::None: parity = QSerialPort::NoParity; break;
    case Parity::Even: parity = QSerialPort::EvenParity; break;
    case Parity::Odd: parity = QSerialPort::OddParity; break;
    case Parity::Mark: parity = QSerialPort::MarkParity; break;
    case Parity::Space: parity = QSerialPort::SpaceParity; break;
    }
    QSerialPort::StopBits stop = QSerialPort::OneStop;
    switch (mode.stopBits) {
    case StopBits::One: stop = QSerialPort::OneStop; break;
    case StopBits::OneAndHalf: stop = QSerialPort::OneAndHalfStop; break;
    case StopBits::Two: stop = QSerialPort::TwoStop; break;
    }
    const bool ok = port_->setBaudRate(mode.baudRate) &&
                    port_->setDataBits(static_cast<QSerialPort::DataBits>(mode.dataBits)) &&
                    port_->setParity(parity) && port_->setStopBits(stop) &&
                    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        errorCode_ = CodeOf(port_->error());
        errorText_ = port_->errorString().toStdString();
        port_->clearError();
    }
    return ok;
}

long QtCommPort::Write(const uint8_t* bytes, std::size_t count) {
    if (!open_ || failed_) return -1;
    const qint64 n = port_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(count));
    // Push the bytes out now without waiting; without an event loop nothing
    // else would.
    if (n >= 0) port_->flush();
    TakeError();
    if (n < 0 || failed_) return -1;
    return static_cast<long>(n);
}

CommReadResult QtCommPort::Read(uint8_t* buffer, std::size_t max) {
    CommReadResult r;
    if (!open_) return r;
    if (!failed_ && port_->isOpen() && port_->bytesAvailable() == 0) {
        // Takes what the driver holds without waiting (needed when no event
        // loop runs; harmless when one does).
        port_->waitForReadyRead(0);
    }
    TakeError();
    if (failed_) {
        r.failed = true;
        return r;
    }
    const qint64 n = port_->read(reinterpret_cast<char*>(buffer), static_cast<qint64>(max));
    TakeError();
    if (n < 0 || failed_) {
        if (!failed_) {
            failed_ = true;
            errorCode_ = EIO;
            errorText_ = port_->errorString().toStdString();
        }
        r.failed = true;
        return r;
    }
    r.count = static_cast<std::size_t>(n);
    return r;
}

void QtCommPort::DiscardInput() {
    if (!open_ || failed_ || !port_->isOpen()) return;
    port_->clear(QSerialPort::Input);
    TakeError();
}

void QtCommPort::Close() {
    if (port_ && port_->isOpen()) port_->close();
    if (port_) port_->clearError();
    open_ = false;
}

} // namespace velmora
