// The live-results server over the loopback address: what it answers, what it refuses, and
// how it holds up against many and slow clients.
#include "live/live_json.h"
#include "live/qt/live_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#if __has_include(<QWebSocket>)
#include <QWebSocket>
#define HAVE_WEBSOCKET_CLIENT 1
#endif

#include <list>
#include <memory>

using namespace cronovolta::live;

namespace {

struct Answer {
    int status = 0;
    QByteArray headers;
    QByteArray body;
};

// Sends `request` as it is and reads one answer (by its Content-Length), or what came before
// the server closed the connection.
Answer exchange(int port, const QByteArray& request, const QString& from = {}) {
    QTcpSocket socket;
    if (!from.isEmpty()) {
        socket.bind(QHostAddress(from));
    }
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    if (!socket.waitForConnected(5000)) {
        return {};
    }
    socket.write(request);
    QByteArray data;
    Answer a;
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 5000) {
        if (socket.bytesAvailable() == 0 && socket.state() != QAbstractSocket::ConnectedState) {
            break;
        }
        QTest::qWait(5);
        data += socket.readAll();
        const qsizetype end = data.indexOf("\r\n\r\n");
        if (end < 0) {
            continue;
        }
        a.headers = data.left(end);
        a.status = data.mid(9, 3).toInt();
        const qsizetype at = a.headers.toLower().indexOf("content-length: ");
        const int length = at < 0 ? 0 : a.headers.mid(at + 16).split('\r').first().toInt();
        if (data.size() >= end + 4 + length) {
            a.body = data.mid(end + 4, length);
            return a;
        }
    }
    return a;
}

QByteArray get(const QByteArray& path, const QByteArray& host = "127.0.0.1") {
    return "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
}

// A loopback address of its own for client `i`: the server sees four hosts.
QString clientAddress(int i) {
    return QStringLiteral("127.0.0.%1").arg(1 + i % 4);
}

LiveSnapshot snapshotWith(const std::string& name, int rows = 3) {
    LiveSnapshot s;
    s.head = {{"event", "Gran Premi"}, {"clock", "0:01:00"}, {"lang", "ca"}};
    s.standings.columns = {"", "Nom", "Voltes"};
    s.standings.align = "clr";
    for (int r = 1; r <= rows; ++r) {
        s.standings.rows.push_back({std::to_string(r), r == 1 ? name : "Pilot", "10"});
    }
    return s;
}

} // namespace

class LiveServerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<LiveServer> server;

    int startServer() {
        server = std::make_unique<LiveServer>();
        server->setIdleTimeout(120000); // idle connections are what some tests hold
        auto started = server->start(QStringLiteral("127.0.0.1"), 0);
        return started ? server->port() : 0;
    }

