#include "counter/qt/serial_link.h"

#include "counter/counter_model.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSerialPort>
#include <QTime>
#include <QtDebug>

#include <cerrno>
#include <unistd.h>

namespace cronovolta {

PortProblem portOpenProblem(QSerialPort::SerialPortError error, const QString& device) {
    const QByteArray path = QFile::encodeName(device);
    if (error == QSerialPort::DeviceNotFoundError || ::access(path.constData(), F_OK) != 0) {
        return PortProblem::Missing;
    }
    if (error == QSerialPort::PermissionError) {
        // Qt says "permission" for a port another program has locked, too.
        return ::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES
                   ? PortProblem::NoPermission
                   : PortProblem::InUse;
    }
    return PortProblem::Unknown;
}

double secondsSinceMidnight() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

bool MessageBoxPrompt::retryOpen(int, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text,
                    QMessageBox::Retry | QMessageBox::Cancel, m_parent);
    // Qt's own captions would be English; the program speaks the organiser's language.
    box.button(QMessageBox::Retry)->setText(QString::fromStdString(retryButtonText(m_language)));
    box.button(QMessageBox::Cancel)->setText(QString::fromStdString(cancelButtonText(m_language)));
    box.setDefaultButton(QMessageBox::Retry);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Retry;
}

void MessageBoxPrompt::portLost(int circuit, const QString& text) {
    m_lost[circuit] = notice(text);
}

void MessageBoxPrompt::portRestored(int circuit, const QString& text) {
    // The loss is over: its message would only contradict this one.
    if (auto it = m_lost.find(circuit); it != m_lost.end()) {
        if (it->second) {
            it->second->close();
        }
        m_lost.erase(it);
    }
    notice(text);
}

void MessageBoxPrompt::foreignCounter(int, const QString& text) {
    notice(text);
}

QMessageBox* MessageBoxPrompt::notice(const QString& text) {
    // Not modal: the heat goes on while the message is shown.
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Error"), text,
                                QMessageBox::Ok, m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    return box;
}

SerialLink::SerialLink(HeatControl& heat, LinkPrompt& prompt, QObject* parent)
    : QObject(parent), m_heat(heat), m_prompt(prompt), m_now(secondsSinceMidnight) {
    m_reconnect.setInterval(1000);
    connect(&m_reconnect, &QTimer::timeout, this, &SerialLink::reconnect);
}

SerialLink::~SerialLink() {
    closePorts();
}

void SerialLink::setTick(std::function<void()> stop, std::function<void()> start) {
    m_stopTick = std::move(stop);
    m_startTick = std::move(start);
}

void SerialLink::setCaptureFile(const fs::path& file) {
    m_capture.reset();
    if (!file.empty()) {
        m_capture.emplace(file);
    }
}

void SerialLink::configurePorts(const TrackConfig& track, CounterModel model) {
    m_model = model;
    const CounterSetup setup = counterSetup(track, model);
    if (m_decoding) {
        m_retired.push_back(std::move(m_decoder)); // its read() is still on the stack
    }
    m_decoder = makeDecoder(setup, m_heat);
    m_watch.emplace(model, static_cast<int>(track.circuits.size()));
    for (std::size_t c = m_ports.size(); c > track.circuits.size(); --c) {
        m_ports.back().serial->close();
        m_ports.back().serial->deleteLater();
        m_ports.pop_back();
    }
    m_ports.resize(track.circuits.size());
    if (m_capture) {
        m_capture->comment(std::string(counterModelName(model)) + " on " +
                           std::to_string(m_ports.size()) + " circuit(s)");
    }
    for (std::size_t c = 0; c < m_ports.size(); ++c) {
        const int circuit = static_cast<int>(c) + 1;
        Port& port = m_ports[c];
        if (port.serial == nullptr) {
            port.serial = new QSerialPort(this);
            connect(port.serial, &QSerialPort::readyRead, this,
                    [this, circuit] { receive(circuit); });
            connect(port.serial, &QSerialPort::errorOccurred, this,
                    [this, circuit] { portError(circuit); });
        }
        if (port.serial->isOpen()) {
            port.serial->close();
        }
        port.open = false;
        port.lost = false;
        port.path = QString::fromStdString(m_portMap.devicePath(track.circuits[c].port));
        port.serial->setPortName(port.path);
        port.serial->setBaudRate(counterBaudRate(model));
        port.serial->setDataBits(QSerialPort::Data8);
        port.serial->setParity(QSerialPort::NoParity);
        port.serial->setStopBits(QSerialPort::OneStop);
        port.serial->setFlowControl(QSerialPort::NoFlowControl);
        port.open = true;
        while (!openPort(port)) {
            const PortProblem problem = portOpenProblem(port.serial->error(), port.path);
            if (!m_prompt.retryOpen(
                    circuit, QString::fromStdString(portOpenFailedText(m_language, circuit, problem,
                                                                       port.path.toStdString())))) {
                port.open = false;
                break;
            }
        }
    }
}

