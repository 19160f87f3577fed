#pragma once

#include "live/live_requests.h"
#include "live/live_snapshot.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <expected>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QThread;

namespace cronovolta::live {

// The live-results server: the page, its script and style, the two JSON paths and the
// WebSocket that pushes the changes of the page's snapshot. It only reads: see
// checkRequest() for what it answers. Its sockets live on a thread of its own, so that the
// clients' traffic never holds up the thread that calls it; every call is made from the
// thread that owns it.
class LiveServer : public QObject {
    Q_OBJECT
public:
    explicit LiveServer(QObject* parent = nullptr);
    ~LiveServer() override;

    // False when the program was built without Qt's HTTP server and WebSockets.
    static bool builtIn();

    // Listens on `address` ("0.0.0.0", "127.0.0.1", ...) and `port` (0: any free one). On
    // failure the system's reason, and nothing listens.
    std::expected<void, QString> start(const QString& address, int port);
    void stop();
    // How long an HTTP connection may stay without completing a request (for the next start).
    void setIdleTimeout(int ms);
    // How many places one client address may hold (the benchmark's phones share one).
    void setClientShare(int places);
    bool listening() const;
    int port() const; // the port listened on
    QString address() const;

    // Names besides "localhost" and the computer's addresses that a request's Host may give
    // (the settings' "hosts"); any other Host is refused.
    void setAllowedHosts(const std::vector<std::string>& names);

    // Answers "/api/classification": the JSON text, or the reason there is none.
    using ClassificationSource =
        std::function<std::expected<std::string, std::string>(const ClassificationQuery&)>;
    void setClassificationSource(ClassificationSource source, int defaultEvent);

    // The page's new state: its changes go to every client, from the server's thread.
    void publish(const LiveSnapshot& snapshot);
    const LiveSnapshot& snapshot() const;
    long long version() const;

    // These four ask the server's thread, and wait for its answer.
    int connectionCount() const; // HTTP and WebSocket connections open
    int clientCount() const;     // WebSocket clients
    // For the benchmark: messages handed to clients, and clients skipped as behind.
    long long messagesSent() const;
    long long changesSkipped() const;

    // The addresses to type in a browser on the local networks.
    static QStringList pageAddresses(const QString& address, int port);

signals:
    void clientsChanged(int clients);
    // A new version was handed to the server's thread (the benchmark times its arrival).
    void published(qint64 version);

private:
    template <typename F> auto onServerThread(F&& f) const;

    struct Impl;
    std::unique_ptr<Impl> d;
    QThread* m_thread = nullptr;
    QObject* m_worker = nullptr; // lives on m_thread: what the calls are queued on
    // What the calling thread knows without asking.
    LiveSnapshot m_snapshot;
    long long m_version = 1;
    bool m_listening = false;
    int m_port = 0;
    QString m_address;
};

} // namespace cronovolta::live