private slots:
    void init() {
        if (!LiveServer::builtIn()) {
            QSKIP("built without Qt's HTTP server and WebSockets");
        }
    }
    void cleanup() { server.reset(); }

    void methodsOtherThanGetAreRefused() {
        const int port = startServer();
        QVERIFY(port > 0);
        for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "HEAD", "OPTIONS", "TRACE"}) {
            const Answer a =
                exchange(port, QByteArray(method) + " /api/live HTTP/1.1\r\nHost: localhost\r\n"
                                                    "Content-Length: 0\r\n\r\n");
            QCOMPARE(a.status, 405);
        }
        const Answer page = exchange(port, get("/"));
        QCOMPARE(page.status, 200);
        QVERIFY(page.body.contains("live.js"));
        QVERIFY(page.headers.contains("Content-Security-Policy"));
        QCOMPARE(exchange(port, get("/live.js")).status, 200);
        QCOMPARE(exchange(port, get("/live.css")).status, 200);
        QCOMPARE(exchange(port, get("/ws")).status, 426);
        // A body on a GET is not read into anything.
        QCOMPARE(
            exchange(port, "GET / HTTP/1.1\r\nHost: localhost\r\nContent-Length: 5\r\n\r\nhello")
                .status,
            413);
    }

    void onlyItsOwnPathsAreServed() {
        const int port = startServer();
        QVERIFY(port > 0);
        for (const char* path :
             {"/../ZENTOR.CFG", "/..%2fZENTOR.CFG", "/%2e%2e/PISTA.CFG", "/api/../live.js",
              "/C:/Windows/win.ini", "/c:%5cboot.ini", "/index.html/..", "/PROVA001/PROVA.DAD",
              "/live.js.bak", "//etc/passwd", "/api/live/"}) {
            QCOMPARE(exchange(port, get(path)).status, 404);
        }
        QCOMPARE(exchange(port, get("/api/classification?type=LLR")).status, 400);
        QCOMPARE(exchange(port, get("/api/classification?type=CRS&series=1")).status,
                 400); // no event
        QCOMPARE(exchange(port, get("/api/classification?type=CRS&series=1&event=1")).status, 404);
    }

    void namesComeOutEscaped() {
        const int port = startServer();
        QVERIFY(port > 0);
        const std::string evil = "<img src=x onerror=alert(1)>\"</script>";
        server->publish(snapshotWith(evil));
        const Answer a = exchange(port, get("/api/live"));
        QCOMPARE(a.status, 200);
        QVERIFY(a.headers.contains("application/json"));
        QVERIFY(!a.body.contains('<'));
        QVERIFY(!a.body.contains('>'));
        const QJsonObject o = QJsonDocument::fromJson(a.body).object();
        QCOMPARE(o[QStringLiteral("v")].toInt(), int(server->version()));
        const QJsonArray rows =
            o[QStringLiteral("standings")].toObject()[QStringLiteral("rows")].toArray();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].toArray()[1].toString(), QString::fromStdString(evil));
    }

    void connectionLimitHoldsAndFreesItsPlaces() {
        const int port = startServer();
        QVERIFY(port > 0);
        std::list<QTcpSocket> held;
        for (int i = 1; i <= kMaxConnections; ++i) {
            held.emplace_back().bind(QHostAddress(clientAddress(i)));
            held.back().connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
            if (i % 20 == 0) { // within the listen queue of the system
                QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), i, 10000);
            }
        }
        QCOMPARE(exchange(port, get("/")).status, 503);
        for (int i = 0; i < 10; ++i) {
            held.front().abort();
            held.pop_front();
        }
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), kMaxConnections - 10, 10000);
        QCOMPARE(exchange(port, get("/"), clientAddress(1)).status, 200);
        // A request that goes on past the limit is cut off.
        QTcpSocket big;
        big.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
        QVERIFY(big.waitForConnected(5000));
        big.write("GET / HTTP/1.1\r\n");
        for (int i = 0; i < 400; ++i) {
            big.write("X-Padding: " + QByteArray(100, 'a') + "\r\n");
        }
        QTRY_COMPARE_WITH_TIMEOUT(big.state(), QAbstractSocket::UnconnectedState, 10000);
    }

    void idleConnectionsAreClosed() {
        server = std::make_unique<LiveServer>();
        server->setIdleTimeout(200);
        QVERIFY(server->start(QStringLiteral("127.0.0.1"), 0));
        QTcpSocket idle;
        idle.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(server->port()));
        QVERIFY(idle.waitForConnected(5000));
        idle.write("GET / HTT");
        QTRY_COMPARE_WITH_TIMEOUT(idle.state(), QAbstractSocket::UnconnectedState, 10000);
        QTRY_COMPARE(server->connectionCount(), 0);
    }

    // A phone that stops reading holds at most its allowance; when it reads again it gets
    // the latest snapshot. A phone that keeps up meanwhile gets every change.
    void slowClientGetsTheLatestSnapshot() {
#ifndef HAVE_WEBSOCKET_CLIENT
        QSKIP("no WebSocket client");
#else
        const int port = startServer();
        QVERIFY(port > 0);
        server->publish(snapshotWith("Anna"));
        const QUrl url(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port));
        QWebSocket fast;
        QWebSocket slow;
        std::vector<QJsonObject> fastMessages;
        std::vector<QJsonObject> slowMessages;
        connect(&fast, &QWebSocket::textMessageReceived, this, [&](const QString& m) {
            fastMessages.push_back(QJsonDocument::fromJson(m.toUtf8()).object());
        });
        connect(&slow, &QWebSocket::textMessageReceived, this, [&](const QString& m) {
            slowMessages.push_back(QJsonDocument::fromJson(m.toUtf8()).object());
        });
        fast.open(url);
        slow.open(url);
        QTRY_COMPARE_WITH_TIMEOUT(server->clientCount(), 2, 10000);
        QTRY_COMPARE(fastMessages.size() + 10 * slowMessages.size(), std::size_t(11));
        slow.setReadBufferSize(1);
        // Big changes, to fill the loopback's buffers quickly.
        for (int i = 0; i < 300 && server->changesSkipped() == 0; ++i) {
            LiveSnapshot s = snapshotWith("Anna", 5);
            for (int r = 0; r < 2000; ++r) {
                s.classification.rows.push_back({std::to_string(i), std::to_string(r), "Pilot"});
            }
            server->publish(s);
            QTest::qWait(1);
        }
        QVERIFY(server->changesSkipped() > 0);
        server->publish(snapshotWith("Final"));
        slow.setReadBufferSize(0);
        QTRY_VERIFY_WITH_TIMEOUT(!slowMessages.empty() &&
                                     slowMessages.back()[QStringLiteral("v")].toInt() ==
                                         int(server->version()),
                                 20000);
        QCOMPARE(slowMessages.back()[QStringLiteral("type")].toString(),
                 QStringLiteral("snapshot"));
        QTRY_VERIFY_WITH_TIMEOUT(
            fastMessages.back()[QStringLiteral("v")].toInt() == int(server->version()), 20000);
        for (std::size_t i = 1; i < fastMessages.size(); ++i) {
            QCOMPARE(fastMessages[i][QStringLiteral("type")].toString(), QStringLiteral("change"));
            QCOMPARE(fastMessages[i][QStringLiteral("base")].toInt(),
                     fastMessages[i - 1][QStringLiteral("v")].toInt());
        }
        // A WebSocket on another path is closed at once.
        QWebSocket stray;
        QSignalSpy closed(&stray, &QWebSocket::disconnected);
        stray.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/other").arg(port)));
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 10000);
        QCOMPARE(server->clientCount(), 2);
        // Their places in the connection limit come back when they leave.
        fast.close();
        slow.close();
        QTRY_COMPARE_WITH_TIMEOUT(server->clientCount(), 0, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), 0, 10000);
