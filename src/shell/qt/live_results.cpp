#include "shell/qt/live_results.h"

#include "live/live_classification.h"
#include "live/live_heat.h"
#include "live/live_settings.h"
#include "live/live_texts.h"
#include "live/qt/qr_image.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/main_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QStatusBar>

#include <iostream>

namespace cronovolta {
namespace {

// The page follows the screens at most this often: a burst of crossings goes out as one
// change, well within the tenth of a second a phone may lag.
constexpr int kPublishMs = 40;

} // namespace

std::expected<std::optional<live::ServeAddress>, std::string>
takeServeOption(std::vector<std::string>& args) {
    std::optional<live::ServeAddress> out;
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] != "--serve") {
            ++i;
            continue;
        }
        if (i + 1 >= args.size()) {
            return std::unexpected("--serve needs [ADDRESS:]PORT");
        }
        out = live::parseServeAddress(args[i + 1]);
        if (!out) {
            return std::unexpected("--serve: \"" + args[i + 1] + "\" is not [ADDRESS:]PORT");
        }
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
    return out;
}

std::expected<std::optional<std::string>, std::string>
takeAddressOption(std::vector<std::string>& args) {
    std::optional<std::string> out;
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] != "--address") {
            ++i;
            continue;
        }
        auto parsed = i + 1 < args.size() ? live::parseServeAddress(args[i + 1] + ":1")
                                          : std::optional<live::ServeAddress>();
        if (!parsed) {
            return std::unexpected(i + 1 < args.size()
                                       ? "--address: \"" + args[i + 1] + "\" is not an IP address"
                                       : std::string("--address needs an IP address"));
        }
        out = parsed->address;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
    return out;
}

LiveResults::LiveResults(MainWindow& window, HeatSession& session,
                         std::optional<live::ServeAddress> serve,
                         std::optional<std::string> address)
    : QObject(&window), m_window(window), m_session(session), m_ui(window.context()),
      m_override(std::move(serve)), m_listenAddress(std::move(address)) {
    m_throttle.setSingleShot(true);
    m_throttle.setInterval(kPublishMs);
    connect(&m_throttle, &QTimer::timeout, this, &LiveResults::publishNow);
    auto soon = [this] {
        if (m_server.listening() && !m_throttle.isActive()) {
            m_throttle.start();
        }
    };
    connect(&session, &HeatSession::screensSynced, this, soon);
    // The heat clock moves between crossings too.
    m_clock.setInterval(500);
    connect(&m_clock, &QTimer::timeout, this, soon);
    auto reload = [this] {
        refreshContext();
        publishNow();
    };
    connect(&session, &HeatSession::programmeOpened, this, reload);
    connect(&session, &HeatSession::programmeClosed, this, reload);
    connect(&session, &HeatSession::heatFinished, this, reload);
    connect(&window, &MainWindow::eventSelected, this, reload);
    connect(&window, &MainWindow::relocalised, this, [this] {
        applySettings();
        refreshContext();
        publishNow();
    });

    m_status = new QWidget(&window);
    auto* row = new QHBoxLayout(m_status);
    row->setContentsMargins(0, 0, 0, 0);
    m_qr = new QLabel(m_status);
    m_qr->setObjectName(QStringLiteral("liveQr"));
    m_address = new QLabel(m_status);
    m_address->setObjectName(QStringLiteral("liveAddress"));
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(m_qr);
    row->addWidget(m_address);
    window.statusBar()->insertPermanentWidget(0, m_status);
    m_status->hide();

    applySettings();
    refreshContext();
    publishNow();
}

LiveResults::~LiveResults() = default;

void LiveResults::applySettings() {
    const int language = m_ui.language();
    const live::LiveTexts& t = live::liveTexts(language);
    std::optional<live::ServeAddress> wanted = m_override;
    auto loaded = live::loadLiveSettings(m_ui.app.dataDir, language);
    if (!wanted && loaded && loaded->settings.enabled) {
        wanted = live::ServeAddress{loaded->settings.address, loaded->settings.port};
    }
    if (wanted && m_listenAddress) {
        wanted->address = *m_listenAddress;
    }
    m_server.setAllowedHosts(loaded ? loaded->settings.hosts : std::vector<std::string>());
    if (!wanted) {
        m_server.stop();
        m_listening.reset();
        m_clock.stop();
        m_status->hide();
        return;
    }
    if (!live::LiveServer::builtIn()) {
        showStatus(QString::fromStdString(t.notBuiltIn), {});
        return;
    }
    if (m_listening && m_listening->address == wanted->address &&
        m_listening->port == wanted->port && m_server.listening()) {
        return;
    }
    m_listening.reset();
    const QString address = QString::fromStdString(wanted->address);
    auto started = m_server.start(address, wanted->port);
    if (!started) {
        // The timing goes on without the page: say so where the organiser looks.
        const QString where = QString::fromStdString(live::pageUrl(wanted->address, wanted->port));
        const QString text = QString::fromStdString(t.portInUse).arg(where, started.error());
        std::cerr << "cronovolta: " << text.toStdString() << '\n';
        showStatus(text, {});
        return;
    }
    m_listening = wanted;
    m_clock.start();
    const QStringList urls = live::LiveServer::pageAddresses(address, m_server.port());
    QString text = QString::fromStdString(t.serving).arg(urls.join(QStringLiteral("  ")));
    if (live::reachableFromNetwork(wanted->address)) {
        const QString warning =
            QString::fromStdString(t.openToNetwork).arg(QStringLiteral("--address 127.0.0.1"));
        std::cerr << "cronovolta: " << warning.toStdString() << '\n';
        text += QStringLiteral(" (%1)").arg(QString::fromStdString(t.wholeNetwork));
        showStatus(text, urls.value(0));
        m_status->setToolTip(warning);
        return;
    }
    showStatus(text, urls.value(0));
}

void LiveResults::showStatus(const QString& text, const QString& url) {
    m_address->setText(text);
    const QImage qr = url.isEmpty() ? QImage() : live::qrImage(url, 2);
    m_qr->setPixmap(QPixmap::fromImage(qr));
    m_qr->setVisible(!qr.isNull());
    m_status->setToolTip(url);
    m_status->show();
}

QString LiveResults::statusText() const {
    return m_status->isHidden() ? QString() : m_address->text();
}

void LiveResults::refreshContext() {
    const ActiveSelection& s = m_ui.app.activeSelection;
    const HeatEngine* engine = m_session.engine();
    if (engine && engine->programmeOpen()) {
        const ProgrammeRequest& p = engine->programme();
        m_context = live::selectionContext(m_ui.app.dataDir, p.event, p.programmeType,
                                           p.seriesNumber, m_ui.language());
    } else {
        m_context = live::selectionContext(m_ui.app.dataDir, s.event, s.programmeType,
                                           s.seriesNumber, m_ui.language());
    }
    // Called on the server's thread: it keeps its own copy of the folder's path.
    m_server.setClassificationSource(
        [dir = m_ui.app.dataDir](
            const live::ClassificationQuery& q) -> std::expected<std::string, std::string> {
            auto list = live::loadLiveClassification(dir, q.event, q.programmeType, q.seriesNumber);
            if (!list) {
                return std::unexpected(list.error());
            }
            return live::classificationJson(*list);
        },
        s.event);
}

void LiveResults::publishNow() {
    if (!m_server.listening()) {
        return;
    }
    const HeatEngine* engine = m_session.engine();
    m_server.publish(engine ? live::heatSnapshot(*engine, m_context)
                            : live::idleSnapshot(m_context));
}

} // namespace cronovolta
