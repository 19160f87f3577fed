#include "live/qt/live_server.h"

#include <QNetworkInterface>

#ifdef CRONOVOLTA_HAVE_LIVE_SERVER
#include "live/client_flow.h"
#include "live/client_limits.h"
#include "storage/platform.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QFile>
#include <QHostInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrlQuery>
#include <QWebSocket>

#include <list>
#include <type_traits>
#endif

// The page lives in the static library: its resources are registered by hand, outside any
// namespace.
static void initLiveResources() {
    Q_INIT_RESOURCE(live);
}

namespace cronovolta::live {

QStringList LiveServer::pageAddresses(const QString& address, int port) {
    QStringList out;
    const QHostAddress bound(address);
    if (bound != QHostAddress::AnyIPv4 && bound != QHostAddress::Any &&
        bound != QHostAddress::AnyIPv6) {
        return {QString::fromStdString(pageUrl(address.toStdString(), port))};
    }
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback() && !a.isLinkLocal()) {
            out << QString::fromStdString(pageUrl(a.toString().toStdString(), port));
        }
    }
    if (out.isEmpty()) {
        out << QString::fromStdString(pageUrl("127.0.0.1", port));
    }
    return out;
}

#ifndef CRONOVOLTA_HAVE_LIVE_SERVER

struct LiveServer::Impl {
    LiveSnapshot snapshot;
};

LiveServer::LiveServer(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {}
LiveServer::~LiveServer() = default;
bool LiveServer::builtIn() {
    return false;
}
std::expected<void, QString> LiveServer::start(const QString&, int) {
    return std::unexpected(QStringLiteral("not built in"));
}
void LiveServer::stop() {}
void LiveServer::setIdleTimeout(int) {}
void LiveServer::setClientShare(int) {}
bool LiveServer::listening() const {
    return false;
}
int LiveServer::port() const {
    return 0;
}
QString LiveServer::address() const {
    return {};
}
void LiveServer::setAllowedHosts(const std::vector<std::string>&) {}
void LiveServer::setClassificationSource(ClassificationSource, int) {}
void LiveServer::publish(const LiveSnapshot& snapshot) {
    d->snapshot = snapshot;
}
const LiveSnapshot& LiveServer::snapshot() const {
    return d->snapshot;
}
long long LiveServer::version() const {
    return 0;
}
int LiveServer::connectionCount() const {
    return 0;
}
int LiveServer::clientCount() const {
    return 0;
}
long long LiveServer::messagesSent() const {
    return 0;
}
long long LiveServer::changesSkipped() const {
    return 0;
}

#else

namespace {

// Dead phones are found by their missing answers to pings.
constexpr int kPingMs = 15000;
constexpr int kSilentClientMs = 45000;
// A connection that has not completed a request in this time is closed: idle connections
// must not hold the places of the connection limit.
constexpr int kIdleHttpMs = 10000;

// The places of the connection limit are shared by address; an IPv6 host is one /64 network,
// which it can fill with addresses of its own.
std::string clientKey(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip4 = address.toIPv4Address(&v4);
    if (v4) {
        return QHostAddress(ip4).toString().toStdString();
    }
    const Q_IPV6ADDR ip6 = address.toIPv6Address();
    QByteArray prefix(reinterpret_cast<const char*>(ip6.c), 8);
    return prefix.toHex().toStdString() + "::/64";
}

// An address as a Host header writes it: an IPv4 client of a server on "::" reaches it at
// "::ffff:a.b.c.d", and asks for "a.b.c.d".
std::string hostText(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip4 = address.toIPv4Address(&v4);
    return (v4 ? QHostAddress(ip4) : address).toString().toStdString();
}

// A connection that holds its place in the limit while it lives: the HTTP server deletes it
// when it is done, or the WebSocket that took it over does.
class CountedSocket : public QTcpSocket {
public:
    CountedSocket(std::shared_ptr<ClientPlaces> places, QObject* parent)
        : QTcpSocket(parent), m_places(std::move(places)) {}
    ~CountedSocket() override {
        if (m_holds) {
            m_places->release(m_client);
        }
    }
    bool takePlace() {
        m_client = clientKey(peerAddress());
        m_holds = m_places->take(m_client);
        return m_holds;
    }
    bool upgraded = false;
    RequestMeter meter{kMaxRequestBytes};

private:
    std::shared_ptr<ClientPlaces> m_places;
    std::string m_client;
    bool m_holds = false;
};

class LimitedTcpServer : public QTcpServer {
public:
    explicit LimitedTcpServer(std::shared_ptr<ClientPlaces> places, QObject* parent)
        : QTcpServer(parent), m_places(std::move(places)) {}
    std::list<QPointer<CountedSocket>> sockets;
    int idleMs = kIdleHttpMs;

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* counted = new CountedSocket(m_places, this);
        if (!counted->setSocketDescriptor(descriptor)) {
            delete counted;
            return;
        }
        if (!counted->takePlace()) {
            // Those who came first keep their places; the newcomer is told to come back.
            counted->write("HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\n"
                           "Content-Length: 0\r\n\r\n");
            connect(counted, &QTcpSocket::disconnected, counted, &QObject::deleteLater);
            counted->disconnectFromHost();
            return;
        }
        // Little more than a request's worth is read from the system at a time, and past the
        // limit the counting below closes the connection.
        counted->setReadBufferSize(static_cast<qint64>(2 * kMaxRequestBytes));
        // Before the HTTP server's own slot: what arrived since the last look.
        connect(counted, &QTcpSocket::readyRead, counted, [counted] {
            counted->meter.beforeRead(static_cast<std::size_t>(counted->bytesAvailable()));
        });
        auto* idle = new QTimer(counted);
        idle->setInterval(idleMs);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, counted, [counted] {
            if (!counted->upgraded) {
                counted->abort();
            }
        });
        connect(counted, &QTcpSocket::bytesWritten, idle, qOverload<>(&QTimer::start));
        idle->start();
        std::erase_if(sockets, [](const QPointer<CountedSocket>& s) { return s.isNull(); });
        sockets.emplace_back(counted);
        // The HTTP server takes the connection and connects to it here.
        addPendingConnection(counted);
        // After the HTTP server's slot: what it left unread. Once the connection becomes a
        // WebSocket the server cuts these connections.
        connect(counted, &QTcpSocket::readyRead, counted, [counted] {
            if (!counted->meter.afterRead(static_cast<std::size_t>(counted->bytesAvailable()))) {
                // Not inside this signal: other slots may still run on it.
                QTimer::singleShot(0, counted, [counted] { counted->abort(); });
            }
        });
    }

private:
    std::shared_ptr<ClientPlaces> m_places;
};