bool SerialLink::openPort(Port& port) {
    if (port.serial->isOpen()) {
        return true;
    }
    if (!port.serial->open(QIODevice::ReadWrite)) {
        return false;
    }
    port.serial->clear(QSerialPort::Input);
    return true;
}

void SerialLink::closePorts() {
    m_reconnect.stop();
    for (auto& port : m_ports) {
        if (port.serial != nullptr && port.serial->isOpen()) {
            port.serial->close();
        }
        port.open = false;
        port.lost = false;
    }
}

bool SerialLink::isOpen(int circuit) const {
    return circuit >= 1 && circuit <= circuits() &&
           m_ports[static_cast<std::size_t>(circuit - 1)].open &&
           !m_ports[static_cast<std::size_t>(circuit - 1)].lost;
}

QString SerialLink::devicePath(int circuit) const {
    return circuit >= 1 && circuit <= circuits()
               ? m_ports[static_cast<std::size_t>(circuit - 1)].path
               : QString();
}

void SerialLink::receive(int circuit) {
    Port& port = m_ports[static_cast<std::size_t>(circuit - 1)];
    QByteArray bytes = port.serial->readAll();
    if (bytes.isEmpty() || !m_decoder) {
        return;
    }
    m_waiting.push_back({circuit, std::move(bytes), m_now()});
    if (m_decoding) {
        return;
    }
    m_decoding = true;
    if (m_stopTick) {
        m_stopTick();
    }
    // A port does not signal again for bytes it buffered while its own signal was being
    // handled: those are collected here.
    do {
        for (std::size_t i = 0; i < m_waiting.size(); ++i) {
            const Chunk chunk = m_waiting[i];
            decode(chunk);
        }
        m_waiting.clear();
        for (std::size_t c = 0; c < m_ports.size(); ++c) {
            QSerialPort* serial = m_ports[c].serial;
            if (serial != nullptr && serial->isOpen() && serial->bytesAvailable() > 0) {
                m_waiting.push_back({static_cast<int>(c) + 1, serial->readAll(), m_now()});
            }
        }
    } while (!m_waiting.empty());
    m_retired.clear();
    m_decoding = false;
    if (m_startTick && m_heat.heatRunning()) {
        m_startTick();
    }
}

void SerialLink::decode(const Chunk& chunk) {
    const std::string_view bytes(chunk.bytes.constData(), std::size_t(chunk.bytes.size()));
    if (m_capture) {
        if (auto written = m_capture->bytes(chunk.now, chunk.circuit, bytes); !written) {
            qWarning("%s", written.error().c_str());
            m_capture.reset(); // one warning, not one per chunk
        }
    }
    emit bytesReceived(chunk.circuit, chunk.bytes);
    if (m_decoder) {
        m_decoder->read(chunk.circuit, bytes, chunk.now);
    }
    if (m_watch && m_watch->read(chunk.circuit, bytes, chunk.now)) {
        m_prompt.foreignCounter(
            chunk.circuit, QString::fromStdString(foreignCounterText(
                               m_language, chunk.circuit, devicePath(chunk.circuit).toStdString(),
                               counterModelName(m_model))));
    }
}

void SerialLink::portError(int circuit) {
    Port& port = m_ports[static_cast<std::size_t>(circuit - 1)];
    const auto error = port.serial->error();
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) {
        return;
    }
    if (!port.open || port.lost) {
        return;
    }
    // The device went away (an adapter pulled out): say so once and keep trying quietly.
    port.lost = true;
    port.serial->close();
    if (m_decoder) {
        m_decoder->resetCircuit(circuit);
    }
    m_prompt.portLost(circuit, QString::fromStdString(portLostText(m_language, circuit)));
    m_reconnect.start();
}

void SerialLink::reconnect() {
    bool waiting = false;
    for (std::size_t c = 0; c < m_ports.size(); ++c) {
        Port& port = m_ports[c];
        if (!port.lost) {
            continue;
        }
        if (QFileInfo::exists(port.path) && openPort(port)) {
            port.lost = false;
            const int circuit = static_cast<int>(c) + 1;
            if (m_watch) {
                m_watch->reset(circuit);
            }
            m_prompt.portRestored(circuit,
                                  QString::fromStdString(portBackText(m_language, circuit)));
        } else {
            waiting = true;
        }
    }
    if (!waiting) {
        m_reconnect.stop();
    }
}

} // namespace cronovolta
