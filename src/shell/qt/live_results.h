#pragma once

#include "live/live_requests.h"
#include "live/live_snapshot.h"
#include "live/qt/live_server.h"

#include <QObject>
#include <QTimer>

#include <expected>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QWidget;

namespace cronovolta {

class HeatSession;
class MainWindow;
struct UiContext;

// --serve [ADDRESS:]PORT: the live-results server on that address whatever the settings say.
std::expected<std::optional<live::ServeAddress>, std::string>
takeServeOption(std::vector<std::string>& args);

// --address A: where the server listens (127.0.0.1: this computer only), whatever the
// settings or --serve say.
std::expected<std::optional<std::string>, std::string>
takeAddressOption(std::vector<std::string>& args);

// The live results of the desktop program: the server the settings (or --serve) ask for,
// fed from the heat session's models after each screen update, and the address with its QR
// code in the main window's status bar.
class LiveResults : public QObject {
    Q_OBJECT
public:
    LiveResults(MainWindow& window, HeatSession& session,
                std::optional<live::ServeAddress> serve = std::nullopt,
                std::optional<std::string> address = std::nullopt);
    ~LiveResults() override;

    live::LiveServer& server() { return m_server; }
    // Reads "LIVE.INI" (unless --serve) and starts, moves or stops the server.
    void applySettings();
    // Builds the page's snapshot now and sends its changes.
    void publishNow();
    // What the status bar says: the address to type, or why there is none.
    QString statusText() const;

private:
    void refreshContext();
    void showStatus(const QString& text, const QString& url);

    MainWindow& m_window;
    HeatSession& m_session;
    UiContext& m_ui;
    std::optional<live::ServeAddress> m_override;
    std::optional<std::string> m_listenAddress;
    std::optional<live::ServeAddress> m_listening;
    live::LiveServer m_server;
    live::LiveContext m_context;
    QTimer m_throttle;
    QTimer m_clock;
    QWidget* m_status = nullptr;
    QLabel* m_qr = nullptr;
    QLabel* m_address = nullptr;
};

} // namespace cronovolta