struct Client {
    std::unique_ptr<QWebSocket> socket;
    ClientFlow flow{kMaxUnsentBytes};
    qint64 lastHeard = 0;
};

QByteArray methodName(QHttpServerRequest::Method method) {
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Options:
        return "OPTIONS";
    case QHttpServerRequest::Method::Patch:
        return "PATCH";
    case QHttpServerRequest::Method::Connect:
        return "CONNECT";
    case QHttpServerRequest::Method::Trace:
        return "TRACE";
    default:
        return "UNKNOWN";
    }
}

QString resourceOf(Route route) {
    switch (route) {
    case Route::Script:
        return QStringLiteral(":/live/live.js");
    case Route::Style:
        return QStringLiteral(":/live/live.css");
    default:
        return QStringLiteral(":/live/index.html");
    }
}

} // namespace

struct LiveServer::Impl : QAbstractHttpServer {
    LiveServer* owner;
    std::shared_ptr<ClientPlaces> places =
        std::make_shared<ClientPlaces>(kMaxConnections, kMaxConnectionsPerClient);
    std::vector<std::string> allowedHosts; // the computer's addresses and names
    std::vector<std::string> extraHosts;   // the names of the settings
    LimitedTcpServer* tcp = nullptr;
    std::list<Client> clients;
    LiveSnapshot current;
    long long currentVersion = 1;
    std::string currentText; // the snapshot's JSON, made when first needed
    ClassificationSource classification;
    int defaultEvent = 0;
    QTimer pings;
    QElapsedTimer uptime;
    long long sent = 0;
    long long skipped = 0;
    int idleMs = kIdleHttpMs;

    explicit Impl(LiveServer* o) : owner(o) {
        uptime.start();
        connect(this, &QAbstractHttpServer::newWebSocketConnection, this, [this] { accept(); });
        pings.setInterval(kPingMs);
        connect(&pings, &QTimer::timeout, this, [this] { pingClients(); });
    }

