#include "live/qt/live_settings_box.h"

#include "live/live_texts.h"
#include "live/qt/live_server.h"
#include "storage/qt/settings_dialog.h"
#include "texts/qt/asker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QSpinBox>

namespace cronovolta::live {
namespace {

struct BoxTexts {
    const char* title;
    const char* enabled;
    const char* port;
    const char* address;
    const char* everyNetwork;
    const char* thisComputer;
    const char* explanation;
    const char* saveFailed;
    const char* hosts;
    const char* hostsHint;
};

const BoxTexts& boxTexts(int language) {
    static const BoxTexts kCatalan{
        "Resultats en directe",
        "Publica els resultats en una pàgina web",
        "Port:",
        "Adreça:",
        "totes les xarxes d'aquest ordinador",
        "només aquest ordinador",
        "La pàgina només es pot llegir: ningú no pot canviar res des d'un telèfon. El servidor "
        "escolta només a l'adreça triada: amb \"totes les xarxes\", qualsevol aparell connectat "
        "a la xarxa de la pista (també la Wi-Fi) pot obrir la pàgina; amb \"només aquest "
        "ordinador\", ningú més.",
        "No s'han pogut desar els paràmetres dels resultats en directe: ",
        "Altres noms:",
        "Noms d'aquest ordinador a la xarxa, separats per comes (a més de les seves adreces i "
        "localhost): la pàgina no respon a cap altre nom.",
    };
    static const BoxTexts kCastilian{
        "Resultados en directo",
        "Publica los resultados en una página web",
        "Puerto:",
        "Dirección:",
        "todas las redes de este ordenador",
        "solo este ordenador",
        "La página solo se puede leer: nadie puede cambiar nada desde un teléfono. El servidor "
        "escucha solo en la dirección elegida: con \"todas las redes\", cualquier aparato "
        "conectado a la red de la pista (también la Wi-Fi) puede abrir la página; con \"solo "
        "este ordenador\", nadie más.",
        "No se han podido guardar los parámetros de los resultados en directo: ",
        "Otros nombres:",
        "Nombres de este ordenador en la red, separados por comas (además de sus direcciones y "
        "localhost): la página no responde a ningún otro nombre.",
    };
    return language == 1 ? kCastilian : kCatalan;
}

} // namespace

LiveSettingsBox::LiveSettingsBox(std::filesystem::path dataDir, int language, QWidget* parent)
    : QGroupBox(parent), m_dataDir(std::move(dataDir)), m_language(language) {
    const BoxTexts& t = boxTexts(language);
    setObjectName(QStringLiteral("liveSettings"));
    setTitle(QString::fromUtf8(t.title));
    LiveSettings settings;
    if (auto loaded = loadLiveSettings(m_dataDir, language)) {
        settings = loaded->settings;
        for (const auto& p : loaded->problems) {
            m_problems << QString::fromStdString(p);
        }
    } else {
        m_problems << QString::fromStdString(loaded.error());
    }
    auto* form = new QFormLayout(this);
    m_enabled = new QCheckBox(QString::fromUtf8(t.enabled), this);
    m_enabled->setChecked(settings.enabled);
    form->addRow(m_enabled);
    m_port = new QSpinBox(this);
    m_port->setRange(1, 65535);
    m_port->setValue(settings.port);
    form->addRow(QString::fromUtf8(t.port), m_port);
    m_address = new QComboBox(this);
    m_address->setEditable(true);
    m_address->addItem(QStringLiteral("0.0.0.0 - ") + QString::fromUtf8(t.everyNetwork),
                       QStringLiteral("0.0.0.0"));
    m_address->addItem(QStringLiteral("127.0.0.1 - ") + QString::fromUtf8(t.thisComputer),
                       QStringLiteral("127.0.0.1"));
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) {
            m_address->addItem(a.toString(), a.toString());
        }
    }
    const QString current = QString::fromStdString(settings.address);
    const int index = m_address->findData(current);
    if (index >= 0) {
        m_address->setCurrentIndex(index);
    } else {
        m_address->setEditText(current);
    }
    form->addRow(QString::fromUtf8(t.address), m_address);
    m_hosts = new QLineEdit(this);
    m_hosts->setObjectName(QStringLiteral("liveHosts"));
    QStringList hosts;
    for (const std::string& h : settings.hosts) {
        hosts << QString::fromStdString(h);
    }
    m_hosts->setText(hosts.join(QStringLiteral(", ")));
    m_hosts->setToolTip(QString::fromUtf8(t.hostsHint));
    form->addRow(QString::fromUtf8(t.hosts), m_hosts);
    auto* words = new QLabel(QString::fromUtf8(LiveServer::builtIn()
                                                   ? t.explanation
                                                   : liveTexts(language).notBuiltIn.c_str()),
                             this);
    words->setWordWrap(true);
    form->addRow(words);
    if (!LiveServer::builtIn()) {
        m_enabled->setEnabled(false);
    }
}

LiveSettings LiveSettingsBox::settingsFromFields() const {
    LiveSettings s;
    s.enabled = m_enabled->isChecked();
    s.port = m_port->value();
    const int index = m_address->currentIndex();
    const QString text = m_address->currentText();
    s.address =
        (index >= 0 && m_address->itemText(index) == text ? m_address->itemData(index).toString()
                                                          : text.trimmed())
            .toStdString();
    for (const QString& h : m_hosts->text().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (!h.trimmed().isEmpty()) {
            s.hosts.push_back(h.trimmed().toStdString());
        }
    }
    return s;
}

std::expected<void, QString> LiveSettingsBox::save() const {
    const LiveSettings s = settingsFromFields();
    // The file's own check: an address that does not read is refused here, not at start.
    auto back = decodeLiveSettings(encodeLiveSettings(s), m_language);
    if (!back.problems.empty()) {
        const bool addressRead = back.settings.address == s.address;
        return std::unexpected(QString::fromUtf8(boxTexts(m_language).saveFailed) +
                               (addressRead ? m_hosts->text() : QString::fromStdString(s.address)));
    }
    if (auto saved = saveLiveSettings(m_dataDir, s); !saved) {
        return std::unexpected(QString::fromUtf8(boxTexts(m_language).saveFailed) +
                               QString::fromStdString(saved.error()));
    }
    return {};
}

void addLiveSection(SettingsDialog& dialog, const std::filesystem::path& dataDir, int language,
                    Asker& asker) {
    auto* box = new LiveSettingsBox(dataDir, language, &dialog);
    addFileSection(dialog, box, QString::fromUtf8(boxTexts(language).title), box->readProblems(),
                   asker, [box] { return box->save(); });
}

} // namespace cronovolta::live
