#include "announce/qt/announce_settings_box.h"

#include "announce/qt/announce_voice.h"
#include "storage/qt/settings_dialog.h"
#include "texts/qt/asker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

namespace cronovolta {
namespace {

class VoiceRelay : public QObject {
    Q_OBJECT
signals:
    void listed(const QStringList& names);
};

struct Texts {
    const char* title;
    const char* enabled;
    std::array<const char*, kAnnounceEventCount> events;
    const char* heatSeconds;
    const char* silentSeconds;
    const char* voice;
    const char* defaultVoice;
    const char* rate;
    const char* cannotWrite;
};

const Texts kCatalan = {"Anuncis parlats",
                        "Anunciar per veu durant les mànigues",
                        {"Inici", "Pausa", "Represa", "Volta ràpida", "Canvi de líder",
                         "Últim minut", "Deu segons", "Cotxe aturat", "Final i guanyador"},
                        "Durada de la màniga (s, 0 sense límit):",
                        "Avís de cotxe aturat (s):",
                        "Veu:",
                        "(la de l'idioma)",
                        "Velocitat:",
                        "No s'ha pogut desar "};
const Texts kCastilian = {"Anuncios hablados",
                          "Anunciar por voz durante las mangas",
                          {"Inicio", "Pausa", "Reanudación", "Vuelta rápida", "Cambio de líder",
                           "Último minuto", "Diez segundos", "Coche parado", "Final y ganador"},
                          "Duración de la manga (s, 0 sin límite):",
                          "Aviso de coche parado (s):",
                          "Voz:",
                          "(la del idioma)",
                          "Velocidad:",
                          "No se ha podido guardar "};

const Texts& texts(int language) {
    return language == 1 ? kCastilian : kCatalan;
}

} // namespace

AnnounceSettingsBox::AnnounceSettingsBox(std::filesystem::path dataDir, int language,
                                         QWidget* parent)
    : QGroupBox(parent), m_dataDir(std::move(dataDir)), m_language(language) {
    setObjectName(QStringLiteral("AnuncisParlats"));
    const Texts& t = texts(language);
    setTitle(QString::fromUtf8(t.title));
    auto* top = new QVBoxLayout(this);
    m_enabled = new QCheckBox(QString::fromUtf8(t.enabled), this);
    m_enabled->setObjectName(QStringLiteral("AnunciarPerVeu"));
    top->addWidget(m_enabled);
    m_unavailable = new QLabel(speechUnavailableText(language), this);
    m_unavailable->setObjectName(QStringLiteral("VeuNoDisponible"));
    m_unavailable->setVisible(!m_unavailable->text().isEmpty());
    top->addWidget(m_unavailable);

    auto* events = new QGridLayout;
    for (int e = 0; e < kAnnounceEventCount; ++e) {
        auto* box = new QCheckBox(QString::fromUtf8(t.events[static_cast<std::size_t>(e)]), this);
        box->setObjectName(
            QStringLiteral("Anunci_%1")
                .arg(QString::fromLatin1(announceEventKey(static_cast<AnnounceEvent>(e)))));
        events->addWidget(box, e / 3, e % 3);
        m_events[static_cast<std::size_t>(e)] = box;
    }
    top->addLayout(events);

    auto* form = new QFormLayout;
    m_heatSeconds = new QSpinBox(this);
    m_heatSeconds->setObjectName(QStringLiteral("DuradaManiga"));
    m_heatSeconds->setRange(0, 86399);
    form->addRow(QString::fromUtf8(t.heatSeconds), m_heatSeconds);
    m_silentSeconds = new QSpinBox(this);
    m_silentSeconds->setObjectName(QStringLiteral("AvisAturat"));
    m_silentSeconds->setRange(0, 3600);
    form->addRow(QString::fromUtf8(t.silentSeconds), m_silentSeconds);
    m_voice = new QComboBox(this);
    m_voice->setObjectName(QStringLiteral("Veu"));
    m_voice->addItem(QString::fromUtf8(t.defaultVoice), QString());
    listVoicesLater(language);
    form->addRow(QString::fromUtf8(t.voice), m_voice);
    m_rate = new QSlider(Qt::Horizontal, this);
    m_rate->setObjectName(QStringLiteral("VelocitatVeu"));
    m_rate->setRange(-10, 10);
    form->addRow(QString::fromUtf8(t.rate), m_rate);
    top->addLayout(form);

    auto loaded = loadAnnounceSettings(m_dataDir, language);
    if (loaded) {
        for (const auto& problem : loaded->problems) {
            m_problems << QString::fromStdString(problem);
        }
        fill(loaded->settings);
    } else {
        m_problems << QString::fromStdString(loaded.error());
        fill({});
    }
    connect(m_enabled, &QCheckBox::toggled, this, [this] { updateEnabling(); });
    updateEnabling();
}

void AnnounceSettingsBox::fill(const AnnounceFileSettings& settings) {
    m_enabled->setChecked(settings.announce.enabled);
    for (int e = 0; e < kAnnounceEventCount; ++e) {
        m_events[static_cast<std::size_t>(e)]->setChecked(
            settings.announce.speaks(static_cast<AnnounceEvent>(e)));
    }
    m_heatSeconds->setValue(settings.announce.heatSeconds);
    m_silentSeconds->setValue(settings.announce.silentSeconds);
    QString voice = QString::fromStdString(settings.voice);
    int index = m_voice->findData(voice);
    if (index < 0 && !voice.isEmpty()) {
        // A voice of another machine is kept, not silently replaced.
        m_voice->addItem(voice, voice);
        index = m_voice->count() - 1;
    }
    m_voice->setCurrentIndex(std::max(index, 0));
    m_rate->setValue(settings.rate);
}

AnnounceSettingsBox::~AnnounceSettingsBox() {
    // Gives a slow speech server a moment so that the program does not end under a running
    // thread; one that never answers is left behind rather than waited for.
    if (m_lister) {
        m_lister->wait(QDeadlineTimer(2000));
    }
}

void AnnounceSettingsBox::listVoicesLater(int language) {
    if (!AnnounceVoice::speechAvailable()) {
        return;
    }
    // The speech server is started on first use and may take seconds to answer, or never:
    // the voices are asked for on a thread of their own so that the dialog opens at once.
    // The relay lives until the thread ends; its queued signal is dropped if the dialog has
    // closed by then.
    auto* relay = new VoiceRelay;
    QThread* thread = m_lister = QThread::create(
        [relay, language] { emit relay->listed(AnnounceVoice::voiceNames(language)); });
    connect(relay, &VoiceRelay::listed, this, [this](const QStringList& names) {
        for (const QString& name : names) {
            if (m_voice->findData(name) < 0) {
                m_voice->addItem(name, name);
            }
        }
    });
    connect(thread, &QThread::finished, relay, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void AnnounceSettingsBox::updateEnabling() {
    bool on = m_enabled->isChecked();
    for (QCheckBox* box : m_events) {
        box->setEnabled(on);
    }
    m_heatSeconds->setEnabled(on);
    m_silentSeconds->setEnabled(on);
    m_voice->setEnabled(on && AnnounceVoice::speechAvailable());
    m_rate->setEnabled(on && AnnounceVoice::speechAvailable());
}

AnnounceFileSettings AnnounceSettingsBox::settingsFromFields() const {
    AnnounceFileSettings s;
    s.announce.enabled = m_enabled->isChecked();
    for (int e = 0; e < kAnnounceEventCount; ++e) {
        s.announce.events[static_cast<std::size_t>(e)] =
            m_events[static_cast<std::size_t>(e)]->isChecked();
    }
    s.announce.heatSeconds = m_heatSeconds->value();
    s.announce.silentSeconds = m_silentSeconds->value();
    s.announce.language = m_language;
    s.voice = m_voice->currentData().toString().toStdString();
    s.rate = m_rate->value();
    return s;
}

std::expected<void, QString> AnnounceSettingsBox::save() const {
    if (auto written = saveAnnounceSettings(m_dataDir, settingsFromFields()); !written) {
        return std::unexpected(QString::fromUtf8(texts(m_language).cannotWrite) +
                               QString::fromStdString(written.error()));
    }
    return {};
}

void addAnnounceSection(SettingsDialog& dialog, const std::filesystem::path& dataDir, int language,
                        Asker& asker) {
    auto* box = new AnnounceSettingsBox(dataDir, language, &dialog);
    addFileSection(dialog, box, QString::fromUtf8(texts(language).title), box->readProblems(),
                   asker, [box] { return box->save(); });
}

} // namespace cronovolta

#include "announce_settings_box.moc"