    const std::string& snapshotText() {
        if (currentText.empty()) {
            currentText = snapshotJson(current, currentVersion);
        }
        return currentText;
    }

    static void answer(QHttpServerResponder& r, int status, std::string_view type,
                       const QByteArray& body) {
        r.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(status));
        r.writeHeader("Content-Type", QByteArray(type.data(), static_cast<qsizetype>(type.size())));
        r.writeHeader("Cache-Control", "no-store");
        r.writeHeader("X-Content-Type-Options", "nosniff");
        r.writeHeader("Referrer-Policy", "no-referrer");
        r.writeHeader("Content-Security-Policy",
                      "default-src 'none'; script-src 'self'; style-src 'self'; "
                      "connect-src 'self'; img-src 'self'; base-uri 'none'; "
                      "form-action 'none'; frame-ancestors 'none'");
        r.writeHeader("Content-Length", QByteArray::number(body.size()));
        r.writeBody(body);
    }

    static QByteArray errorBody(std::string_view message) {
        std::string text = "{\"error\":" + std::string(1, '"');
        for (char c : message) {
            text += c == '"' || c == '\\' ? ' ' : c;
        }
        return QByteArray::fromStdString(text + "\"}");
    }

    // The computer's addresses as they were at the start, and its name.
    void findAllowedHosts() {
        allowedHosts = extraHosts;
        for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
            allowedHosts.push_back(hostText(a));
        }
        const QString name = QHostInfo::localHostName().toLower();
        if (!name.isEmpty()) {
            allowedHosts.push_back(name.toStdString());
            allowedHosts.push_back(name.toStdString() + ".local");
        }
    }

    // The Host of a request, checked against the computer's names and the address the client
    // reached, which may have come up after the start.
    bool hostOk(const QByteArray& host, const QHostAddress& local) const {
        if (hostAllowed(host.toStdString(), allowedHosts)) {
            return true;
        }
        return hostAllowed(host.toStdString(), {hostText(local)});
    }

    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        auto* counted = dynamic_cast<CountedSocket*>(socket);
        if (counted &&
            !counted->meter.requestDone(static_cast<std::size_t>(socket->bytesAvailable()))) {
            // Too long, though it came in one piece: not answered, as one that goes on.
            QTimer::singleShot(0, counted, [counted] { counted->abort(); });
            return true;
        }
        // The WebSocket server has taken an upgrade over already: it answers it.
        if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0 &&
            request.method() == QHttpServerRequest::Method::Get) {
            return true;
        }
        QHttpServerResponder responder = makeResponder(request, socket);
        constexpr std::string_view kJson = "application/json; charset=utf-8";
        if (!hostOk(request.value("host"), socket->localAddress())) {
            answer(responder, 421, kJson, errorBody("unknown host name"));
            return true;
        }
        const QByteArray path = request.url().path(QUrl::FullyEncoded).toUtf8();
        const RequestVerdict verdict =
            checkRequest(methodName(request.method()).toStdString(), path.toStdString(),
                         static_cast<std::size_t>(request.headers().size()),
                         static_cast<std::size_t>(request.body().size()));
        if (verdict.status != 200) {
            answer(responder, verdict.status, kJson, errorBody("refused"));
            return true;
        }
        switch (verdict.route) {
        case Route::Live:
            answer(responder, 200, kJson, QByteArray::fromStdString(snapshotText()));
            break;
        case Route::Classification: {
            auto query = parseClassificationQuery(
                request.url().query(QUrl::FullyEncoded).toStdString(), defaultEvent);
            if (!query) {
                answer(responder, 400, kJson,
                       errorBody("type=OFC|SPP|CRS, series=N|all and event=N expected"));
                break;
            }
            auto json =
                classification
                    ? classification(*query)
                    : std::expected<std::string, std::string>(std::unexpected("no data folder"));
            if (json) {
                answer(responder, 200, kJson, QByteArray::fromStdString(*json));
            } else {
                answer(responder, 404, kJson, errorBody(json.error()));
            }
            break;
        }
        case Route::Socket:
            answer(responder, 426, kJson, errorBody("WebSocket only"));
            break;
        default: {
            QFile file(resourceOf(verdict.route));
            file.open(QIODevice::ReadOnly);
            answer(responder, 200, contentType(verdict.route), file.readAll());
        }
        }
        return true;
    }

    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}

    void accept() {
        while (hasPendingWebSocketConnections()) {
            std::unique_ptr<QWebSocket> ws = nextPendingWebSocketConnection();
            if (!ws) {
                continue;
            }
            for (const auto& s : tcp ? tcp->sockets : std::list<QPointer<CountedSocket>>{}) {
                if (s && s->peerPort() == ws->peerPort() && s->peerAddress() == ws->peerAddress()) {
                    s->upgraded = true;
                }
            }
            // Nothing is sent before these checks: a page of another site, or a name that is
            // not this computer's, reads no data.
            QByteArray host = ws->request().rawHeader("Host");
            if (host.isEmpty()) { // the handshake's Host, as the request's address holds it
                host = ws->requestUrl().authority(QUrl::FullyEncoded).toUtf8();
            }
            if (ws->requestUrl().path() != QStringLiteral("/ws") ||
                !hostOk(host, ws->localAddress()) ||
                !originAllowed(ws->origin().toStdString(), host.toStdString())) {
                ws->close(QWebSocketProtocol::CloseCodePolicyViolated);
                ws.release()->deleteLater();
                continue;
            }
            ws->setMaxAllowedIncomingFrameSize(kMaxClientMessageBytes);
            ws->setMaxAllowedIncomingMessageSize(kMaxClientMessageBytes);
            clients.push_back({std::move(ws)});
            Client& client = clients.back();
            client.lastHeard = uptime.elapsed();
            QWebSocket* socket = client.socket.get();
            connect(socket, &QWebSocket::bytesWritten, this, [this, &client](qint64 bytes) {
                if (client.flow.written(static_cast<std::size_t>(bytes))) {
                    send(client, snapshotText());
                }
            });
            connect(socket, &QWebSocket::pong, this,
                    [this, &client] { client.lastHeard = uptime.elapsed(); });
            connect(socket, &QWebSocket::textMessageReceived, this,
                    [this, &client] { client.lastHeard = uptime.elapsed(); });
            connect(socket, &QWebSocket::disconnected, this, [this, socket] { drop(socket); });
            send(client, snapshotText());
            if (!pings.isActive()) {
                pings.start();
            }
            emit owner->clientsChanged(static_cast<int>(clients.size()));
        }
    }

    void send(Client& client, const std::string& text) {
        client.socket->sendTextMessage(QString::fromStdString(text));
        // Out now, not after the screens' repaint that follows a burst of crossings.
        client.socket->flush();
        client.flow.sent(text.size(), currentVersion);
        ++sent;
    }

    void drop(QWebSocket* socket) {
        for (auto it = clients.begin(); it != clients.end(); ++it) {
            if (it->socket.get() == socket) {
                it->socket->disconnect(this);
                it->socket.release()->deleteLater(); // inside its own signal
                clients.erase(it);
                emit owner->clientsChanged(static_cast<int>(clients.size()));
                return;
            }
        }
    }

    void pingClients() {
        const qint64 now = uptime.elapsed();
        std::vector<QWebSocket*> silent;
        for (Client& c : clients) {
            if (now - c.lastHeard > kSilentClientMs) {
                silent.push_back(c.socket.get());
            } else {
                c.socket->ping();
            }
        }
        for (QWebSocket* s : silent) {
            s->abort();
            drop(s);
        }
        if (clients.empty()) {
            pings.stop();
        }
    }

    void publish(const LiveSnapshot& next) {
        if (next == current) {
            return;
        }
        const long long base = currentVersion;
        const std::string change = changeJson(current, next, base, base + 1);
        current = next;
        currentVersion = base + 1;
        currentText.clear();
        for (Client& c : clients) {
            switch (c.flow.offer(base)) {
            case ClientFlow::Send::Change:
                send(c, change);
                break;
            case ClientFlow::Send::Snapshot:
                send(c, snapshotText());
                break;
            case ClientFlow::Send::Nothing:
                ++skipped;
                break;
            }
        }
    }

    void closeAll() {
        for (Client& c : clients) {
            c.socket->disconnect(this);
            c.socket->abort();
        }
        clients.clear();
        pings.stop();
        if (tcp) {
            tcp->close();
            for (const auto& s : tcp->sockets) {
                if (s) {
                    s->abort();
                }
            }
            delete tcp;
            tcp = nullptr;
        }
    }
};