#endif
    }

    // A page of another site reaches the server only through a name that is not this
    // computer's (a rebinding name), or opens the WebSocket from its own origin.
    void onlyItsOwnNamesAndPagesAreAnswered() {
        const int port = startServer();
        QVERIFY(port > 0);
        const QByteArray at = ":" + QByteArray::number(port);
        QCOMPARE(exchange(port, get("/api/live", "127.0.0.1" + at)).status, 200);
        QCOMPARE(exchange(port, get("/api/live", "localhost" + at)).status, 200);
        for (const QByteArray& host : {QByteArray("attacker.example") + at,
                                       QByteArray("pista.club"), QByteArray("127.0.0.2")}) {
            const Answer refused = exchange(port, get("/api/live", host));
            QCOMPARE(refused.status, 421);
            QVERIFY(!refused.body.contains("\"v\""));
        }
        QCOMPARE(exchange(port, "GET /api/live HTTP/1.1\r\n\r\n").status, 421);
        server->setAllowedHosts({"pista.club"});
        QCOMPARE(exchange(port, get("/api/live", "Pista.Club" + at)).status, 200);

        // The WebSocket's handshake under a foreign name: closed before any data.
        QTcpSocket raw;
        raw.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
        QVERIFY(raw.waitForConnected(5000));
        raw.write(
            "GET /ws HTTP/1.1\r\nHost: attacker.example" + at +
            "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
        QByteArray received;
        QTRY_VERIFY_WITH_TIMEOUT(
            (received += raw.readAll(), raw.state() == QAbstractSocket::UnconnectedState), 10000);
        received += raw.readAll();
        QVERIFY(!received.contains("\"v\""));
#ifdef HAVE_WEBSOCKET_CLIENT
        server->publish(snapshotWith("Anna"));
        const QUrl url(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port));
        QWebSocket own(QStringLiteral("http://127.0.0.1:%1").arg(port));
        QWebSocket foreign(QStringLiteral("http://attacker.example"));
        QSignalSpy ownData(&own, &QWebSocket::textMessageReceived);
        QSignalSpy foreignData(&foreign, &QWebSocket::textMessageReceived);
        QSignalSpy foreignClosed(&foreign, &QWebSocket::disconnected);
        foreign.open(url);
        own.open(url);
        QTRY_COMPARE_WITH_TIMEOUT(ownData.count(), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(foreignClosed.count(), 1, 10000);
        QCOMPARE(foreignData.count(), 0);
        QCOMPARE(server->clientCount(), 1);
#endif
    }

    // One host holds a quarter of the places; the others still come in, and the first
    // clients are served on.
    void oneHostCannotTakeEveryPlace() {
        const int port = startServer();
        QVERIFY(port > 0);
        std::list<QTcpSocket> held;
        for (int i = 1; i <= kMaxConnectionsPerClient; ++i) {
            held.emplace_back().connectToHost(QStringLiteral("127.0.0.1"),
                                              static_cast<quint16>(port));
            if (i % 10 == 0) {
                QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), i, 10000);
            }
        }
        QCOMPARE(exchange(port, get("/")).status, 503);
        QCOMPARE(exchange(port, get("/"), QStringLiteral("127.0.0.2")).status, 200);
        QTcpSocket& first = held.front();
        first.write(get("/api/live"));
        QTRY_VERIFY_WITH_TIMEOUT(first.bytesAvailable() > 0, 10000);
        QVERIFY(first.readAll().startsWith("HTTP/1.1 200"));
        QCOMPARE(server->connectionCount(), kMaxConnectionsPerClient);
        held.back().abort();
        QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), kMaxConnectionsPerClient - 1, 10000);
        QCOMPARE(exchange(port, get("/")).status, 200);
    }

    // Requests sent back to back on one connection are each answered: the bytes waiting
    // behind a request count once, not again at every request read.
    void pipelinedRequestsAreAllAnswered() {
        const int port = startServer();
        QVERIFY(port > 0);
        constexpr int kRequests = 300;
        QByteArray requests;
        for (int i = 0; i < kRequests; ++i) {
            requests += get("/api/live");
        }
        QVERIFY(requests.size() > 11000);
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
        QVERIFY(socket.waitForConnected(5000));
        socket.write(requests);
        QByteArray answers;
        QTRY_VERIFY_WITH_TIMEOUT(
            (answers += socket.readAll(), answers.count("HTTP/1.1 200") == kRequests ||
                                              socket.state() != QAbstractSocket::ConnectedState),
            20000);
        QCOMPARE(answers.count("HTTP/1.1 200"), kRequests);
        QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
    }

    void portInUseIsReported() {
        const int port = startServer();
        QVERIFY(port > 0);
        LiveServer second;
        auto started = second.start(QStringLiteral("127.0.0.1"), port);
        QVERIFY(!started);
        QVERIFY(!started.error().isEmpty());
        QVERIFY(!second.listening());
        QVERIFY(!second.start(QStringLiteral("not an address"), 0));
        QVERIFY(server->listening());
    }
};

QTEST_MAIN(LiveServerTest)
#include "live_server_test.moc"
