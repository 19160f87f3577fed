#pragma once

// Phones following the live-results page: WebSocket clients on a thread of their own, as
// other devices would be. Their thread runs at the lowest priority: on a real track they
// take nothing from the program's processor, here they take only what it leaves.

#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QWebSocket>

#include <chrono>
#include <memory>
#include <mutex>
#include <sys/resource.h>
#include <vector>

namespace cronovolta::bench {

class Phones : public QObject {
public:
    struct Arrival {
        int client;
        long long version;
        bool snapshot;
        std::chrono::steady_clock::time_point at;
    };
    std::mutex lock;
    std::vector<Arrival> arrivals;
    std::vector<std::unique_ptr<QWebSocket>> sockets;

    // Called on the phones' thread.
    void open(int count, const QUrl& url) {
        (void)::setpriority(PRIO_PROCESS, 0, 19); // Linux: this thread only
        for (int i = 0; i < count; ++i) {
            auto& s = sockets.emplace_back(std::make_unique<QWebSocket>());
            QObject::connect(
                s.get(), &QWebSocket::textMessageReceived, this, [this, i](const QString& text) {
                    const auto now = std::chrono::steady_clock::now();
                    const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
                    std::lock_guard guard(lock);
                    arrivals.push_back(
                        {i, o.value(QStringLiteral("v")).toInteger(),
                         o.value(QStringLiteral("type")) == QStringLiteral("snapshot"), now});
                });
            s->open(url);
        }
    }
    void close() { sockets.clear(); }
};

} // namespace cronovolta::bench