// Runs `f` on the server's thread and returns what it returns; the caller waits.
template <typename F> auto LiveServer::onServerThread(F&& f) const {
    using Result = std::invoke_result_t<F>;
    if (QThread::currentThread() == m_thread) {
        return f();
    }
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(m_worker, std::forward<F>(f), Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(m_worker, std::forward<F>(f), Qt::BlockingQueuedConnection,
                                  &result);
        return result;
    }
}

LiveServer::LiveServer(QObject* parent) : QObject(parent) {
    initLiveResources();
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("live server"));
    m_worker = new QObject;
    m_worker->moveToThread(m_thread);
    QObject::connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start();
    // Its sockets and timers must belong to the thread that runs them. Below the program's
    // own threads: the screens of a heat come before the phones.
    onServerThread([this] {
        platform::lowerThreadPriority();
        d = std::make_unique<Impl>(this);
    });
}

LiveServer::~LiveServer() {
    onServerThread([this] {
        d->closeAll();
        d.reset();
    });
    m_thread->quit();
    m_thread->wait();
}

bool LiveServer::builtIn() {
    return true;
}

std::expected<void, QString> LiveServer::start(const QString& address, int port) {
    stop();
    QHostAddress host;
    if (!host.setAddress(address)) {
        return std::unexpected(QStringLiteral("%1 is not an IP address").arg(address));
    }
    std::expected<void, QString> started = onServerThread([this, host, port] {
        auto* tcp = new LimitedTcpServer(d->places, d.get());
        if (!tcp->listen(host, static_cast<quint16>(port))) {
            QString reason = tcp->errorString();
            delete tcp;
            return std::expected<void, QString>(std::unexpected(reason));
        }
        tcp->idleMs = d->idleMs;
        d->findAllowedHosts();
        tcp->setMaxPendingConnections(kMaxConnections);
        d->tcp = tcp;
        d->bind(tcp);
        m_listening = true;
        m_port = tcp->serverPort();
        m_address = tcp->serverAddress().toString();
        return std::expected<void, QString>();
    });
    return started;
}

