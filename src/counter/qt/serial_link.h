#pragma once

#include "counter/capture.h"
#include "counter/counter_decoder.h"
#include "counter/foreign_counter_watch.h"
#include "counter/port_map.h"

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QMessageBox;
class QWidget;

namespace cronovolta {

// What the link asks of or tells the organiser.
class LinkPrompt {
public:
    virtual ~LinkPrompt() = default;
    // A port cannot be opened: Retry (true) or Cancel (false).
    virtual bool retryOpen(int circuit, const QString& text) = 0;
    // A port went away while open, or came back; told once each, without blocking.
    virtual void portLost(int circuit, const QString& text) = 0;
    virtual void portRestored(int circuit, const QString& text) = 0;
    // Bytes arrive but do not fit the configured counter model; told once per opening.
    virtual void foreignCounter(int /*circuit*/, const QString& /*text*/) {}
    // The language of the program settings (0 Català, 1 Castellà) for the prompt's own texts.
    virtual void setLanguage(int) {}
};

// Message boxes: title "Error", Retry/Cancel for a port that cannot be opened, a notice that
// does not stop the heat for a port that is lost or back.
class MessageBoxPrompt final : public LinkPrompt {
public:
    explicit MessageBoxPrompt(QWidget* parent = nullptr) : m_parent(parent) {}
    bool retryOpen(int circuit, const QString& text) override;
    void portLost(int circuit, const QString& text) override;
    void portRestored(int circuit, const QString& text) override;
    void foreignCounter(int circuit, const QString& text) override;
    void setLanguage(int language) override { m_language = language; }

private:
    QMessageBox* notice(const QString& text);
    QWidget* m_parent;
    int m_language = 0;
    std::map<int, QPointer<QMessageBox>> m_lost; // by circuit, while shown
};

// The serial ports of the circuits: one port per circuit, its bytes handed to the decoder
// of the configured counter model. Lives on the UI thread.
class SerialLink : public QObject {
    Q_OBJECT
public:
    SerialLink(HeatControl& heat, LinkPrompt& prompt, QObject* parent = nullptr);
    ~SerialLink() override;

    // Host clock in seconds since midnight; the default reads the local time.
    void setClock(std::function<double()> now) { m_now = std::move(now); }
    // The heat clock tick, stopped while bytes are decoded and started again if a heat runs.
    void setTick(std::function<void()> stop, std::function<void()> start);
    void setLanguage(int language) {
        m_language = language;
        m_prompt.setLanguage(language);
    }
    void setPortMap(PortMap map) { m_portMap = std::move(map); }
    // Appends everything received to a capture file from now on (empty path: stop).
    void setCaptureFile(const fs::path& file);
    CaptureWriter* capture() { return m_capture ? &*m_capture : nullptr; }

    // (Re)opens one port per circuit of the track with the model's line settings and starts
    // a fresh decoder. Not to be called while an interrupted run is being recovered.
    void configurePorts(const TrackConfig& track, CounterModel model);
    void closePorts();

    int circuits() const { return static_cast<int>(m_ports.size()); }
    bool isOpen(int circuit) const;
    QString devicePath(int circuit) const;
    // How often a lost port is tried again.
    void setReconnectInterval(int milliseconds) { m_reconnect.setInterval(milliseconds); }

signals:
    // Every chunk as it arrived, before it is decoded.
    void bytesReceived(int circuit, const QByteArray& bytes);

private:
    struct Port {
        QSerialPort* serial = nullptr;
        QString path;
        bool open = false; // configured and open; false after Cancel
        bool lost = false; // went away while open; tried again by the reconnect timer
    };

    struct Chunk {
        int circuit;
        QByteArray bytes;
        double now;
    };

    bool openPort(Port& port);
    void receive(int circuit);
    void decode(const Chunk& chunk);
    void portError(int circuit);
    void reconnect();

    HeatControl& m_heat;
    LinkPrompt& m_prompt;
    std::function<double()> m_now;
    std::function<void()> m_stopTick;
    std::function<void()> m_startTick;
    int m_language = 0;
    CounterModel m_model = CounterModel::DS030;
    PortMap m_portMap;
    std::optional<CaptureWriter> m_capture;
    std::unique_ptr<CounterDecoder> m_decoder;
    std::optional<ForeignCounterWatch> m_watch;
    std::vector<Port> m_ports;
    // Bytes that arrive while a decode is under way (heat control may open a modal dialog)
    // wait their turn, so that a decoder never runs inside itself and order is kept.
    bool m_decoding = false;
    std::vector<Chunk> m_waiting;
    std::vector<std::unique_ptr<CounterDecoder>> m_retired;
    QTimer m_reconnect;
};

// Why a port could not be opened, from Qt's error and the device file.
PortProblem portOpenProblem(QSerialPort::SerialPortError error, const QString& device);

// Seconds since midnight of the local clock.
double secondsSinceMidnight();

} // namespace cronovolta