void LiveServer::stop() {
    onServerThread([this] { d->closeAll(); });
    m_listening = false;
    m_port = 0;
    m_address.clear();
}
void LiveServer::setIdleTimeout(int ms) {
    onServerThread([this, ms] { d->idleMs = ms; });
}
void LiveServer::setClientShare(int places) {
    onServerThread([this, places] { d->places->setPerClient(places); });
}
bool LiveServer::listening() const {
    return m_listening;
}
int LiveServer::port() const {
    return m_port;
}
QString LiveServer::address() const {
    return m_address;
}

void LiveServer::setAllowedHosts(const std::vector<std::string>& names) {
    onServerThread([this, names] {
        d->extraHosts = names;
        d->findAllowedHosts();
    });
}

void LiveServer::setClassificationSource(ClassificationSource source, int defaultEvent) {
    onServerThread([this, source = std::move(source), defaultEvent]() mutable {
        d->classification = std::move(source);
        d->defaultEvent = defaultEvent;
    });
}

void LiveServer::publish(const LiveSnapshot& snapshot) {
    if (snapshot == m_snapshot) {
        return;
    }
    m_snapshot = snapshot;
    ++m_version;
    // Queued in order, so the server's versions follow these one by one.
    QMetaObject::invokeMethod(
        m_worker, [this, snapshot] { d->publish(snapshot); }, Qt::QueuedConnection);
    emit published(m_version);
}
const LiveSnapshot& LiveServer::snapshot() const {
    return m_snapshot;
}
long long LiveServer::version() const {
    return m_version;
}
int LiveServer::connectionCount() const {
    return onServerThread([this] { return d->places->taken(); });
}
int LiveServer::clientCount() const {
    return onServerThread([this] { return static_cast<int>(d->clients.size()); });
}
long long LiveServer::messagesSent() const {
    return onServerThread([this] { return d->sent; });
}
long long LiveServer::changesSkipped() const {
    return onServerThread([this] { return d->skipped; });
}

#endif

} // namespace cronovolta::live
